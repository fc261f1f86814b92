#!/usr/bin/env bash
# The scheme authors' tools as a person uses them: a starting scheme from kivhost --scheme-new
# previews without a finding; values from --scheme-font and --scheme-colour, written into it, are
# what the plug-in draws with, as --preview reads them off its paint; a scheme with errors still
# gets its picture and exits 1; ./kiv's own messages come before its usage and leak no shell error.
#     schemeToolsTest.sh SOURCE_DIR BUILD_DIR
set -euo pipefail
source_dir=$1
build=$2
work=$(mktemp -d "$build/scheme-tools.XXXXXX")
trap 'rm -rf "$work"' EXIT
fail() { echo "scheme tools test: $*" >&2; exit 1; }
# kivhost's output; its messages too with 2>&1. Wine's own complaints on standard error are no concern here.
kivhost() { "$source_dir/cmake/wine-run" "$build/bin/kivhost.exe" "$@" | tr -d '\r'; }
cd "$work"

[ "$(kivhost --scheme-new moj)" = "wrote moj.kivs and moj.bmp" ] || fail "--scheme-new did not say what it wrote"
said=$(kivhost --scheme-new moj 2>&1) && fail "--scheme-new wrote over an existing scheme"
grep -qx "kivhost: scheme-new moj.kivs exists already: choose another NAME or move it away" <<<"${said//$'\r'/}" \
    || fail "--scheme-new over an existing scheme said '$said'"
kivhost --preview moj.kivs --out moj.bmp >preview.log 2>&1 || { cat preview.log; fail "the starting scheme does not preview"; }
! grep -q 'error:\|note:' preview.log || { cat preview.log; fail "the starting scheme has findings"; }
[ -s moj.bmp ] || fail "no picture of the starting scheme"

font=$(kivhost --scheme-font Verdana 12 bold)
colour=$(kivhost --scheme-colour '#C81E0A')
[ "$colour" = $((0x0A1EC8)) ] || fail "--scheme-colour '#C81E0A' gave '$colour'"
[[ $font =~ ^[0-9A-F]{122}$ ]] || fail "--scheme-font gave '$font'"
sed -i "s/^id_font=.*/id_font=$font\r/; s/^id_color=.*/id_color=$colour\r/" moj.kivs
kivhost --preview moj.kivs --out moj.bmp >preview.log 2>&1 || { cat preview.log; fail "the changed scheme does not preview"; }
grep -qx "kivhost: contact line: Verdana 12 bold, character set 238, #C81E0A" preview.log \
    || { cat preview.log; fail "the plug-in did not draw the contact line in the font and colour given"; }

printf '[skin]\r\nwindow_bgcolour=16777215\r\nid_color=#FF0000\r\nver=2\r\n[info]\r\ntitle=x\r\n' >bad.kivs
status=0
kivhost --preview bad.kivs --out bad.bmp >preview.log 2>&1 || status=$?
[ "$status" = 1 ] && [ -s bad.bmp ] || { cat preview.log; fail "a scheme with errors gave status $status or no picture"; }
grep -q "^kivhost: bad.kivs:2: error: window_bgcolour: .*did you mean window_bgcolor?" preview.log \
    || { cat preview.log; fail "the misspelt key was not named with its line"; }
grep -q "^kivhost: bad.kivs:3: error: id_color=#FF0000 is not a colour.*write 255" preview.log \
    || { cat preview.log; fail "the web colour was not answered with its value"; }

first=$("$source_dir/kiv" frobnicate 2>&1 | head -1) || true
[ "$first" = "kiv: unknown command 'frobnicate'" ] || fail "./kiv frobnicate began with '$first'"
said=$("$source_dir/kiv" preview nosuchdir/x.kivs 2>&1) && fail "./kiv preview of a missing file succeeded"
[ "$said" = "kiv: no scheme file nosuchdir/x.kivs: expected the path of a .kivs file (./kiv scheme-new NAME writes one)" ] \
    || fail "./kiv preview of a missing file said '$said'"
echo "scheme tools test: a new scheme previews, fonts and colours reach the plug-in, errors are named"
