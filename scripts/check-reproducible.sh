#!/bin/bash
# check-reproducible.sh
# Builds the release of the current commit twice, each from its own copy of the commit at
# its own path with its own build trees, and fails unless the shipped binaries, the
# installer, the zip, the package of Windows 11's menu and its certificate come out as the
# same bytes. Only the signature of the package depends on a key, and a build without a
# release certificate makes a key of its own: so both builds here sign with one throwaway
# key, made for this check as a release certificate (VEX_SIGNING_CERT, VEX_SIGNING_KEY)
# and removed at its end, at the time of SOURCE_DATE_EPOCH. Everything else is compared
# as it is.
set -euo pipefail
cd "$(dirname "$0")/.."
work=$PWD/build/reproducible
export SOURCE_DATE_EPOCH
SOURCE_DATE_EPOCH=$(git log -1 --format=%ct HEAD)
echo "check-reproducible: building $(git rev-parse --short HEAD) twice in $work"

rm -rf "$work"
keys=$(mktemp -d)
trap 'rm -rf "$keys"' EXIT
openssl req -x509 -newkey rsa:3072 -nodes -sha256 -days 30 -subj "/CN=Vex Tools" -keyout "$keys/key.pem" \
    -out "$keys/certificate.pem" -addext extendedKeyUsage=codeSigning 2>/dev/null
export VEX_SIGNING_CERT=$keys/certificate.pem VEX_SIGNING_KEY=$keys/key.pem
for copy in one the-second-copy; do
    source=$work/$copy/VexTools
    mkdir -p "$source"
    git archive HEAD | tar -x -C "$source"
    start=$SECONDS
    if ! (cd "$source" && cmake --preset win32 && cmake --build --preset win32 -j2 --target Skyperch &&
        cmake --preset win64 && cmake --build --preset win64 -j2 --target dist) >"$work/$copy.log" 2>&1; then
        tail -n 30 "$work/$copy.log"
        echo "check-reproducible: the build in $source failed"
        exit 1
    fi
    echo "check-reproducible: built in $source in $((SECONDS - start)) s"
done

differ=0
files=(win64/bin/VexQuilkit.exe win64/bin/flintpop64.dll win32/skyperch/Skyperch.exe)
mapfile -t packages < <(cd "$work/one/VexTools/build" && ls dist/*)
for file in "${files[@]}" "${packages[@]}"; do
    if cmp "$work/one/VexTools/build/$file" "$work/the-second-copy/VexTools/build/$file"; then
        echo "same bytes: $file ($(stat -c %s "$work/one/VexTools/build/$file") bytes)"
    else
        differ=$((differ + 1))
    fi
done
[ "${#packages[@]}" -eq 4 ] || {
    echo "check-reproducible: expected an installer, a zip, a package and its certificate in dist/"
    differ=$((differ + 1))
}
echo "check-reproducible: $differ of $((${#files[@]} + ${#packages[@]})) files differ"
[ "$differ" -eq 0 ]
