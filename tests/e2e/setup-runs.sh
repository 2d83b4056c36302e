#!/usr/bin/env bash
# Unattended installations of the sample package: under Wine (the real
# spooler, registry and files of each Windows version's prefix) and on the
# simulated machine set up like that prefix.  For the same choices both must
# show the same message boxes, and the Wine prefix must hold the result.
# Each run appends its installation log to Instalix.log in the prefix's
# temporary folder, with the steps and message texts of the host's log.
#
#   setup-runs.sh WIN_BUILD_DIR HOST_BUILD_DIR SOURCE_PACKAGE RESULT_FILE
#
# The Windows build provides instalix-setup.exe, the package with real port
# monitors (package/), the language-monitor stand-in (pjlmon.dll) and the
# simulated KrUsbInt.dll; the last two go into each prefix's system
# directory, where Windows and the maker's setup keep them.
set -uo pipefail
win_build="$(cd "$1" && pwd)"; host_build="$(cd "$2" && pwd)"; source_package="$(cd "$3" && pwd)"; result="$4"
here="$(cd "$(dirname "$0")" && pwd)"
wine_root="$win_build/wine"
host_tool="$host_build/tools/instalix-setup"
config_tool="$host_build/tools/instalix-config"
win_tool="$win_build/tools/instalix-setup.exe"
win_package="Z:${win_build//\//\\}\\package"
out="$(mktemp -d)"
trap 'rm -rf "$out"' EXIT
. "$here/../lib/verdicts.sh"

# answers FILE WINDOWS MODEL PORT PACKAGE [EXTRA LINES...]
answers() {
    local file="$1" windows="$2" model="$3" port="$4" package="$5"; shift 5
    {
        printf '[Install]\nClass=Receipt\nModel=%s\nPort=%s\nMode=Advanced\nSetDefault=1\n' "$model" "$port"
        printf 'BaudRate=19200\nParity=Even\nFlowControl=Xon/Xoff\nPackage=%s\n' "$package"
        printf '[Answers]\n143=Yes\n[Machine]\nWindows=%s\nLanguageMonitor=1\nUsbPrinters=0\n' "$windows"
    } >"$file"
}

# The installation log in a prefix's temporary folder; how many runs of
# instalix-setup it holds; its steps and message boxes without the stamps.
prefix_log() { find "$1/drive_c" -iname instalix.log 2>/dev/null | head -1; }
log_runs() {
    local log; log="$(prefix_log "$1")"
    if [ -n "$log" ]; then LC_ALL=C grep -a -c ' ==== instalix-setup 1.0, Windows ' "$log"; else echo 0; fi
}
log_talk() { LC_ALL=C sed -n 's/^[0-9-]* [0-9:.]* \(step .*\|box  .*\)$/\1/p' "$1" | tr -d '\r'; }

# log_check NAME RUNS_BEFORE: the run is appended to the prefix's log as one
# more run, every line ends in CRLF, and its steps and message boxes (texts
# from the program's string table) are those of the simulated machine's log.
log_check() {
    local name="$1" before="$2" log runs lines crlf
    log="$(prefix_log "$prefix")"
    if [ -z "$log" ]; then bad "$name: Instalix.log is in the prefix's temporary folder"; return; fi
    runs=$(log_runs "$prefix")
    LC_ALL=C awk -v n="$runs" '/ ==== instalix-setup 1.0, Windows /{k++} k==n' "$log" >"$out/$name.wine.log"
    lines=$(wc -l <"$log"); crlf=$(LC_ALL=C grep -a -c $'\r$' "$log")
    if [ "$runs" -eq $((before + 1)) ] && [ "$lines" -eq "$crlf" ] &&
        LC_ALL=C grep -a -q ' step add printer' "$out/$name.wine.log" &&
        LC_ALL=C grep -a -q ' note installation finished' "$out/$name.wine.log" &&
        cmp -s <(log_talk "$out/$name-host.log") <(log_talk "$out/$name.wine.log"); then
        ok "$name: Instalix.log holds the run's steps and messages, as the simulated machine's log does"
    else
        bad "$name: Instalix.log ($log): runs $before -> $runs, $crlf of $lines lines end in CRLF"
        diff <(log_talk "$out/$name-host.log") <(log_talk "$out/$name.wine.log") | head -10
    fi
}

