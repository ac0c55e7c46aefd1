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
    nsis python3 b3sum openssl
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

# osslsigncode signs the package of Windows 11's menu (make package). Signing a package
# needs 2.7 or later: Debian 12 (bookworm) has 2.5, and 2.9 in bookworm-backports, whose
# source is added when it is missing; a later Debian has a new enough one of its own.
osslsigncode_version() { dpkg-query -W -f='${Version}' osslsigncode 2>/dev/null || true; }
if ! dpkg --compare-versions "$(osslsigncode_version)" ge 2.7 2>/dev/null; then
    codename=$(. /etc/os-release && echo "${VERSION_CODENAME:-}")
    release=()
    if [ "$codename" = bookworm ]; then
        if ! grep -rqs "bookworm-backports" /etc/apt/sources.list /etc/apt/sources.list.d/; then
            echo "install-deps: adding bookworm-backports (for osslsigncode 2.7 or later)"
            printf '%s\n' "Types: deb" "URIs: http://deb.debian.org/debian" "Suites: bookworm-backports" \
                "Components: main" "Signed-By: /usr/share/keyrings/debian-archive-keyring.gpg" |
                as_root tee /etc/apt/sources.list.d/bookworm-backports.sources >/dev/null
        fi
        release=(-t bookworm-backports)
    fi
    echo "install-deps: installing osslsigncode ${release[*]}"
    as_root apt-get update -qq
    as_root apt-get install -y -qq --no-install-recommends "${release[@]}" osslsigncode
    if ! dpkg --compare-versions "$(osslsigncode_version)" ge 2.7; then
        echo "install-deps: osslsigncode $(osslsigncode_version) cannot sign packages; 2.7 or later is needed" >&2
        exit 1
    fi
fi

# The Japanese locale lets the tests run with the user locale 0x0411.
if ! locale -a 2>/dev/null | grep -qi '^ja_JP\.utf-\?8$'; then
    echo "install-deps: generating the ja_JP.UTF-8 locale"
    as_root sed -i 's/^# *\(ja_JP.UTF-8 UTF-8\)/\1/' /etc/locale.gen
    grep -q '^ja_JP.UTF-8 UTF-8' /etc/locale.gen || echo 'ja_JP.UTF-8 UTF-8' | as_root tee -a /etc/locale.gen >/dev/null
    as_root locale-gen >/dev/null
fi
