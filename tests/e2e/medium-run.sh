#!/usr/bin/env bash
# The installation medium, as a user gets it: scripts/make-medium lays it out
# and writes its ISO image; the image must hold exactly the folder's files
# under their Joliet names, with its volume label, and no test fixture.
# Then, in a Windows 98 and a Windows XP prefix, the folder is the prefix's
# CD-ROM drive D: (read-only files, as on a CD), the wizard is started as
# D:\instalix.exe with D:\ as its current directory and driven to Finish
# twice: the first run installs MTR-Q5 on LPT1:, the second one installs it
# again over the read-only copies of the first.  (Windows adds the second
# printer as "MTR-Q5(P)(1)"; Wine takes the taken name again, so the name is
# not checked.)  In the Windows XP prefix, F1 on the first page opens the
# manual from the medium, and a second F1 restores it.
#
#   medium-run.sh WIN_BUILD_DIR RESULT_FILE
#
# Writes "passed=N failed=N" into RESULT_FILE.
. "$(dirname "$0")/start.sh" "$@"
medium="$win_build/medium-test"
root="$win_build/e2e-medium"
shots="$win_build/e2e-shots/medium"
trap 'chmod -R u+w "$medium" 2>/dev/null; rm -rf "$out"' EXIT
finish_result() { echo "passed=$passed failed=$failed" >"$result"; }

[ -d "$medium" ] && chmod -R u+w "$medium"
rm -rf "$shots"; mkdir -p "$shots"
if ! "$top/scripts/make-medium" "$win_build" "$medium" >"$out/make.log" 2>&1; then
    cat "$out/make.log"
    bad "make-medium lays out the medium"
    finish_result; exit 1
fi
ok "make-medium lays out the medium and its image"

# The folder: the program, the two manuals, autorun, the readme and the package.
expected="DRVCONFIG Guide.CHM GuideEN.CHM README.TXT autorun.inf instalix.exe win2003 win98 winnt"
check "the medium's root holds the program, the manuals, autorun.inf, the readme and the package" \
    test "$(cd "$medium" && ls | LC_ALL=C sort | tr '\n' ' ')" = "$(echo $expected | tr ' ' '\n' | LC_ALL=C sort | tr '\n' ' ')"
check "autorun.inf starts instalix.exe with its icon" \
    grep -q $'^open=instalix.exe\r$' "$medium/autorun.inf"
check "the readme is code page 936 text with CRLF line ends" \
    bash -c 'iconv -f GBK -t UTF-8 "$1" | grep -q "安装向导" && ! grep -q $'"'"'[^\r]$'"'"' "$1"' _ "$medium/README.TXT"
check "the manuals on the medium are the build's, Chinese and English" \
    bash -c 'cmp -s "$1/Guide.CHM" "$2/Guide.CHM" && cmp -s "$1/GuideEN.CHM" "$2/GuideEN.CHM"' _ "$medium" "$win_build"
check "the readme names both manuals" \
    bash -c 'grep -q "GuideEN.CHM (English)" "$1" && grep -q "Guide.CHM" "$1"' _ "$medium/README.TXT"
check "no test fixture on the medium" \
    test -z "$(find "$medium" -iname 'KrUsbInt*' -o -iname 'pjlmon*')"

# The image: every file of the folder, by its Joliet name, and the label.
iso="$medium.iso"
xorriso -indev "$iso" -find / -type f 2>/dev/null | sed "s/^'\\(.*\\)'$/\\1/; s|^/||" | LC_ALL=C sort >"$out/iso.list"
(cd "$medium" && find . -type f | sed 's|^\./||' | LC_ALL=C sort) >"$out/dir.list"
check "the image holds the medium's $(wc -l <"$out/dir.list") files under their own names" \
    diff "$out/dir.list" "$out/iso.list"
check "the image's volume label is KORVALE_DRIVER" \
    bash -c 'xorriso -indev "$1" -pvd_info 2>/dev/null | grep -q "^Volume Id *: KORVALE_DRIVER$"' _ "$iso"
# The image's bytes of the program are the folder's.
xorriso -osirrox on -indev "$iso" -extract /instalix.exe "$out/instalix.exe" >/dev/null 2>&1
check "instalix.exe in the image is the folder's" cmp -s "$out/instalix.exe" "$medium/instalix.exe"

# A CD is read-only.
chmod -R a-w "$medium"

