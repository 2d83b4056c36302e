#!/usr/bin/env bash
# The wizard on a Windows that is not Chinese: each Windows version's prefix
# made under en_US.UTF-8 (ANSI code page 1252), clicked through by the
# driver.  Every page, the About box and a refusal, then Finish on the
# parallel port; a run without the maker's USB library, whose box the
# program words in English on every system.  Every window's controls are
# read back (driver command texts) and held against the program's English
# resources (english-texts.py): no text may be code page 936 read as 1252.
#
#   wizard-english.sh WIN_BUILD_DIR RESULT_FILE
#
# Screenshots: WIN_BUILD_DIR/e2e-shots-en/.  Writes "passed=N failed=N"
# into RESULT_FILE.  INSTALIX_E2E_VERSIONS picks some of the versions.
. "$(dirname "$0")/start.sh" "$@"
root="$win_build/e2e-wine-en"
shots="$win_build/e2e-shots-en"
winpath() { local p="${1//\//\\}"; echo "Z:$p"; }
export INSTALIX_LOCALE=en_US.UTF-8

for f in "$win_build/instalix.exe" "$driver" "$win_build/pjlmon.dll" "$win_build/tests/KrUsbInt.dll"; do
    [ -f "$f" ] || { echo "wizard-english: $f is missing"; echo "passed=0 failed=1" >"$result"; exit 1; }
done
rm -rf "$shots"; mkdir -p "$shots"

# The medium: the sample package with instalix.exe at its root.
medium="$out/sample"
mkdir -p "$medium"
cp -r "$win_build/package/DRVCONFIG" "$medium/"
for folder in win98 winnt win2003; do cp -r "$win_build/package/$folder" "$medium/"; done
cp "$win_build/instalix.exe" "$medium/"

# The prefixes' base is booted in the English locale (a Chinese one keeps
# its code page), once per build tree.
prefix_base="$win_build/wine-en_US"
. "$here/prefix.sh"

# wizard NAME STATE: the driver script on standard input against the
# wizard; STATE is the USB stand-in's state.  Output in $out/$ver-NAME.out.
wizard() {
    local name="$1" state="$2" log="$out/$ver-$1"
    cat >"$log.txt"
    printf '%b' "$state" >"$out/usb.state"
    KRUSBINT_STATE="$(winpath "$out/usb.state")" INSTALIX_WINE_ROOT="$root" \
        "$wine_run" --winver="$ver" "$driver" "$log.txt" >"$log.out" 2>"$log.err"
    local rc=$?
    cp "$log.out" "$shots/$ver-$name.out"
    [ $rc -eq 0 ] || grep -E 'FAILED|^end:|^wizard-driver:' "$log.out" | head -5
    return $rc
}
# texts_match NAME: the run's texts are the English resources'.
texts_match() {
    python3 "$here/english-texts.py" "$win_build/instalix.exe" "$out/$ver-$1.out" >"$out/$ver-$1.texts"
    local rc=$?
    [ $rc -eq 0 ] || grep '^!!' "$out/$ver-$1.texts" | head -8
    return $rc
}

open() {
    echo "shotdir \"$shots/$ver\" \"$1-\""
    echo "start \"$medium/instalix.exe\" \"$medium\""
    echo "wait-window \"Install Printer Driver\" 30"
    echo "expect-text 1 \"&Next >\""
    echo "expect-text 1002 \"< &Back\""
    echo "expect-text 2 \"&Cancel\""
}
# The pages from the agreement to the port page, each read back and shot.
pages() {
    cat <<EOF
texts
shot page0
click 1057
click 1
expect-text 1019 "Receipt printer"
texts
shot page1
click 1
expect-text 1068 "Typical: installs the default printer driver"
texts
shot page2
click 1
texts
shot page3
click 1
expect-text 1 "&Finish"
EOF
}

for ver in ${INSTALIX_E2E_VERSIONS:-win98 nt40 win2k winxp win2003}; do
    echo "--- $ver"
    fresh_prefix "$root" "$ver"
    system="$root/$ver/drive_c/windows/system32"

    # Every page, then Finish on the parallel port.
    if [ "$ver" = win98 ]; then last='answer "Restart the system for the settings to take effect" No 90'
    else last='answer "The printer driver was installed" OK 90'; fi
    wizard finish 'printer=0\n' <<EOF
$(open finish)
$(pages)
select 1049 LPT1:
texts
shot page4
click 1
$last
wait-exit 30
EOF
    check "$ver: every page in English, Finish installs on LPT1:" test $? -eq 0
    check "$ver: every text of every page is the English resources'" texts_match finish
    check "$ver: the printer is installed on LPT1:" grep -q 'LPT1:' <("$here/print-state" "$root/$ver")

    # The About box, then a refusal: an advanced installation on USB without
    # a printer (NT 4 has no USB port: the refused agreement keeps Next
    # disabled there).
    if [ "$ver" = nt40 ]; then
        refusal='click 1058
expect-enabled 1 0
shot refused'
    else
        refusal="click 1057
click 1
click 1
click 1067
click 1
click 1
select 1049 USB_MTR-Q5_1
click 1
answer \"please connect the USB printer first\" OK 90
texts
shot refused"
    fi
    wizard about-refusal '' <<EOF
$(open about-refusal)
sysmenu 0x10
wait-window "About Instalix" 10
texts
shot about
click 1
wait-window "Install Printer Driver" 10
$refusal
click 2
wait-exit 30
EOF
    check "$ver: the About box and a refusal in English" test $? -eq 0
    check "$ver: the About box's and the refusal's texts are the English resources'" texts_match about-refusal

    # Without the maker's USB library: its box, on the way to the port page.
    if [ "$ver" != nt40 ]; then
        mv "$system/KrUsbInt.dll" "$system/KrUsbInt.dll.away"
        wizard usb-library 'printer=0\n' <<EOF
$(open usb-library)
click 1057
click 1
click 1
click 1
click 1
answer "Can not load KrUsbInt.dll" OK 90
texts
shot no-library
click 2
wait-exit 30
EOF
        check "$ver: the USB library's box without the library" test $? -eq 0
        check "$ver: the port page's texts after it are the English resources'" texts_match usb-library
        mv "$system/KrUsbInt.dll.away" "$system/KrUsbInt.dll"
    fi
done

echo "passed=$passed failed=$failed" >"$result"
echo "wizard-english: $passed passed, $failed failed"
