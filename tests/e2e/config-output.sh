#!/usr/bin/env bash
# instalix-config must print the same bytes on the host (simulated machine)
# and under Wine (real profile API) for the same package.
#
#   config-output.sh HOST_TOOL WINDOWS_TOOL PACKAGE_FOLDER RESULT_FILE
#
# Writes "passed" and "failed" counts to RESULT_FILE, one comparison per
# Windows family plus one for the whole package, and the package check
# (--check) of a broken copy of the package.
set -uo pipefail
host_tool="$1"; win_tool="$2"; package="$(cd "$3" && pwd)"; result="$4"
here="$(cd "$(dirname "$0")" && pwd)"
out="$(mktemp -d)"
trap 'rm -rf "$out"' EXIT

# Wine sees the Unix file system as drive Z:.
win_package="Z:${package//\//\\}"
passed=0; failed=0

compare() {
    local name="$1"; shift
    "$host_tool" "$package" "$@" >"$out/$name.host" 2>"$out/$name.host.err"
    local hrc=$?
    "$here/../../cmake/wine-run" "$win_tool" "$win_package" "$@" >"$out/$name.wine" 2>"$out/$name.wine.err"
    local wrc=$?
    if [ $hrc -eq 0 ] && [ $wrc -eq 0 ] && [ -s "$out/$name.host" ] && cmp -s "$out/$name.host" "$out/$name.wine"; then
        echo "[ OK ] instalix-config $name: $(wc -l <"$out/$name.host") lines identical"
        passed=$((passed + 1))
    else
        echo "[FAIL] instalix-config $name: host rc=$hrc, wine rc=$wrc"
        diff <(cat -A "$out/$name.host") <(cat -A "$out/$name.wine") | head -20
        head -5 "$out/$name.wine.err"
        failed=$((failed + 1))
    fi
}

compare all
for family in 98 NT 2K XP 2003; do
    compare "family-$family" '*' "$family"
done
compare "MTR-Q5-XP-GDI" MTR-Q5 XP GDI

# --check: the same diagnostics and exit code on both, for a copy of the
# package with a few faults (a hexadecimal number, a baud rate the port page
# does not list, a key given twice, a byte that is not code page 936, a
# missing driver file).
broken="$out/broken"
cp -r "$package" "$broken"
sed -i -e 's/^FIELDS=98079\r$/FIELDS=0x17F1F\r/' -e 's/^BaudRate=9600\r$/BaudRate=14400\r/' \
    "$broken/DRVCONFIG/setup_receipt.ini"
printf '10=USB_MTR-R80_1\r\n;\x81 \r\n' >>"$broken/DRVCONFIG/setup.ini"
rm "$broken/winnt/KRQ5.DLL"
"$host_tool" --check "$broken" >"$out/check.host" 2>"$out/check.host.err"
hrc=$?
"$here/../../cmake/wine-run" "$win_tool" --check "Z:${broken//\//\\}" >"$out/check.wine" 2>"$out/check.wine.err"
wrc=$?
if [ $hrc -eq 1 ] && [ $wrc -eq 1 ] && [ -s "$out/check.host" ] && cmp -s "$out/check.host" "$out/check.wine"; then
    echo "[ OK ] instalix-config --check: $(wc -l <"$out/check.host") diagnostics identical"
    passed=$((passed + 1))
else
    echo "[FAIL] instalix-config --check: host rc=$hrc, wine rc=$wrc"
    diff <(cat -A "$out/check.host") <(cat -A "$out/check.wine") | head -20
    head -5 "$out/check.wine.err"
    failed=$((failed + 1))
fi

echo "passed=$passed failed=$failed" >"$result"
[ $failed -eq 0 ]
