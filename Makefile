# Thin entry points over CMake; see README.md.
TREES := native win64 win32 fuzz
ARGS ?=
# `make fuzz`: each parser's fuzzer runs FUZZ_RUNS inputs, or FUZZ_MAX_TIME seconds at most.
FUZZ_RUNS ?= 10000000
FUZZ_MAX_TIME ?= 1800
FUZZ_TARGETS := command_line_fuzz list_file_fuzz extension_list_fuzz checksum_file_fuzz security_descriptor_fuzz entry_target_fuzz

.PHONY: all deps build test package run bench fuzz format screenshots clean $(addprefix build-,$(TREES))

all: build

deps:
	@scripts/install-deps.sh

build: deps
	@for tree in $(TREES); do \
	    cmake --preset $$tree >/dev/null && cmake --build --preset $$tree || exit 1; \
	done

test: build package
	@scripts/run-tests.sh $(TREES)

# The installer and the portable zip in build/dist (scripts/make-package.py).
package: deps
	@cmake --preset win32 >/dev/null && cmake --build --preset win32 --target Skyperch
	@cmake --preset win64 >/dev/null && cmake --build --preset win64 --target dist

run: deps
	@cmake --preset win64 >/dev/null && cmake --build --preset win64
	@scripts/run-main.sh $(ARGS)

bench: deps
	@cmake --preset native >/dev/null && cmake --build --preset native --target digest_bench
	@build/native/bench/digest_bench --benchmark_min_time=1
	@cmake --preset win64 >/dev/null && cmake --build --preset win64
	@bench/tools-bench.sh

fuzz: deps
	@cmake --preset fuzz >/dev/null && cmake --build --preset fuzz
	@for target in $(FUZZ_TARGETS); do \
	    scripts/run-fuzz.sh build/fuzz/tests/fuzz/$$target tests/fuzz/corpus/$$target build/fuzz/tests/fuzz/work/$$target \
	        -runs=$(FUZZ_RUNS) -max_total_time=$(FUZZ_MAX_TIME) || exit 1; \
	done

format:
	@scripts/check-format.sh . --fix

# The pictures of README.md, taken under Wine and Xvfb: docs/images/*.png.
screenshots: deps
	@scripts/make-screenshots.sh

clean:
	rm -rf build
