#!/usr/bin/env bash
# The bad-input tests, the soak and the calls from other threads once more under the platform's heap
# checking: every heap block gets a guard tail and freed blocks are filled, so the tests' heap walks
# (heapsIntact) and the platform's own checks report a write past a buffer or into a freed block
# (err:heap), even where nothing crashes.
# The plug-in is its hardened build (stack protector, checked string functions): the tests load it
# from beside their program, so they run from a folder of their own, bin/heap-checked.
# usage: heapChecked.sh SOURCE_DIR BIN_DIR HARDENED_PLUGIN
set -uo pipefail
source=$1
bin=$2
hardened=$3
program=kiv_e2e_heapchecked.exe
folder=$bin/heap-checked
rm -rf "$folder"
mkdir -p "$folder" || exit 1
cp -r "$bin/plugins" "$bin/fixtures" "$bin/kivhost.exe" "$folder/" && cp "$hardened" "$folder/plugins/kiv.tpl" \
    && cp "$bin/kiv_e2e_tests.exe" "$folder/$program" || exit 1

# The flags hold for this program's name only: tail checking, free checking, parameter checks.
key="HKLM\\Software\\Microsoft\\Windows NT\\CurrentVersion\\Image File Execution Options\\$program"
if ! WINEDEBUG=-all "$source/cmake/wine-run" reg add "$key" /v GlobalFlag /t REG_DWORD /d 0x70 /f >/dev/null; then
    echo "heap-checked: could not set the heap checking flags in the Wine prefix"
    exit 1
fi

log=$(mktemp)
trap 'rm -f "$log"' EXIT
WINEDEBUG=-all,err+heap "$source/cmake/wine-run" "$folder/$program" -ts="bad input,soak,threads" 2>&1 | tee "$log"
status=${PIPESTATUS[0]}
if grep -q "err:heap" "$log"; then
    echo "heap-checked: the heap checks found damaged blocks (err:heap above): a write past a buffer or a double free"
    exit 1
fi
exit "$status"
