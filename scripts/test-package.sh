#!/bin/bash
# test-package.sh VERSION DIST_DIR WORK_DIR TESTS_EXE EXTENSION_DLL -- MAKE_PACKAGE...
# The portable zip's texts checked; the release installed over an older version, used and
# uninstalled under Wine in a new prefix in WORK_DIR, then a newer version installed that
# it does not replace unasked (tests/installer/PackageTest.cpp). MAKE_PACKAGE is
# scripts/make-package.py with the dist target's inputs; it makes the older version (the
# same binaries, its extension told apart by bytes after its image) and the newer one. A machine that runs
# no 32-bit code cannot run the shipped installer: there both installers come from the
# same script built for amd64.
set -euo pipefail
version=$1 dist=$2 work=$3 tests=$4 extension=$5
shift 6
old=1.0.0
newer=9.9.9

case "$work" in */package-wine) ;; *) echo "test-package: will not clear $work" >&2; exit 2 ;; esac
setup=$dist/VexQuilkit-$version-setup.exe
if [ ! -f "$setup" ]; then
    echo "test-package: $setup is missing: run make package first" >&2
    exit 1
fi
rm -rf "$work"
mkdir -p "$work"

# The zip holds the licence, with Windows line ends, and a readme that names every item of
# the context menu, the SHA-512 digests and files, and the choices kept.
python3 - "$dist/VexQuilkit-$version-portable.zip" "VexQuilkit-$version" "$(dirname "$0")/.." <<'EOF_PY'
import re, sys, zipfile
archive, top, source = sys.argv[1:]
with zipfile.ZipFile(archive) as zip_file:
    licence = zip_file.read(f"{top}/LICENSE.txt")
    readme = zip_file.read(f"{top}/readme.txt").decode("ascii")
with open(f"{source}/LICENSE", "rb") as original:
    assert licence == original.read().replace(b"\n", b"\r\n"), "LICENSE.txt is not LICENSE"
with open(f"{source}/shellext/ContextMenu.h", encoding="utf-8") as menu:
    items = [item.replace("&", "") for item in re.findall(r'\{\d, L"([^"]+)"', menu.read())]
assert len(items) == 6, items
missing = [item for item in items if item not in readme]
assert not missing, f"readme.txt does not name {missing}"
unnamed = [word for word in ("SHA-512", ".sha512", "remember") if word not in readme]
assert not unnamed, f"readme.txt does not name {unnamed}"
print(f"test-package: the zip holds LICENSE.txt and a readme naming {len(items)} items")
EOF_PY

{ cat "$extension"; printf 'an older release'; } >"$work/old-flintpop64.dll"

target=()
if [ -n "${VEX_WINE_NO_32BIT:-}" ]; then
    echo "test-package: this machine runs no 32-bit code; testing the installer script built for amd64"
    target=(--target amd64-unicode)
    "$@" --version "$version" --extension "$extension" --out "$work/new" "${target[@]}" >/dev/null
    setup=$work/new/VexQuilkit-$version-setup.exe
fi
"$@" --version "$old" --extension "$work/old-flintpop64.dll" --out "$work/old" "${target[@]}" >/dev/null
"$@" --version "$newer" --extension "$extension" --out "$work/newer" "${target[@]}" >/dev/null

windows_path() { local path; path=$(realpath "$1"); echo "Z:${path//\//\\}"; }
VEX_PACKAGE_SETUP=$(windows_path "$setup")
VEX_PACKAGE_OLD_SETUP=$(windows_path "$work/old/VexQuilkit-$old-setup.exe")
VEX_PACKAGE_NEWER_SETUP=$(windows_path "$work/newer/VexQuilkit-$newer-setup.exe")
VEX_PACKAGE_EXTENSION=$(windows_path "$extension")
VEX_PACKAGE_OLD_EXTENSION=$(windows_path "$work/old-flintpop64.dll")
export VEX_PACKAGE_SETUP VEX_PACKAGE_OLD_SETUP VEX_PACKAGE_NEWER_SETUP VEX_PACKAGE_EXTENSION VEX_PACKAGE_OLD_EXTENSION
export VEX_PACKAGE_OLD_VERSION=$old
# Wine would copy the Start menu shortcuts into the Linux desktop's menu.
export WINEDLLOVERRIDES="winemenubuilder.exe=d;mscoree,mshtml="
env -u VEX_WINE_BED "$(dirname "$0")/wine-env.sh" "$work" wine "$tests" --gtest_filter='Package.*'
