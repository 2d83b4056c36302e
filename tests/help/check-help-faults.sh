#!/usr/bin/env bash
# Shows that check-help.py finds faults: compiles the two manuals as they are
# (help/, the Chinese one, and help/en/, the English one: the check must pass
# for each, and fail for each checked as the other), then copies of them with
# one fault each (the check must fail, and say which check failed).  Also
# shows that compile-help stops the build on chmcmd's warnings.
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

# files FROM TO: copies the files of folder FROM (not its subfolders) to TO.
files() { mkdir -p "$2" && find "$1" -maxdepth 1 -type f -exec cp -t "$2" {} + ; }

files "$help" "$work/good"
files "$help/en" "$work/good-en"
for m in "zh $work/good" "en $work/good-en"; do
    set -- $m
    if "$compile" "$2" "$2.chm" 2>"$2.err" && python3 "$check" "$2.chm" --language "$1" >"$2.out" 2>&1; then
        ok "the manual ($1) as it is compiles without warnings and passes the check"
    else
        bad "the manual ($1) as it is: $(cat "$2.err" "$2.out" 2>/dev/null | grep -v '^\[ OK \]')"
    fi
done
# Each manual checked as the other: the title is the first thing that differs.
for m in "zh en $work/good" "en zh $work/good-en"; do
    set -- $m
    if [ ! -s "$3.chm" ]; then
        bad "the manual ($1) checked as $2: it did not compile"
    elif python3 "$check" "$3.chm" --language "$2" >"$3.as-$2" 2>&1; then
        bad "the manual ($1) passed the check for $2"
    elif grep '^\[FAIL\]' "$3.as-$2" | grep -qF "the stored title"; then
        ok "the manual ($1) checked as $2 fails: $(grep -A1 '^\[FAIL\] the stored title' "$3.as-$2" | tr -s ' ' | tr '\n' ' ')"
    else
        bad "the manual ($1) checked as $2 failed, but not on its title: $(grep '^\[FAIL\]' "$3.as-$2" | tr '\n' ' ')"
    fi
done

