#!/bin/bash
# Installs the Debian packages the build and the tests need, and only those missing.
# Idempotent: a second run installs nothing and says so.
set -euo pipefail
export DEBIAN_FRONTEND=noninteractive

packages=(
    cmake ninja-build make g++ clang-format
    clang libclang-rt-14-dev
    g++-mingw-w64-x86-64-posix g++-mingw-w64-i686-posix binutils-mingw-w64
    googletest libbenchmark-dev libssl-dev
    wine wine64 wine32:i386 fonts-wine
    xvfb xauth x11-utils imagemagick
    nsis python3 b3sum
    locales
)

as_root() { if [ "$(id -u)" -eq 0 ]; then "$@"; else sudo "$@"; fi; }

if ! dpkg --print-foreign-architectures | grep -qx i386; then
    echo "install-deps: adding the i386 architecture (for wine32)"
    as_root dpkg --add-architecture i386
    need_update=1
fi

missing=()
for package in "${packages[@]}"; do
    status=$(dpkg-query -W -f='${Status}' "$package" 2>/dev/null || true)
    [ "$status" = "install ok installed" ] || missing+=("$package")
done

if [ ${#missing[@]} -eq 0 ]; then
    echo "install-deps: everything is installed"
else
    echo "install-deps: installing ${missing[*]}"
    if [ -n "${need_update:-}" ] || ! as_root apt-get install -y -qq --no-install-recommends "${missing[@]}" >/dev/null 2>&1; then
        as_root apt-get update -qq
        as_root apt-get install -y -qq --no-install-recommends "${missing[@]}"
    fi
fi

# The Japanese locale lets the tests run with the user locale 0x0411.
if ! locale -a 2>/dev/null | grep -qi '^ja_JP\.utf-\?8$'; then
    echo "install-deps: generating the ja_JP.UTF-8 locale"
    as_root sed -i 's/^# *\(ja_JP.UTF-8 UTF-8\)/\1/' /etc/locale.gen
    grep -q '^ja_JP.UTF-8 UTF-8' /etc/locale.gen || echo 'ja_JP.UTF-8 UTF-8' | as_root tee -a /etc/locale.gen >/dev/null
    as_root locale-gen >/dev/null
fi
