#!/bin/bash
# test-package.sh VERSION DIST_DIR WORK_DIR TESTS_EXE EXTENSION_DLL -- MAKE_PACKAGE...
# The release installed over an older version, used and uninstalled under Wine in a new
# prefix in WORK_DIR (tests/installer/PackageTest.cpp). MAKE_PACKAGE is
# scripts/make-package.py with the dist target's inputs; it makes the older version: the
# same binaries, its extension told apart by bytes after its image. A machine that runs
# no 32-bit code cannot run the shipped installer: there both installers come from the
# same script built for amd64.
set -euo pipefail
version=$1 dist=$2 work=$3 tests=$4 extension=$5
shift 6
old=1.0.0

case "$work" in */package-wine) ;; *) echo "test-package: will not clear $work" >&2; exit 2 ;; esac
setup=$dist/VexQuilkit-$version-setup.exe
if [ ! -f "$setup" ]; then
    echo "test-package: $setup is missing: run make package first" >&2
    exit 1
fi
rm -rf "$work"
mkdir -p "$work"
{ cat "$extension"; printf 'an older release'; } >"$work/old-flintpop64.dll"

target=()
if [ -n "${VEX_WINE_NO_32BIT:-}" ]; then
    echo "test-package: this machine runs no 32-bit code; testing the installer script built for amd64"
    target=(--target amd64-unicode)
    "$@" --version "$version" --extension "$extension" --out "$work/new" "${target[@]}" >/dev/null
    setup=$work/new/VexQuilkit-$version-setup.exe
fi
"$@" --version "$old" --extension "$work/old-flintpop64.dll" --out "$work/old" "${target[@]}" >/dev/null

windows_path() { local path; path=$(realpath "$1"); echo "Z:${path//\//\\}"; }
VEX_PACKAGE_SETUP=$(windows_path "$setup")
VEX_PACKAGE_OLD_SETUP=$(windows_path "$work/old/VexQuilkit-$old-setup.exe")
VEX_PACKAGE_EXTENSION=$(windows_path "$extension")
VEX_PACKAGE_OLD_EXTENSION=$(windows_path "$work/old-flintpop64.dll")
export VEX_PACKAGE_SETUP VEX_PACKAGE_OLD_SETUP VEX_PACKAGE_EXTENSION VEX_PACKAGE_OLD_EXTENSION
export VEX_PACKAGE_OLD_VERSION=$old
# Wine would copy the Start menu shortcuts into the Linux desktop's menu.
export WINEDLLOVERRIDES="winemenubuilder.exe=d;mscoree,mshtml="
env -u VEX_WINE_BED "$(dirname "$0")/wine-env.sh" "$work" wine "$tests" --gtest_filter='Package.*'
