#!/bin/bash
# check-imports.sh OBJDUMP BUILD_DIR
# Fails when any .exe or .dll of the build tree imports a DLL that is not part of
# Windows, such as the MinGW runtime (libgcc, libstdc++, libwinpthread).
set -euo pipefail
objdump=$1
build_dir=$2

allowed='^(kernel32|user32|gdi32|comctl32|comdlg32|shell32|shlwapi|advapi32|ole32|oleaut32|uuid|msvcrt|ucrtbase|api-ms-win-.*|ntdll|ws2_32|version|riched20|msftedit|imm32|uxtheme|crypt32)\.dll$'

checked=0
failed=0
while IFS= read -r -d '' binary; do
    checked=$((checked + 1))
    while read -r dll; do
        lower=$(echo "$dll" | tr 'A-Z' 'a-z')
        if ! [[ "$lower" =~ $allowed ]]; then
            echo "FAIL: $binary imports $dll"
            failed=1
        fi
    done < <("$objdump" -p "$binary" | sed -n 's/^\s*DLL Name: //p')
done < <(find "$build_dir" \( -path "$build_dir/wineprefix*" -o -path "$build_dir/CMakeFiles" \) -prune -o \( -name '*.exe' -o -name '*.dll' \) -type f -print0)

echo "checked $checked binaries"
[ "$checked" -gt 0 ] && [ "$failed" -eq 0 ]
