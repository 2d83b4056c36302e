#!/usr/bin/env bash
# Unattended installations of the sample package: under Wine (the real
# spooler, registry and files of each Windows version's prefix) and on the
# simulated machine set up like that prefix.  For the same choices both must
# show the same message boxes, and the Wine prefix must hold the result.
#
#   setup-runs.sh HOST_TOOL WINDOWS_TOOL PACKAGE_FOLDER WINE_ROOT RESULT_FILE
set -uo pipefail
host_tool="$1"; win_tool="$2"; package="$(cd "$3" && pwd)"; wine_root="$(cd "$4" && pwd)"; result="$5"
here="$(cd "$(dirname "$0")" && pwd)"
out="$(mktemp -d)"
trap 'rm -rf "$out"' EXIT
passed=0; failed=0

ok() { echo "[ OK ] $1"; passed=$((passed + 1)); }
bad() { echo "[FAIL] $1"; failed=$((failed + 1)); }

# answers NAME WINDOWS MODEL PORT: an answers file for both runs.
answers() {
    local name="$1" windows="$2" model="$3" port="$4" package_path="$5"
    cat >"$out/$name.ini" <<INI
[Install]
Class=Receipt
Model=$model
Port=$port
SetDefault=1
Package=$package_path
[Machine]
Windows=$windows
INI
}

for windows in win98 nt40 win2k winxp win2003; do
    name="lpt-$windows"
    answers "$name-host" "$windows" MTR-C30 LPT1: "$package"
    answers "$name-wine" "$windows" MTR-C30 LPT1: "Z:${package//\//\\}"
    "$host_tool" "$out/$name-host.ini" >"$out/$name.host" 2>&1
    hrc=$?
    INSTALIX_WINE_ROOT="$wine_root" "$here/../../cmake/wine-run" --winver="$windows" "$win_tool" \
        "Z:${out//\//\\}\\$name-wine.ini" >"$out/$name.wine" 2>"$out/$name.wine.err"
    wrc=$?
    # The dialogue: every line up to the result, without the simulated machine's report.
    grep -v -E '^(change|state):' "$out/$name.host" >"$out/$name.host.talk"
    if [ $hrc -eq 0 ] && [ $wrc -eq 0 ] && cmp -s "$out/$name.host.talk" "$out/$name.wine"; then
        ok "instalix-setup $name: same messages on the host and under Wine, exit 0"
    else
        bad "instalix-setup $name: host rc=$hrc, wine rc=$wrc"
        diff "$out/$name.host.talk" "$out/$name.wine" | head -10
        head -5 "$out/$name.wine.err"
        continue
    fi
    # The result, read from the prefix itself once Wine has written it out.
    prefix="$wine_root/$windows"
    WINEPREFIX="$prefix" wineserver -w 2>/dev/null
    if grep -q 'MTR-C30(P)' "$prefix/system.reg" && grep -q 'KORVALE MTR-C30 Receipt' "$prefix/system.reg"; then
        ok "instalix-setup $name: printer and driver are in the prefix's registry"
    else
        bad "instalix-setup $name: printer or driver missing from the prefix's registry"
    fi
    case "$windows" in win98) family=98 ;; nt40) family=NT ;; win2k) family=2K ;; winxp) family=XP ;; *) family=2003 ;; esac
    driver_file=$("$(dirname "$host_tool")/instalix-config" "$package" MTR-C30 "$family" STD |
        sed -n 's/^files.DriverPath=//p')
    if [ -n "$driver_file" ] && find "$prefix/drive_c/windows/system32/spool/drivers" -iname "$driver_file" | grep -q .; then
        ok "instalix-setup $name: driver files lie in the spooler's driver directory"
    else
        bad "instalix-setup $name: driver files missing from the spooler's driver directory"
    fi
done

echo "passed=$passed failed=$failed" >"$result"
[ $failed -eq 0 ]