. "$here/prefix.sh"
for ver in win98 winxp; do
    echo "--- $ver"
    failed_before=$failed
    fresh_prefix "$root" "$ver"
    prefix="$root/$ver"
    system="$prefix/drive_c/windows/system32"
    printf 'printer=0\n' >"$system/KrUsbInt.state"
    # The medium as drive D:, a CD-ROM drive.
    rm -f "$prefix/dosdevices/d:" "$prefix/dosdevices/d::"
    ln -s "$medium" "$prefix/dosdevices/d:"
    INSTALIX_WINE_ROOT="$root" "$wine_run" --winver="$ver" reg add 'HKLM\Software\Wine\Drives' /v d: /d cdrom /f >/dev/null 2>&1
    WINEPREFIX="$prefix" wineserver -w

    for run in 1 2; do
        if [ "$ver" = win98 ]; then os_id=1026; last="answer 重新启动系统使设置生效 No 90"
        else os_id=1029; last="answer 打印机驱动安装成功 OK 90"; fi
        {
            echo "shotdir \"$shots/$ver\" \"run$run-\""
            echo 'start "D:\instalix.exe" "D:\\"'
            echo "wait-window 安装打印机驱动程序 30"
            echo "shot page0"
            if [ "$ver" = winxp ] && [ $run = 1 ]; then
                # F1 opens the manual on the medium; a second F1 brings the
                # minimised viewer back instead of opening another one.
                echo "key 1057 F1"
                echo "other-window 打印机驱动安装手册 open 30"
                echo "sleep 2"
                echo "shot-screen help"
                echo "other-window 打印机驱动安装手册 minimize"
                echo "key 1057 F1"
                echo "other-window 打印机驱动安装手册 restored 10"
                echo "other-window 打印机驱动安装手册 open 2"
                echo "other-window 打印机驱动安装手册 close 10"
            fi
            echo "click 1057"
            echo "click 1"
            echo "expect-selected 1030 MTR-Q5"
            echo "click 1"
            echo "click 1067"
            echo "click 1"
            echo "expect-checked $os_id 1"
            echo "click 1"
            echo "select 1049 LPT1:"
            echo "shot page4"
            echo "click 1"
            echo "$last"
            echo "wait-exit 30"
        } >"$out/$ver-$run.txt"
        KRUSBINT_STATE='C:\windows\system32\KrUsbInt.state' INSTALIX_WINE_ROOT="$root" \
            "$wine_run" --winver="$ver" "$driver" "$out/$ver-$run.txt" >"$out/$ver-$run.out" 2>&1
        rc=$?
        cp "$out/$ver-$run.out" "$shots/$ver-run$run.out" 2>/dev/null
        [ $rc -eq 0 ] || grep -E 'FAILED|^end:|^wizard-driver:' "$out/$ver-$run.out" | head -5
        check "$ver run $run: D:\\instalix.exe installs MTR-Q5 on LPT1: from the CD and ends with code 0" \
            bash -c '[ "$1" = 0 ] && grep ": wait-exit" "$2" | tail -1 | grep -q "exit code 0$"' _ "$rc" "$out/$ver-$run.out"
        if [ $run = 1 ]; then
            # Copies of a CD's files keep their read-only attribute: the
            # second run must replace them.
            check "$ver: the first run left read-only copies in the spooler's driver folder" \
                test -n "$(find "$system/spool/drivers" -type f ! -perm -u+w | head -1)"
        fi
    done
    WINEPREFIX="$prefix" wineserver -w
    "$here/print-state" "$prefix" >"$out/$ver.state"
    cp "$out/$ver.state" "$shots/$ver.state"
    check "$ver: the first printer is MTR-Q5(P) on LPT1:" grep -F -q 'Printers\MTR-Q5(P): "Port"="LPT1:"' "$out/$ver.state"
    # The driver file in the spooler's folder is the medium's.
    folder=winnt; [ "$ver" = win98 ] && folder=win98
    driver_file="$(sed -n 's/.*Printers\\MTR-Q5(P): "Printer Driver"="\(.*\)"/\1/p' "$out/$ver.state" | head -1)"
    dll="$(grep -F "\\$driver_file: \"Driver\"=" "$out/$ver.state" | head -1 | sed 's/.*"Driver"="\([^"]*\)".*/\1/')"
    src="$(find "$medium/$folder" -maxdepth 1 -iname "$dll" | head -1)"
    check "$ver: the driver ($driver_file, $dll) in the spooler's folder has the medium's bytes" \
        bash -c '[ -n "$1" ] && [ -f "$1" ] && grep -i -q " $(md5sum <"$1" | cut -c1-32)" "$2"' _ "$src" "$out/$ver.state"
    WINEPREFIX="$prefix" wineserver -k 2>/dev/null
    # A prefix takes much room: it is kept only when the version failed.
    [ "$failed" -eq "$failed_before" ] && rm -rf "${prefix:?}"
done
finish_result