# A copy of the sources, the string table and the program's sources, for one
# fault; the check runs against them.
n=0
copy() {
    n=$((n + 1))
    d="$work/f$n"
    mkdir -p "$d/res"
    files "$help" "$d/help"
    files "$help/en" "$d/help/en"
    cp "$top/res/strings.rc" "$top/res/strings-en.rc" "$top/res/resource.h" "$d/res/"
    # The program's sources are only read, or added to: hard links do.
    cp -al "$top/src" "$d/src" 2>/dev/null || { rm -rf "$d/src"; cp -r "$top/src" "$d/src"; }
}
# edit FILE SED-EXPRESSION: changes one file of the copy; the change must apply.
edit() {
    local f="$d/$1"
    cp "$f" "$f.orig"
    sed -i "$2" "$f"
    if cmp -s "$f" "$f.orig"; then echo "(the change to $1 did not apply)"; rm "$f.orig"; return 1; fi
    rm "$f.orig"
}
# expect NAME TEXT: the copy's Chinese manual compiles (warnings allowed)
# and the check fails with a [FAIL] line that holds TEXT; expect_en the same
# for its English manual.
expect() { check_copy zh "$d/help" "$d/res/strings.rc" "$d/Guide.CHM" "$@"; }
expect_en() { check_copy en "$d/help/en" "$d/res/strings-en.rc" "$d/GuideEN.CHM" "(English) $1" "$2"; }
# Each copy is compiled and checked in the background, two at a time; the
# verdicts are shown, and counted, in order at the end.
pids=(); verdicts=()
check_copy() {
    if [ ${#pids[@]} -ge 2 ]; then
        wait -n "${pids[@]}"
        local alive=() pid
        for pid in "${pids[@]}"; do kill -0 "$pid" 2>/dev/null && alive+=("$pid"); done
        pids=("${alive[@]}")
    fi
    check_copy_now "$@" >"$d/verdict-$1" 2>&1 &
    pids+=($!); verdicts+=("$d/verdict-$1")
}
check_copy_now() {
    local language="$1" sources="$2" strings="$3" chm="$4"
    shift 4
    if ! "$compile" --warnings-ok "$sources" "$chm" 2>"$d/err"; then
        bad "$1 (does not compile: $(cat "$d/err"))"; return
    fi
    if python3 "$check" "$chm" --language "$language" --sources "$sources" --strings "$strings" \
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

# The English manual.
copy; edit help/en/Guide.hhp 's/^Title=.*/Title=Printer Driver Setup Manual/' &&
    expect_en "another title" "the stored title"

copy; iconv -f UTF-8 -t GBK <<<'Title=打印机驱动安装手册' >"$d/title" &&
    edit help/en/Guide.hhp "s/^Title=.*/$(cat "$d/title")/" && expect_en "the Chinese title" "the stored title"

copy; edit help/en/Guide.hhp 's/^main="Printer Driver Setup Guide",/main="Printer Driver Setup",/' &&
    expect_en "a window captioned otherwise than the title" "every window type"

copy; edit help/en/Guide.hhp 's/,0x40120,/,0x42120,/' && expect_en "a window type that takes each topic's title" "every window type"

copy; edit help/en/Guide.hhp 's/^Language=0x409 .*/Language=0x804 Chinese (PRC)/' &&
    expect_en "the language Chinese" "the language is 0x409"

# The index entries of message 139 (its text and "Message 139").
copy; python3 - "$d/help/en/index.hhk" <<'EOF' && expect_en "a message without its index entries" "the index has every message"
import re, sys
path = sys.argv[1]
data = open(path, "rb").read()
data, count = re.subn(rb'<li><object type="text/sitemap">\s*<param name="Name" value="[^"]*">\s*'
                      rb'<param name="Local" value="msgport\.htm#m139">\s*</object>\s*', b"", data)
open(path, "wb").write(data)
sys.exit(0 if count == 2 else 1)
EOF

copy; edit help/en/index.hhk 's/value="Message 143"/value="Message 134"/' &&
    expect_en "a message indexed under another's number" "the index has every message"

copy; edit res/strings-en.rc 's/IDS_ONE_PRINTER_ONLY "Please connect only one printer while installing"/IDS_ONE_PRINTER_ONLY "Please connect just one printer while installing"/' &&
    expect_en "a message whose text changed in the string table" "the index has every message"

copy; edit help/en/msgend.htm 's/Click &quot;No&quot; to restart later/Click \&quot;No\&quot; to restart afterwards/' &&
    expect_en "a page that no longer shows a line of its message" "the index has every message"

copy; printf 'void Offline(const sys::Platform& p) { Say(p, "Printer is offline"); }\n' >"$d/src/ports/Offline.cpp"
expect_en "an English message of the program that the manual lacks" "the index has every fixed English message"

copy; cp "$d/help/raster.htm" "$d/help/en/raster.htm" && expect_en "a Chinese page in the English manual" "pages are code page 1252"

copy; edit help/en/serial.htm 's/handshaking (RTS\/CTS)/handshaking (RTS\/CTS) \xe2\x80\x94/' &&
    expect_en "a page with UTF-8 text" "pages are code page 1252"

copy; edit help/en/tusb.htm 's/href="msgport\.htm#m144"/href="msgport.htm#m145"/' && expect_en "a link to an anchor that does not exist" "lead to a file and anchor"

copy; edit help/en/toc.hhc '/value="tmax\.htm"/d' && expect_en "a topic left out of the contents" "every topic is in the contents"

copy; rm "$d/help/en/guide.css" && edit help/en/Guide.hhp '/^guide\.css/d' &&
    expect_en "the stylesheet left out" "lead to a file and anchor"

[ ${#pids[@]} -eq 0 ] || wait "${pids[@]}"
for v in "${verdicts[@]}"; do
    cat "$v"
    passed=$((passed + $(grep -c '^\[ OK \]' "$v")))
    failed=$((failed + $(grep -c '^\[FAIL\]' "$v")))
done
echo "passed=$passed failed=$failed"
[ "$failed" -eq 0 ]