# install WINDOWS KIND PORT: one installation on both machines; sets $prefix.
install() {
    local windows="$1" kind="$2" port="$3" name="$2-$1"
    answers "$out/$name-host.ini" "$windows" MTR-Q5 "$port" "$source_package"
    answers "$out/$name-wine.ini" "$windows" MTR-Q5 "$port" "$win_package"
    printf 'printer=0\n' >"$out/usb.state"
    "$host_tool" "$out/$name-host.ini" --log "$out/$name-host.log" >"$out/$name.host" 2>&1
    local hrc=$?
    prefix="$wine_root/$windows"
    local runs_before; runs_before=$(log_runs "$prefix")
    KRUSBINT_STATE="Z:${out//\//\\}\\usb.state" INSTALIX_WINE_ROOT="$wine_root" \
        "$here/../../cmake/wine-run" --winver="$windows" "$win_tool" "Z:${out//\//\\}\\$name-wine.ini" \
        >"$out/$name.wine" 2>"$out/$name.wine.err"
    local wrc=$?
    WINEPREFIX="$prefix" wineserver -w 2>/dev/null
    grep -v -E '^(change|state):' "$out/$name.host" >"$out/$name.host.talk"
    if [ $hrc -eq 0 ] && [ $wrc -eq 0 ] && cmp -s "$out/$name.host.talk" "$out/$name.wine"; then
        ok "$name: installed with the same messages on the host and under Wine"
        log_check "$name" "$runs_before"
        return 0
    fi
    bad "$name: host rc=$hrc, wine rc=$wrc"
    diff "$out/$name.host.talk" "$out/$name.wine" | head -10
    head -5 "$out/$name.wine.err"
    return 1
}

for windows in win98 nt40 win2k winxp win2003; do
    # Prepare the prefix as a Windows system with the maker's library installed.
    INSTALIX_WINE_ROOT="$wine_root" "$here/../../cmake/wine-run" --winver="$windows" cmd /c exit >/dev/null 2>&1
    system="$wine_root/$windows/drive_c/windows/system32"
    cp "$win_build/pjlmon.dll" "$win_build/tests/KrUsbInt.dll" "$system/"
    # Wine names a print-processor folder for Windows 98/Me ("win40") that it
    # never creates; Windows has its folder.
    mkdir -p "$system/spool/prtprocs/win40"

    case "$windows" in win98) family=98 serial=COM2: ;; nt40) family=NT serial=KRCOM2: ;;
        win2k) family=2K serial=KRCOM2: ;; winxp) family=XP serial=KRCOM2: ;; *) family=2003 serial=KRCOM2: ;; esac
    driver_file=$("$config_tool" "$source_package" MTR-Q5 "$family" STD | sed -n 's/^files.DriverPath=//p')

    if install "$windows" parallel LPT1:; then
        check "parallel-$windows: printer and driver are in the prefix's registry" \
            grep -q 'MTR-Q5(P)' "$prefix/system.reg"
        check "parallel-$windows: the driver file lies in the spooler's driver directory" \
            test -n "$(find "$prefix/drive_c/windows/system32/spool/drivers" -iname "$driver_file")"
    fi
    if install "$windows" serial "$serial"; then
        check "serial-$windows: the printer is in the prefix's registry" grep -q 'MTR-Q5(S)' "$prefix/system.reg"
        if [ "$windows" = win98 ]; then
            check "serial-$windows: WIN.INI [Ports] holds the settings" \
                grep -q '^COM2:=19200,e,8,1,x' "$prefix/drive_c/windows/win.ini"
        else
            check "serial-$windows: the Ports key holds the settings" \
                grep -q '"COM2:"="19200,e,8,1,x"' "$prefix/system.reg"
        fi
    fi
    [ "$windows" = nt40 ] && continue
    if install "$windows" usb USB_MTR-Q5_2; then
        check "usb-$windows: the printer is in the prefix's registry" grep -q 'MTR-Q5(U) 2' "$prefix/system.reg"
        check "usb-$windows: the port records are in the prefix's registry" \
            grep -q '"USB_MTR-Q5_2"=dword:00000005' "$prefix/system.reg"
        check "usb-$windows: the printer took identity 1 for port 2" grep -q '^printer=1' "$out/usb.state"
    fi
done

echo "passed=$passed failed=$failed" >"$result"
[ $failed -eq 0 ]
