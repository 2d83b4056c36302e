#!/usr/bin/env bash
# instalix-config must print the same bytes on the host (simulated machine)
# and under Wine (real profile API) for the same package.
#
#   config-output.sh HOST_TOOL WINDOWS_TOOL PACKAGE_FOLDER RESULT_FILE
#
# Writes "passed" and "failed" counts to RESULT_FILE, one comparison per
# Windows family plus one for the whole package.
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

echo "passed=$passed failed=$failed" >"$result"
[ $failed -eq 0 ]
