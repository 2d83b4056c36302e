#!/usr/bin/env bash
# Shows that check-resources.py finds faults: compiles res/instalix.rc as it
# is (the check must pass), then copies of it with one fault each (the
# check must fail on every one).
#
#   check-resources-faults.sh [WINDRES]     exits 0 when every case passes
set -uo pipefail
here="$(cd "$(dirname "$0")" && pwd)"
res="$here/../../res"
windres="${1:-i686-w64-mingw32-windres}"
work="$(mktemp -d)"
trap 'rm -rf "$work"' EXIT
. "$here/../lib/verdicts.sh"

python3 "$res/make-dlginit.py" --out-dir "$work/data" || { echo "cannot write the dialog data"; exit 1; }

# compile DIR: the script in DIR, with the pictures and the data found
# through the include path, to DIR/out.res.
compile() { "$windres" -I "$1" -I "$res" -I "$work/data" "$1/instalix.rc" -O res -o "$1/out.res"; }

mkdir "$work/good"
cp "$res/instalix.rc" "$work/good/"
if compile "$work/good" && python3 "$here/check-resources.py" "$work/good/out.res" >/dev/null; then
    ok "the resources as they are"
else
    bad "the resources as they are"
fi

# fault NAME SED-EXPRESSION [FILE]: the script (or FILE of res/: the English
# dialogs, the English strings) with one change must fail the check.  Every
# script goes into the case's folder, as an included file is looked for
# beside its includer first.
n=0
fault() {
    n=$((n + 1))
    local dir="$work/f$n" file="${3:-instalix.rc}"
    mkdir "$dir"
    cp "$res/instalix.rc" "$res/instalix-en.rc" "$res/strings-en.rc" "$dir/"
    sed "$2" "$res/$file" >"$dir/$file"
    if cmp -s "$dir/$file" "$res/$file"; then bad "$1 (the change did not apply)"; return; fi
    if ! compile "$dir" 2>"$dir/err"; then bad "$1 (does not compile)"; return; fi
    if python3 "$here/check-resources.py" "$dir/out.res" >"$dir/out" 2>&1; then
        bad "$1 passed the check"
    else
        ok "$1: $(cat "$dir/out")"
    fi
}

fault "unsorted port list" 's/CBS_DROPDOWNLIST | CBS_SORT/CBS_DROPDOWNLIST/'
fault "no trailing blank" 's/"Windows Server 2003 "/"Windows Server 2003"/'
fault "another font size" '0,/FONT 10, "宋体"/s//FONT 9, "宋体"/'
fault "frame one unit taller" 's/330, 218/330, 219/'
fault "visible USB notice" 's/SS_CENTER | NOT WS_VISIBLE/SS_CENTER/'
fault "rich text of the system" 's/INSTALIX_RICHTEXT_CLASS,/"RichEdit20A",/'
fault "the port page with the agreement's data" 's/"dlginit_132.bin"/"dlginit_133.bin"/'
fault "Next enabled at start" 's/184, 198, 59, 17, WS_DISABLED/184, 198, 59, 17/'
fault "a visible page" '0,/DS_CONTROL | WS_CHILD$/s//DS_CONTROL | WS_CHILD | WS_VISIBLE/'
fault "half-width parentheses" 's/（&B）/(\&B)/'
fault "the icon as the frame's picture" 's/IDB_PRINTER, IDC_STATIC/IDI_MAINFRAME, IDC_STATIC/'
fault "Back moved" 's/109, 198, 59, 17/110, 198, 59, 17/'

fault "English dialogs in the Chinese font" '0,/FONT 8, "MS Sans Serif"/s//FONT 10, "宋体"/' instalix-en.rc
fault "a Chinese text left in an English dialog" 's/"Set the printer port"/"设置打印机端口"/' instalix-en.rc
fault "an English control missing" '/IDC_RASTER_BITMAP/d' instalix-en.rc
fault "the English frame at the Chinese size" 's/IDD_WIZARD DIALOGEX 0, 0, 385, 235/IDD_WIZARD DIALOGEX 0, 0, 330, 218/' instalix-en.rc
fault "the picture over the page area" 's/IDC_PAGE_AREA, "Static", SS_ETCHEDFRAME | NOT WS_VISIBLE, 124,/IDC_PAGE_AREA, "Static", SS_ETCHEDFRAME | NOT WS_VISIBLE, 106,/' instalix-en.rc
fault "the English agreement missing" 's/"dlginit_133_en.bin"/"dlginit_133.bin"/' instalix-en.rc
fault "an English string missing" '/IDS_NO_SERVER_2003/d' strings-en.rc

echo "check-resources: $passed passed, $failed failed"
[ "$failed" -eq 0 ]
