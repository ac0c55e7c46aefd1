# Thin entry points over CMake; see README.md.
TREES := native win64 win32
ARGS ?=

.PHONY: all deps build test run bench format clean $(addprefix build-,$(TREES))

all: build

deps:
	@scripts/install-deps.sh

build: deps
	@for tree in $(TREES); do \
	    cmake --preset $$tree >/dev/null && cmake --build --preset $$tree || exit 1; \
	done

test: build
	@scripts/run-tests.sh $(TREES)

run: deps
	@cmake --preset win64 >/dev/null && cmake --build --preset win64
	@scripts/run-main.sh $(ARGS)

bench: deps
	@cmake --preset native >/dev/null && cmake --build --preset native --target digest_bench
	@build/native/bench/digest_bench --benchmark_min_time=1
	@cmake --preset win64 >/dev/null && cmake --build --preset win64
	@bench/tools-bench.sh

format:
	@scripts/check-format.sh . --fix

clean:
	rm -rf build
