#!/usr/bin/env bash
# The wizard clicked through by the driver under Wine, as a user would, in
# each Windows version's prefix: installations of the sample package's
# MTR-Q5 on a serial, a parallel and (but on NT 4) a USB port, in typical and
# advanced mode, made the default printer or not; the refusals (no model in
# the package, a model Server 2003 does not support, a model without the
# advanced installation, a baud rate not in the list, USB with no printer and
# with two, the identity question answered No then Yes); Back and Next that
# keep the port page's choices; Cancel on every page.
#
#   wizard-runs.sh WIN_BUILD_DIR RESULT_FILE
#
# Every installation is also made by instalix-setup with the same choices in
# a second prefix of the same version; after the version's runs both prefixes
# must hold the same printers, drivers, monitors, processors, registry values,
# WIN.INI entries and files (tests/e2e/print-state), and the installation
# logs in the prefixes' temporary folders the same steps and message boxes.
# Runs that must not install anything are checked to leave the prefix
# exactly as it was.
# Screenshots of every page and message box: WIN_BUILD_DIR/e2e-shots/.
# Writes "passed=N failed=N" into RESULT_FILE.  INSTALIX_E2E_VERSIONS picks
# some of the Windows versions (default: all five).
. "$(dirname "$0")/start.sh" "$@"
setup="$win_build/tools/instalix-setup.exe"
state_tool="$here/print-state"
wiz_root="$win_build/e2e-wine"        # the wizard's prefixes
set_root="$win_build/e2e-wine-setup"  # instalix-setup's, for the comparison
shots="$win_build/e2e-shots"
winpath() { local p="${1//\//\\}"; echo "Z:$p"; }

for f in "$win_build/instalix.exe" "$driver" "$setup" "$win_build/pjlmon.dll" "$win_build/tests/KrUsbInt.dll"; do
    [ -f "$f" ] || { echo "wizard-runs: $f is missing"; echo "passed=0 failed=1" >"$result"; exit 1; }
done
rm -rf "$shots"; mkdir -p "$shots"

# The media: the sample package with instalix.exe at its root; a copy whose
# device list is empty; a copy where MTR-Q5's baud rate is not one of the
# list's and MTR-T2 has neither "AdvancedSetup" nor "System2003Supported".
medium() {
    local dir="$out/$1"
    mkdir -p "$dir"
    cp -r "$win_build/package/DRVCONFIG" "$dir/"
    for folder in win98 winnt win2003; do cp -al "$win_build/package/$folder" "$dir/" 2>/dev/null || cp -r "$win_build/package/$folder" "$dir/"; done
    cp "$win_build/instalix.exe" "$dir/"
}
medium sample
medium empty
: >"$out/empty/DRVCONFIG/setup.ini"
medium odd
sed -i 's/^BaudRate=115200\r$/BaudRate=14400\r/' "$out/odd/DRVCONFIG/setup_receipt.ini"
sed -i '/^\[MTR-T2.PORT\]/,/^\[/{/^AdvancedSetup=/d;/^System2003Supported=/d}' "$out/odd/DRVCONFIG/setup_ticket.ini"

. "$here/prefix.sh"
# Until the prefix's registry is on disk.
flush() { WINEPREFIX="$1" wineserver -w 2>/dev/null; }

