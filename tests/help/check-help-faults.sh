#!/usr/bin/env bash
# Shows that check-help.py finds faults: compiles help/ as it is (the check
# must pass), then copies of it with one fault each (the check must fail,
# and say which check failed).  Also shows that compile-help stops the build
# on chmcmd's warnings.
#
#   check-help-faults.sh        exits 0 when every case passes
set -uo pipefail
export LC_ALL=C
here="$(cd "$(dirname "$0")" && pwd)"
top="$here/../.."
help="$top/help"
check="$here/check-help.py"
compile="$help/compile-help"
work="$(mktemp -d)"
trap 'rm -rf "$work"' EXIT
. "$here/../lib/verdicts.sh"

mkdir "$work/good"
cp "$help"/* "$work/good/"
if "$compile" "$work/good" "$work/good.chm" 2>"$work/good.err" && python3 "$check" "$work/good.chm" >"$work/good.out" 2>&1; then
    ok "the manual as it is compiles without warnings and passes the check"
else
    bad "the manual as it is: $(cat "$work/good.err" "$work/good.out" 2>/dev/null | grep -v '^\[ OK \]')"
fi

# A copy of the sources, the string table and the program's sources, for one
# fault; the check runs against them.
n=0
copy() {
    n=$((n + 1))
    d="$work/f$n"
    mkdir -p "$d/help" "$d/res"
    cp "$help"/* "$d/help/"
    cp "$top/res/strings.rc" "$top/res/resource.h" "$d/res/"
    cp -r "$top/src" "$d/src"
}
# edit FILE SED-EXPRESSION: changes one file of the copy; the change must apply.
edit() {
    local f="$d/$1"
    cp "$f" "$f.orig"
    sed -i "$2" "$f"
    if cmp -s "$f" "$f.orig"; then echo "(the change to $1 did not apply)"; rm "$f.orig"; return 1; fi
    rm "$f.orig"
}
# expect NAME TEXT: the copy compiles (warnings allowed) and the check fails
# with a [FAIL] line that holds TEXT.
expect() {
    if ! "$compile" --warnings-ok "$d/help" "$d/Guide.CHM" 2>"$d/err"; then
        bad "$1 (does not compile: $(cat "$d/err"))"; return
    fi
    if python3 "$check" "$d/Guide.CHM" --sources "$d/help" --strings "$d/res/strings.rc" \
        --program-sources "$d/src" >"$d/out" 2>&1; then
        bad "$1 passed the check"
    elif grep '^\[FAIL\]' "$d/out" | grep -qF "$2"; then
        ok "$1: $(grep -A1 '^\[FAIL\]' "$d/out" | grep -A1 -F "$2" | tr -s ' ' | tr '\n' ' ')"
    else
        bad "$1 failed, but not as \"$2\": $(grep '^\[FAIL\]' "$d/out" | tr '\n' ' ')"
    fi
}

copy; rm "$d/help/tmax.htm"; edit help/Guide.hhp '/^tmax\.htm/d' && {
    if "$compile" "$d/help" "$d/strict.chm" 2>"$d/strict.err"; then
        bad "compile-help accepted a project that chmcmd warns about"
    else
        ok "compile-help stops on chmcmd's warnings: $(head -1 "$d/strict.err")"
    fi
    expect "a topic deleted that pages still link to" "lead to a file and anchor"; }

copy; printf '<html><head><meta http-equiv="Content-Type" content="text/html; charset=gb2312"></head><body>x</body></html>\n' \
    >"$d/help/extra.htm"
expect "a page of the sources left out of the project" "the file holds all"

copy; edit help/finish.htm 's/href="port\.htm"/href="prot.htm"/' && expect "a link to a page that does not exist" "lead to a file and anchor"

copy; edit help/messages.htm 's/msginst\.htm#m102"/msginst.htm#m120"/' && expect "a link to an anchor that does not exist" "lead to a file and anchor"

copy; edit help/index.hhk 's/"msgspool\.htm#spwait"/"msgspool.htm#spwaits"/' && expect "an index entry with a missing anchor" "lead to a file and anchor"

copy; edit help/port.htm 's/href="serial\.htm"/href="http:\/\/example.invalid\/serial.htm"/' &&
    expect "a link that leaves the manual" "lead to a file and anchor"

copy; edit help/toc.hhc '/value="trestart\.htm"/d' && expect "a topic left out of the contents" "every topic is in the contents"

# The index entry of message 139 by its text, and the one by its number.
copy; python3 - "$d/help/index.hhk" <<'EOF' && expect "a message without its index entries" "the index has every message"
import re, sys
path = sys.argv[1]
data = open(path, "rb").read()
data, count = re.subn(rb'<li><object type="text/sitemap">\s*<param name="Name" value="[^"]*">\s*'
                      rb'<param name="Local" value="msgport\.htm#m139">\s*</object>\s*', b"", data)
open(path, "wb").write(data)
sys.exit(0 if count == 2 else 1)
EOF

copy; edit res/strings.rc 's/IDS_DRIVER_FILES_MISSING "驱动文件丢失，无法安装"/IDS_DRIVER_FILES_MISSING "驱动文件丢失，无法继续安装"/' &&
    expect "a message whose text changed in the string table" "the index has every message"

copy; printf 'void Offline(const sys::Platform& p) { Say(p, "Printer is offline"); }\n' >"$d/src/ports/Offline.cpp"
expect "an English message of the program that the manual lacks" "the index has every fixed English message"

copy; iconv -f GBK -t UTF-8 "$d/help/Guide.hhp" >"$d/help/Guide.hhp.utf8" && mv "$d/help/Guide.hhp.utf8" "$d/help/Guide.hhp"
expect "the project saved as UTF-8 (the title in UTF-8)" "the stored title"

copy; edit help/Guide.hhp 's/^Language=0x804 .*/Language=0x409 English (United States)/' &&
    expect "the language English" "the language is 0x804"

copy; edit help/Guide.hhp 's/,0x40120,/,0x42120,/' && expect "a window type that takes each topic's title" "every window type"

copy; iconv -f GBK -t UTF-8 "$d/help/raster.htm" >"$d/help/raster.utf8" && mv "$d/help/raster.utf8" "$d/help/raster.htm"
expect "a page saved as UTF-8" "pages are GBK"

echo "passed=$passed failed=$failed"
[ "$failed" -eq 0 ]
