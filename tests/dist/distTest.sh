#!/usr/bin/env bash
# The release archive as a user gets it: made by tools/make-dist, unpacked into an empty folder
# that stands for the messenger's, its kivhost.exe standing in for the messenger; the plug-in must load
# from there, read its schemes from there and show a notification.
#     distTest.sh SOURCE_DIR BUILD_DIR
set -euo pipefail
source_dir=$1
build=$2
work=$(mktemp -d "$build/dist-test.XXXXXX")
trap 'rm -rf "$work"' EXIT
fail() { echo "dist test: $*" >&2; exit 1; }

"$source_dir/tools/make-dist" "$build" "$work/out" >/dev/null
archives=("$work"/out/kiv-*.zip)
[ -f "${archives[0]}" ] || fail "no archive was made"
listing=$(unzip -Z1 "${archives[0]}" | sort)
expected=$(printf '%s\n' kivhost.exe plugins/ plugins/kiv-czytaj.txt plugins/kiv-schemes.txt plugins/kiv.scheme/ plugins/kiv.tpl \
    $(cd "$source_dir/schemes" && ls | sed 's|^|plugins/kiv.scheme/|') | sort)
[ "$listing" = "$expected" ] || fail "the archive holds"$'\n'"$listing"$'\n'"instead of"$'\n'"$expected"
cmp -s "$build/kiv.tpl" <(unzip -p "${archives[0]}" plugins/kiv.tpl) || fail "plugins/kiv.tpl is not the built one"
guide=$(unzip -p "${archives[0]}" plugins/kiv-czytaj.txt | iconv -f CP1250 -t UTF-8) \
    || fail "the guide is not readable as Windows-1250"
grep -q 'Instalacja' <<<"$guide" || fail "the guide has no installation section"
grep -q 'plugins\\kiv-schemes.txt' <<<"$guide" || fail "the guide does not point to plugins\\kiv-schemes.txt"
schemes=$(unzip -p "${archives[0]}" plugins/kiv-schemes.txt | iconv -f CP1250 -t UTF-8) \
    || fail "the scheme authors' text is not readable as Windows-1250"
[ "$(head -1 <<<"$schemes")" = $'## Writing a scheme\r' ] && grep -q 'scheme-font' <<<"$schemes" \
    && ! grep -q '^## Notifications' <<<"$schemes" || fail "kiv-schemes.txt is not the README's scheme section"
cmp -s "$build/bin/kivhost.exe" <(unzip -p "${archives[0]}" kivhost.exe) || fail "kivhost.exe is not the built one"

messenger=$work/messenger
mkdir -p "$messenger"
unzip -q "${archives[0]}" -d "$messenger"
# The shipped DLL carries neither symbols nor debug information, only the link to kiv.tpl.debug.
shipped=$messenger/plugins/kiv.tpl
sections=$(i686-w64-mingw32-objdump -h "$shipped") || fail "plugins/kiv.tpl is not a DLL objdump can read"
! grep -q '\.debug_' <<<"$sections" && grep -q '\.gnu_debuglink' <<<"$sections" \
    || fail "plugins/kiv.tpl has debug sections or no link to kiv.tpl.debug:"$'\n'"$sections"
i686-w64-mingw32-nm "$shipped" 2>&1 | grep -q ': no symbols$' || fail "plugins/kiv.tpl has symbols"
windows_path() { local p=${1//\//\\}; printf 'Z:%s' "$p"; }
cat > "$work/dist.kivscript" <<'SCRIPT'
set config general fullscreenautooff 0
set config window scheme dark.kivs
set filters global window_onlineonly 0
load
status kuba@tlen.pl dostepny "z archiwum"
expect windows 1
expect text z archiwum
SCRIPT
"$source_dir/cmake/wine-run" "$messenger/kivhost.exe" --profile "$(windows_path "$work/profile")" \
    --script "$(windows_path "$work/dist.kivscript")" || fail "the unpacked plug-in did not show its notification"
# Every shipped scheme's bitmaps, cuts and fonts check out from the unpacked folder.
for scheme in "$messenger"/plugins/kiv.scheme/*.kivs; do
    "$source_dir/cmake/wine-run" "$messenger/kivhost.exe" --preview "$(windows_path "$scheme")" \
        --out "$(windows_path "$work/preview.bmp")" >"$work/preview.log" 2>&1 \
        || { cat "$work/preview.log" >&2; fail "$(basename "$scheme") does not check out from the archive"; }
    ! grep -q 'note:' "$work/preview.log" || { cat "$work/preview.log" >&2; fail "$(basename "$scheme") has notes"; }
done
echo "dist test: $(basename "${archives[0]}") unpacks, loads and shows its schemes"