# wizard NAME STATE: runs the driver script on standard input against the
# wizard in the current version's prefix; STATE is the USB stand-in's state
# file.  Output in $out/$ver-NAME.out.  Returns the driver's exit code.
wizard() {
    local name="$1" state="$2" log="$out/$ver-$1"
    cat >"$log.txt"
    local rc try
    for try in 1 2; do
        printf '%b' "$state" >"$out/usb.state"
        # Wine's error lines go into the run's error file, kept when a start fails.
        KRUSBINT_STATE="$(winpath "$out/usb.state")" INSTALIX_WINE_ROOT="$wiz_root" \
            WINEDEBUG="${WINEDEBUG:-err+all,fixme-all}" \
            "$wine_run" --winver="$ver" "$driver" "$log.txt" >"$log.out" 2>"$log.err"
        rc=$?
        # Now and then the program ends under Wine before it shows any
        # window (seen a few seconds after the previous run ended, as the
        # prefix's server winds down, and again half a second later); that
        # is said, and the run made once more when that server has ended.
        [ $rc -ne 0 ] && [ $try = 1 ] && grep -q '^[0-9]*: wait-window .*without that window$' "$log.out" &&
            ! grep -q '^[0-9]*: click' "$log.out" || break
        echo "note: $ver $name: $(grep -m1 'without that window' "$log.out" | sed 's/.*FAILED: //'); run again"
        # What the program logged of it, and Wine's first error lines.
        cat "$wiz_root/$ver"/drive_c/users/*/Temp/Instalix.log 2>/dev/null | iconv -f gbk -t utf-8 |
            grep 'could not' | tail -1 | sed 's/^/  log: /'
        grep -m3 ':err:' "$log.err" | sed 's/^/  wine: /'
        cp "$log.out" "$shots/$ver-$name.first-try.out"
        cp "$log.err" "$shots/$ver-$name.first-try.err"
        flush "$wiz_root/$ver"
    done
    if [ $rc -ne 0 ]; then
        grep -E 'FAILED|^end:|^wizard-driver:' "$log.out" | head -5
    elif grep -q ': wait-exit' "$log.out" && ! grep ': wait-exit' "$log.out" | tail -1 | grep -q 'exit code 0$'; then
        # A wizard that was ended, by Finish or Cancel, ends with code 0.
        echo "$ver $name: $(grep ': wait-exit' "$log.out" | tail -1)"
        rc=1
    fi
    return $rc
}

# setup NAME STATE MODE PORT SETDEFAULT RASTER BAUD [ANSWER-143] [MEDIUM]:
# the same installation by instalix-setup in the comparison prefix.
setup() {
    local name="$1" state="$2" mode="$3" port="$4" default="$5" raster="$6" baud="$7" yes="${8:-Yes}" m="${9:-sample}"
    local ini="$out/$ver-$name.ini"
    {
        printf '[Install]\r\nClass=Receipt\r\nModel=MTR-Q5\r\nPort=%s\r\nMode=%s\r\nSetDefault=%s\r\n' "$port" "$mode" "$default"
        printf 'RasterBitmap=%s\r\nBaudRate=%s\r\nDataBits=8\r\nStopBits=1\r\nParity=Even\r\nFlowControl=Xon/Xoff\r\n' "$raster" "$baud"
        printf 'Package=%s\\\r\n[Answers]\r\n143=%s\r\n' "$(winpath "$out/$m")" "$yes"
    } >"$ini"
    printf '%b' "$state" >"$out/usb.state"
    (cd "$out/$m" && KRUSBINT_STATE="$(winpath "$out/usb.state")" INSTALIX_WINE_ROOT="$set_root" \
        "$wine_run" --winver="$ver" "$setup" "$(winpath "$ini")" >"$out/$ver-$name.setup" 2>&1)
}

# Script fragments.  open NAME [MEDIUM]: starts the wizard; the agreement page.
open() {
    local m="${2:-sample}"
    echo "shotdir \"$shots/$ver\" \"$1-\""
    echo "start \"$out/$m/instalix.exe\" \"$out/$m\""
    echo "wait-window 安装打印机驱动程序 30"
    echo "expect-checked 1058 1"
    echo "expect-enabled 1 0"
    echo "expect-enabled 1002 0"
    echo "shot page0"
}
# Accept, Next: the printer page with MTR-Q5 preselected; SET_DEFAULT 0|1.
printer_page() {
    echo "click 1057"
    echo "expect-enabled 1 1"
    echo "click 1"
    echo "expect-checked 1019 1"
    echo "expect-list 1030 \"MTR-Q5|MTR-C30|MTR-R80\""
    echo "expect-selected 1030 MTR-Q5"
    echo "expect-checked 1046 0"
    [ "$1" = 1 ] && echo "click 1046"
    echo "shot page1"
    echo "click 1"
}
# The mode page: Typical or Advanced chosen.
mode_page() {
    echo "expect-checked 1066 1"
    echo "expect-enabled 1067 1"
    echo "expect-text 1068 典型安装：安装默认的打印机驱动程序"
    if [ "$1" = Advanced ]; then
        echo "click 1067"
        echo "expect-text 1068 高级安装：支持多台USB接口驱动的安装；"
        echo "expect-visible 1069 1"
    fi
    echo "shot page2"
    echo "click 1"
}
# The target-system page: only the running system's button, marked.
os_page() {
    for id in 1026 1027 1028 1029 1075; do
        if [ "$id" = "$os_id" ]; then echo "expect-enabled $id 1"; echo "expect-checked $id 1"; else echo "expect-enabled $id 0"; fi
    done
    echo "shot page3"
    echo "click 1"
    echo "expect-text 1 完成（&F）"
}
# Finish and the last message; the program ends.  KIND usb|other.
finish() {
    echo "shot page4"
    echo "click 1"
    if [ "$ver" = win98 ]; then
        echo "answer 重新启动系统使设置生效 No 90"
    elif [ "$1" = usb ]; then
        echo "answer 请复位打印机使设置生效 OK 90"
    else
        echo "answer 打印机驱动安装成功 OK 90"
    fi
    echo "wait-exit 30"
}
# The serial settings chosen on the port page.
serial_settings() {
    echo "expect-enabled 1041 1"
    echo "expect-enabled 1052 0"
    echo "expect-visible 1065 0"
    [ -n "$1" ] && echo "select 1041 $1"
    echo "select 1043 Even"
    echo "select 1045 Xon/Xoff"
}

# The port list each family offers for MTR-Q5, with N USB ports.
port_list() {
    local n="$1" list usb=""
    if [ "$ver" = win98 ]; then list="COM1:|COM2:|LPT1:"; else list="KRCOM1:|KRCOM2:|KRCOM3:|KRCOM4:|KRCOM5:|KRCOM6:|KRCOM7:|KRCOM8:|LPT1:|LPT2:|LPT3:"; fi
    if [ "$ver" != nt40 ]; then for i in $(seq 1 "$n"); do usb="$usb|USB_MTR-Q5_$i"; done; fi
    echo "\"$list$usb\""
}

# What the version's prefix holds, after the runs.
wiz_state() { "$state_tool" "$wiz_root/$ver"; }
has() { grep -F -q -- "$1" "$out/$ver.state"; }

for ver in ${INSTALIX_E2E_VERSIONS:-win98 nt40 win2k winxp win2003}; do
    case "$ver" in
        win98) os_id=1026 serial=COM2: ;; nt40) os_id=1027 serial=KRCOM2: ;; win2k) os_id=1028 serial=KRCOM2: ;;
        winxp) os_id=1029 serial=KRCOM2: ;; *) os_id=1075 serial=KRCOM2: ;;
    esac
    echo "--- $ver"
    failed_before=$failed
    fresh_prefix "$wiz_root" "$ver"
    # instalix-setup's prefix starts as a copy of the wizard's.
    mkdir -p "$set_root"; rm -rf "${set_root:?}/$ver"; cp -a "$wiz_root/$ver" "$set_root/$ver"

    # 1. USB: advanced, the attached printer (identity 1) preselects port 2,
    # made the default printer.  On Windows 98/Me typical: port 1 is offered,
    # so the identity is rewritten to match it (question answered Yes).
    if [ "$ver" = win98 ]; then
        wizard usb 'printer=1\n' <<EOF
$(open usb)
$(printer_page 1)
$(mode_page Typical)
$(os_page)
expect-list 1049 $(port_list 1)
expect-selected 1049 USB_MTR-Q5_1
expect-visible 1065 1
expect-visible 1052 0
expect-enabled 1041 0
shot page4
click 1
answer 程序将改变当前USB设备的名称 Yes 90
answer 重新启动系统使设置生效 No 90
wait-exit 30
EOF
        check "$ver usb: typical installation on USB_MTR-Q5_1, the identity rewritten after Yes" test $? -eq 0
        check "$ver usb: the printer took identity 0 for port 1" grep -q '^printer=0' "$out/usb.state"
        setup usb 'printer=1\n' Typical USB_MTR-Q5_1 1 1 115200
        check "$ver usb: instalix-setup installs the same" test $? -eq 0
    elif [ "$ver" != nt40 ]; then
        wizard usb 'printer=1\n' <<EOF
$(open usb)
$(printer_page 1)
$(mode_page Advanced)
$(os_page)
expect-list 1049 $(port_list 4)
expect-selected 1049 USB_MTR-Q5_2
expect-visible 1065 1
expect-visible 1052 1
expect-checked 1052 1
expect-enabled 1041 0
$(finish usb)
EOF
        check "$ver usb: advanced installation on the preselected USB_MTR-Q5_2, no question" test $? -eq 0
        check "$ver usb: the printer keeps identity 1" grep -q '^printer=1' "$out/usb.state"
        setup usb 'printer=1\n' Advanced USB_MTR-Q5_2 1 1 115200
        check "$ver usb: instalix-setup installs the same" test $? -eq 0
    fi

    # 2. Serial: typical, made the default printer.  On Windows 2000 from the
    # package whose MTR-Q5 asks for 14400 baud: the list shows 38400, the
    # installation writes 14400.
    baud=19200; m=sample
    [ "$ver" = win2k ] && baud=14400 m=odd
    {
        open serial "$m"
        printer_page 1
        mode_page Typical
        os_page
        echo "expect-list 1049 $(port_list 1)"
        echo "select 1049 $serial"
        if [ "$m" = odd ]; then
            echo "expect-selected 1041 38400"
            serial_settings ""
        else
            echo "expect-selected 1041 115200"
            serial_settings 9600
            if [ "$ver" = winxp ]; then
                # Back to the printer page and forward again: the model's
                # baud rate comes back; back from the port page only: the
                # choices stay and the list is not built again.
                echo "click 1002"; echo "click 1002"; echo "click 1002"
                echo "expect-checked 1019 1"
                echo "click 1"; echo "click 1"; echo "click 1"
                echo "expect-selected 1041 115200"
                echo "expect-selected 1049 $serial"
                echo "select 1041 19200"
                echo "click 1002"
                echo "expect-text 1 下一步（&N）>>"
                echo "click 1"
                echo "expect-selected 1049 $serial"
                echo "expect-selected 1041 19200"
                echo "expect-selected 1043 Even"
                echo "expect-selected 1045 Xon/Xoff"
            else
                echo "select 1041 19200"
            fi
        fi
        finish other
    } | wizard serial 'printer=2\n'
    check "$ver serial: typical installation on $serial" test $? -eq 0
    setup serial 'printer=2\n' Typical "$serial" 1 0 "$baud" Yes "$m"
    check "$ver serial: instalix-setup installs the same" test $? -eq 0

    # 3. Parallel: advanced, not made the default printer.
    wizard parallel 'printer=0\n' <<EOF
$(open parallel)
$(printer_page 0)
$(mode_page Advanced)
$(os_page)
select 1049 LPT1:
expect-enabled 1041 0
expect-visible 1065 0
expect-checked 1052 1
$(finish other)
EOF
    check "$ver parallel: advanced installation on LPT1:, not the default" test $? -eq 0
    setup parallel 'printer=0\n' Advanced LPT1: 0 1 115200
    check "$ver parallel: instalix-setup installs the same" test $? -eq 0


    # 4. The identity question: port 3 chosen while the printer answers for
    # port 1.  Yes rewrites the identity and installs (No: below).
    if [ "$ver" = winxp ]; then
        wizard identity 'printer=0\n' <<EOF
$(open identity)
$(printer_page 0)
$(mode_page Advanced)
$(os_page)
expect-selected 1049 USB_MTR-Q5_1
select 1049 USB_MTR-Q5_3
shot page4
click 1
answer 程序将改变当前USB设备的名称 Yes 90
answer 请复位打印机使设置生效 OK 90
wait-exit 30
EOF
        check "$ver identity: Yes to the question installs on USB_MTR-Q5_3" test $? -eq 0
        check "$ver identity: the printer took identity 2 for port 3" grep -q '^printer=2' "$out/usb.state"
        setup identity 'printer=0\n' Advanced USB_MTR-Q5_3 0 1 115200
        check "$ver identity: instalix-setup installs the same" test $? -eq 0
    fi

    flush "$wiz_root/$ver" & flush "$set_root/$ver"; wait
    wiz_state >"$out/$ver.state"
    "$state_tool" "$set_root/$ver" >"$out/$ver.setup-state"
    # What each installation left.
    if [ "$ver" != nt40 ]; then
        if [ "$ver" = win98 ]; then usb_printer='MTR-Q5(U) 1' usb_port=USB_MTR-Q5_1; else usb_printer='MTR-Q5(U) 2' usb_port=USB_MTR-Q5_2; fi
        check "$ver usb: printer $usb_printer on $usb_port" has "Printers\\$usb_printer: \"Port\"=\"$usb_port\""
        check "$ver usb: the maker's port records name $usb_port" has "\"$usb_port\"=dword:"
    fi
    check "$ver serial: printer MTR-Q5(S) on $serial" has "Printers\\MTR-Q5(S): \"Port\"=\"$serial\""
    check "$ver parallel: printer MTR-Q5(P) on LPT1:" has 'Printers\MTR-Q5(P): "Port"="LPT1:"'
    [ "$ver" = winxp ] && check "$ver identity: printer MTR-Q5(U) 3 on USB_MTR-Q5_3" \
        has 'Printers\MTR-Q5(U) 3: "Port"="USB_MTR-Q5_3"'
    if [ "$ver" = win98 ]; then
        check "$ver serial: WIN.INI [Ports] holds the settings" has "win.ini [ports] COM2:=$baud,e,8,1,x"
    else
        check "$ver serial: the Ports key holds the settings" has "Ports: \"COM2:\"=\"$baud,e,8,1,x\""
        check "$ver: the serial printer is the default, the parallel one (not asked) is not" \
            has '"device"="MTR-Q5(S),'
    fi
    if [ "$ver" = win98 ]; then driver_file=mtrq5; else driver_file=krq5; fi
    check "$ver: the driver files lie in the spooler's driver folder" grep -q -i "^file system32\\\\spool\\\\drivers\\\\.*\\\\$driver_file" "$out/$ver.state"
    if cmp -s "$out/$ver.state" "$out/$ver.setup-state"; then
        ok "$ver: the wizard's printers, drivers, registry values and files equal instalix-setup's"
    else
        bad "$ver: the wizard's printers, drivers, registry values and files equal instalix-setup's"
        diff "$out/$ver.state" "$out/$ver.setup-state" | head -20
    fi
    # The installation log: each wizard run appended to Instalix.log in the
    # prefix's temporary folder under a header of its own, each installation
    # finished, with the steps and message boxes of instalix-setup's log of
    # the same installations.
    case "$ver" in nt40) installs=2 ;; winxp) installs=4 ;; *) installs=3 ;; esac
    wiz_log="$(find "$wiz_root/$ver/drive_c" -iname instalix.log 2>/dev/null | head -1)"
    set_log="$(find "$set_root/$ver/drive_c" -iname instalix.log 2>/dev/null | head -1)"
    log_talk() { LC_ALL=C sed -n 's/^[0-9-]* [0-9:.]* \(step .*\|box  .*\)$/\1/p' "$1" | tr -d '\r'; }
    if [ -n "$wiz_log" ] && [ -n "$set_log" ] &&
        [ "$(LC_ALL=C grep -a -c ' ==== instalix 1.0, Windows ' "$wiz_log")" -ge "$installs" ] &&
        [ "$(LC_ALL=C grep -a -c ' note installation finished, printer ' "$wiz_log")" -eq "$installs" ] &&
        [ "$(LC_ALL=C grep -a -c ' step add printer$' <(tr -d '\r' <"$wiz_log"))" -eq "$installs" ] &&
        cmp -s <(log_talk "$wiz_log") <(log_talk "$set_log"); then
        ok "$ver: Instalix.log holds the wizard's $installs installations, with instalix-setup's steps and messages"
    else
        bad "$ver: Instalix.log holds the wizard's $installs installations, with instalix-setup's steps and messages"
        echo "wizard's log: ${wiz_log:-none}; instalix-setup's: ${set_log:-none}"
        [ -n "$wiz_log" ] && [ -n "$set_log" ] && diff <(log_talk "$wiz_log") <(log_talk "$set_log") | head -10
    fi

    # Runs that end without installing anything.  Each must leave the
    # prefix as it was; the USB printers keep their identities.
    refusal() {
        local name="$1" state="$2" what="$3"
        wizard "$name" "$state"
        check "$ver $name: $what" test $? -eq 0
        check "$ver $name: the USB printers keep their identities" cmp -s <(printf '%b' "$state") "$out/usb.state"
    }
    # Cancel on the port page, after the list was built and the printer probed.
    refusal cancel-port 'printer=0\n' "Cancel on the port page ends the wizard" <<EOF
$(open cancel-port)
$(printer_page 1)
$(mode_page Typical)
$(os_page)
shot page4
click 2
wait-exit 30
EOF
    if [ "$ver" = winxp ]; then
        refusal cancel-agreement 'printer=0\n' "the About box opens and closes; Cancel on the agreement page ends the wizard" <<EOF
$(open cancel-agreement)
click 1057
sysmenu 0x10
wait-window "关于 Instalix" 10
shot about
click 1
wait-window 安装打印机驱动程序 10
expect-checked 1057 1
click 2
wait-exit 30
EOF
        refusal cancel-printer 'printer=0\n' "Cancel on the printer page ends the wizard" <<EOF
$(open cancel-printer)
$(printer_page 1 | sed '$d')
click 2
wait-exit 30
EOF
        refusal close-mode 'printer=0\n' "the close box on the mode page ends the wizard" <<EOF
$(open close-mode)
$(printer_page 1)
click 1067
close
wait-exit 30
EOF
        refusal cancel-system 'printer=0\n' "Escape on the target-system page ends the wizard" <<EOF
$(open cancel-system)
$(printer_page 1)
$(mode_page Advanced)
key 1029 ESCAPE
wait-exit 30
EOF
        refusal no-models 'printer=0\n' "a package without devices offers no model and no Next" <<EOF
$(open no-models empty)
click 1057
click 1
expect-enabled 1 0
expect-enabled 1002 1
expect-enabled 1019 0
expect-enabled 1020 0
expect-enabled 1021 0
expect-enabled 1073 0
expect-enabled 1030 0
expect-enabled 1074 0
expect-checked 1019 0
shot page1
click 1002
expect-enabled 1 1
click 2
wait-exit 30
EOF
        refusal no-advanced 'printer=0\n' "a model without AdvancedSetup turns the mode page back to typical" <<EOF
$(open no-advanced odd)
$(printer_page 0)
click 1067
expect-checked 1067 1
click 1002
click 1020
expect-selected 1031 MTR-T2
expect-enabled 1031 1
expect-enabled 1030 0
click 1
expect-enabled 1067 0
expect-checked 1066 1
expect-checked 1067 0
expect-text 1068 典型安装：安装默认的打印机驱动程序
expect-visible 1069 0
expect-visible 1070 0
shot page2
click 1
click 1
expect-visible 1052 0
click 2
wait-exit 30
EOF
        refusal identity-no 'printer=0\n' "No to the identity question keeps the wizard on the port page" <<EOF
$(open identity-no)
$(printer_page 0)
$(mode_page Advanced)
$(os_page)
select 1049 USB_MTR-Q5_3
shot page4
click 1
answer 程序将改变当前USB设备的名称 No 90
expect-no-box
expect-visible 1049 1
expect-selected 1049 USB_MTR-Q5_3
expect-text 1 完成（&F）
shot page4-after-no
click 2
wait-exit 30
EOF
        refusal usb-none '' "USB without a printer: the port list falls back, Finish asks to connect one" <<EOF
$(open usb-none)
$(printer_page 0)
$(mode_page Advanced)
$(os_page)
expect-no-box
expect-list 1049 $(port_list 4)
expect-selected 1049 KRCOM1:
expect-enabled 1041 1
expect-visible 1065 0
select 1049 USB_MTR-Q5_1
expect-visible 1065 1
shot page4
click 1
answer 需要联机安装该驱动程序，请先连接USB接口打印机 OK 90
expect-visible 1049 1
click 2
wait-exit 30
EOF
    fi
    if [ "$ver" = win2k ]; then
        refusal usb-two 'printer=0\nprinter=1\n' "USB with two printers: asked to connect only one, then to rename" <<EOF
$(open usb-two)
$(printer_page 0)
$(mode_page Typical)
$(os_page | sed '$d' | sed '$d')
click 1
answer 安装过程中，请仅连接一台打印机 OK 30
expect-text 1 完成（&F）
expect-selected 1049 USB_MTR-Q5_1
shot page4
click 1
answer 安装过程中，请仅连接一台打印机 OK 90
answer 程序将改变当前USB设备的名称 No 90
expect-visible 1049 1
click 2
wait-exit 30
EOF
    fi
    if [ "$ver" = win2003 ]; then
        refusal no-2003 'printer=0\n' "a model Server 2003 does not support stops on the target-system page" <<EOF
$(open no-2003)
$(printer_page 0 | sed '$d' | sed '$d')
select 1030 MTR-R80
shot page1
click 1
click 1
expect-checked 1075 1
click 1
answer "此种打印机不支持WINDOWS SEVER 2003系统" OK 30
expect-visible 1075 1
expect-checked 1075 1
expect-text 1 下一步（&N）>>
expect-enabled 1002 1
shot page3-after-145
click 1002
expect-visible 1066 1
click 2
wait-exit 30
EOF
        refusal no-2003-key 'printer=0\n' "a model without System2003Supported stops there too" <<EOF
$(open no-2003-key odd)
$(printer_page 0 | sed '$d' | sed '$d')
click 1020
click 1
click 1
click 1
answer "此种打印机不支持WINDOWS SEVER 2003系统" OK 30
expect-visible 1075 1
click 2
wait-exit 30
EOF
    fi
    flush "$wiz_root/$ver"
    wiz_state >"$out/$ver.after"
    if cmp -s "$out/$ver.state" "$out/$ver.after"; then
        ok "$ver: the runs that installed nothing left the prefix as it was"
    else
        bad "$ver: the runs that installed nothing left the prefix as it was"
        diff "$out/$ver.state" "$out/$ver.after" | head -10
    fi
    # The prefixes take much room: a version's are kept only when it failed.
    rm -rf "${set_root:?}/$ver"
    [ "$failed" -eq "$failed_before" ] && rm -rf "${wiz_root:?}/$ver"
done

echo "passed=$passed failed=$failed" >"$result"
[ $failed -eq 0 ]
