#!/bin/bash
# check-files.sh - consistency check of the KORVALE driver package.
#
# Usage: check-files.sh [package-folder]     (default: the folder of this script)
#
# Checks the DRVCONFIG files (CRLF, ASCII, decimal numbers, length limits, the
# sections every listed model needs) and that every file they name exists, with
# the same letter case, in the folder of its Windows family:
#   .98 sections and COMMON-MONITOR.98              -> win98/
#   .NT/.2K/.XP sections and COMMON-MONITOR.NT/2K/XP -> winnt/
#   .2003 sections and COMMON-MONITOR.2003          -> win2003/
# A file-name value beginning with "0" means "no file" and is not looked up.
# Prints every problem found and exits with status 1 if there was any.

set -u
PKG=${1:-$(dirname "$0")}
cd "$PKG" || { echo "check-files: cannot enter $PKG" >&2; exit 2; }

CFG=DRVCONFIG
MAIN=setup.ini
CLASSFILES="setup_receipt.ini setup_ticket.ini setup_lable.ini setup_embedded.ini"
SUPPORT_98="ICONLIB.DLL UNIDRV.DLL"
SUPPORT_NT="UNIRES.DLL STDNAMES.GPD TTFSUB.GPD"
US=$'\x1f'

problems=0
fail() { echo "check-files: $*" >&2; problems=$((problems + 1)); }

declare -A VAL      # "file|section|key" (section and key lower case) -> value
declare -A SECTION  # "file|section" -> 1
declare -A USED     # "folder/name" -> 1, every file the configuration names
refs=0

# ---------------------------------------------------------------- file format
for f in $MAIN $CLASSFILES; do
    p=$CFG/$f
    if [ ! -f "$p" ]; then fail "missing $p"; continue; fi
    n=$(awk '!/\r$/ { c++ } END { print c + 0 }' "$p")
    [ "$n" -eq 0 ] || fail "$p: $n line(s) not ending in CRLF"
    [ -z "$(tail -c 1 "$p" | tr -d '\n')" ] || fail "$p: last line has no line end"
    bad=$(grep -v '^;' "$p" | LC_ALL=C grep -c '[^[:print:][:space:]]')
    [ "$bad" -eq 0 ] || fail "$p: $bad non-ASCII key/section line(s)"
done

# ------------------------------------------------------------- read the INIs
# awk prints: file US section US key US value US line-number US flag
dump() {
    awk -v us="$US" -v file="$1" '
    function trim(s) { sub(/^[ \t]+/, "", s); sub(/[ \t]+$/, "", s); return s }
    { sub(/\r$/, "") }
    /^[ \t]*;/ || /^[ \t]*$/ { next }
    /^[ \t]*\[/ {
        s = $0; sub(/^[ \t]*\[/, "", s)
        if (index(s, "]") == 0) { print file us "" us "" us $0 us FNR us "BADSEC"; next }
        sub(/\].*$/, "", s); sec = trim(s)
        print file us sec us "" us "" us FNR us "SEC"; next
    }
    {
        i = index($0, "=")
        if (i == 0) { print file us sec us "" us $0 us FNR us "NOEQ"; next }
        print file us sec us trim(substr($0, 1, i - 1)) us trim(substr($0, i + 1)) us FNR us "KEY"
    }' "$CFG/$1"
}

folder_of() {   # section name (lower case) -> FOLDER, empty if none
    case "$1" in
        *.98)               FOLDER=win98 ;;
        *.nt|*.2k|*.xp)     FOLDER=winnt ;;
        *.2003)             FOLDER=win2003 ;;
        *)                  FOLDER="" ;;
    esac
}

is_int() { [[ $1 =~ ^-?[0-9]+$ ]]; }

INTKEYS=" devicenumber defaultname driverversion comonitorversion usbmonitorversion
 prncount advancedsetup system2003supported baudrate usbsupported lptdefault
 attributes priority defaultpriority starttime untiltime status cjobs averageppm
 dmdriverextra orientation papersize paperlength paperwidth scale copies
 defaultsource printquality color duplex yresolution ttoption collate icmmethod
 icmintent mediatype dithertype fields std2kddkdev gdi2kddkdev "
WORD16=" dmdriverextra orientation papersize paperlength paperwidth scale copies
 defaultsource printquality color duplex yresolution ttoption collate "
FILEKEY_RE='(driverpath|datafile|configfile|helpfile|monitordllname|processordllname|datafiledllname|dataoemuidll|dataoemunidll|dataoemuniini|pdllname|puidllname)$'
TEXT49_RE='(monitorname|printprocessor|drivername|pname|servername|comment|location|sepfile|datatype|parameters|securitydescriptor)$'

for f in $MAIN $CLASSFILES; do
    [ -f "$CFG/$f" ] || continue
    while IFS=$US read -r file sec key val line flag; do
        where="$CFG/$file:$line"
        lsec=${sec,,}
        lkey=${key,,}
        case $flag in
            BADSEC) fail "$where: broken section header"; continue ;;
            NOEQ)   fail "$where: line is neither section, key nor comment"; continue ;;
            SEC)
                [ -z "${SECTION[$file|$lsec]:-}" ] || fail "$where: section [$sec] appears twice"
                SECTION[$file|$lsec]=1
                continue ;;
        esac
        [ -n "$sec" ] || { fail "$where: key $key outside any section"; continue; }
        [ -z "${VAL[$file|$lsec|$lkey]+x}" ] || fail "$where: key $key appears twice in [$sec]"
        VAL[$file|$lsec|$lkey]=$val

        # numbers are decimal (hex notation reads as 0)
        if [[ $INTKEYS == *" $lkey "* ]]; then
            if ! is_int "$val"; then
                fail "$where: $key=$val is not a decimal integer"
            elif [[ $WORD16 == *" $lkey "* ]] && { [ "$val" -gt 65535 ] || [ "$val" -lt -32768 ]; }; then
                fail "$where: $key=$val does not fit 16 bits"
            fi
        fi

        # file names
        if [[ $lkey =~ $FILEKEY_RE ]]; then
            folder_of "$lsec"; folder=$FOLDER
            if [ -z "$folder" ]; then
                fail "$where: file key $key in [$sec], which belongs to no Windows family"
            elif [ -z "$val" ]; then
                fail "$where: $key is empty (write 0 for no file)"
            elif [ "${val:0:1}" != 0 ]; then
                refs=$((refs + 1))
                if [[ $val == */* || $val == *\\* || $val == *:* ]]; then
                    fail "$where: $key=$val is not a bare file name"
                elif [ ! -f "$folder/$val" ]; then
                    fail "$where: $key=$val but $folder/$val is missing"
                fi
                USED[$folder/$val]=1
                if [[ $lkey == *puidllname ]] && [ ${#val} -gt 49 ]; then
                    fail "$where: $key longer than 49 characters"
                elif [ ${#val} -gt 199 ]; then
                    fail "$where: $key longer than 199 characters"
                fi
            fi
        fi

        # length limits of the reading buffers
        if [[ $lkey =~ $TEXT49_RE ]] && [ ${#val} -gt 49 ]; then
            fail "$where: $key=\"$val\" longer than 49 characters"
        fi
        if [ "$lkey" = formname ] && [ ${#val} -gt 19 ]; then
            fail "$where: FORMNAME=\"$val\" longer than 19 characters"
        fi
        if [ "$lsec" = devicename ] && [[ $lkey =~ ^devicename[0-9]+$ ]] && [ ${#val} -gt 199 ]; then
            fail "$where: $key longer than 199 characters"
        fi
        if [ "$lsec" = supported-usb-device ] && [[ $lkey =~ ^[0-9]+$ ]]; then
            [ ${#val} -le 29 ] || fail "$where: USB port name $val longer than 29 characters"
            [[ $val =~ ^USB_.+_[0-9]$ ]] || fail "$where: $val is not of the form USB_<model>_<n>"
        fi
    done < <(dump "$f")
done

get() { echo "${VAL[$1|${2,,}|${3,,}]:-0}"; }   # missing reads as "0", like the setup program

# ------------------------------------------------------------ main file
for fam in 98 NT 2K XP 2003; do
    s=COMMON-MONITOR.$fam
    [ -n "${SECTION[$MAIN|${s,,}]:-}" ] || { fail "$MAIN: section [$s] missing"; continue; }
    for k in COMMONitorPName COMMONitorPDLLName COMMONitorPUIDLLName COMMONitorVersion \
             USBMONitorPName USBMONitorPDLLName USBMONitorPUIDLLName USBMONitorVersion; do
        [ -n "${VAL[$MAIN|${s,,}|${k,,}]+x}" ] || fail "$MAIN: [$s] has no $k"
    done
done
is_int "$(get $MAIN Version DriverVersion)" || fail "$MAIN: [Version] DriverVersion missing"

declare -A USBLISTED
m=$(get $MAIN SUPPORTED-USB-DEVICE PRNCOUNT)
if is_int "$m"; then
    for ((i = 0; i < m; i++)); do
        v=${VAL[$MAIN|supported-usb-device|$i]:-}
        if [ -z "$v" ]; then fail "$MAIN: [SUPPORTED-USB-DEVICE] has no key $i (PRNCOUNT=$m)"; continue; fi
        [ -z "${USBLISTED[$v]:-}" ] || fail "$MAIN: USB port $v listed twice"
        USBLISTED[$v]=1
    done
    [ -z "${VAL[$MAIN|supported-usb-device|$m]+x}" ] || fail "$MAIN: key $m lies beyond PRNCOUNT=$m"
fi

# ------------------------------------------------------------ listed models
n=$(get $MAIN DEVICENAME DEVICENUMBER)
is_int "$n" && [ "$n" -gt 0 ] || { fail "$MAIN: DEVICENUMBER missing or 0"; n=0; }
d=$(get $MAIN DEVICENAME DEFAULTNAME)
if ! is_int "$d" || [ "$d" -lt 1 ] || [ "$d" -gt "$n" ]; then
    fail "$MAIN: DEFAULTNAME=$d is not an index from 1 to $n"
fi
c30=0
declare -A SEEN
for ((i = 1; i <= n; i++)); do
    dev=${VAL[$MAIN|devicename|devicename$i]:-}
    case $dev in
        *-ReceiptPrinter*)  cf=setup_receipt.ini;  model=${dev%%-ReceiptPrinter*} ;;
        *-TicketPrinter*)   cf=setup_ticket.ini;   model=${dev%%-TicketPrinter*} ;;
        *-LabelPrinter*)    cf=setup_lable.ini;    model=${dev%%-LabelPrinter*} ;;
        *-EmbeddedPrinter*) cf=setup_embedded.ini; model=${dev%%-EmbeddedPrinter*} ;;
        *) fail "$MAIN: DEVICENAME$i=\"$dev\" has no printer class suffix"; continue ;;
    esac
    [ -z "${SEEN[$model]:-}" ] || fail "$MAIN: model $model listed twice"
    SEEN[$model]=1
    case $model in *MTR-C30*|*MTR-C40*) c30=1 ;; esac
    lm=${model,,}

    port=$lm.port
    if [ -z "${SECTION[$cf|$port]:-}" ]; then fail "$cf: [$model.PORT] missing"; continue; fi
    for k in AdvancedSetup System2003Supported BaudRate USBSUPPORTED LPTDEFAULT; do
        [ -n "${VAL[$cf|$port|${k,,}]+x}" ] || fail "$cf: [$model.PORT] has no $k"
    done
    case " $(get $cf "$model.PORT" BaudRate) " in
        " 110 "|" 300 "|" 1200 "|" 2400 "|" 4800 "|" 9600 "|" 19200 "|" 38400 "|" 57600 "|" 115200 ") ;;
        *) fail "$cf: [$model.PORT] BaudRate=$(get $cf "$model.PORT" BaudRate) is not an offered speed" ;;
    esac
    if [ "$(get $cf "$model.PORT" USBSUPPORTED)" != 0 ] && [ -z "${USBLISTED[USB_${model}_1]:-}" ]; then
        fail "$MAIN: USB model $model has no USB_${model}_1 in [SUPPORTED-USB-DEVICE]"
    fi

    fams="98 NT 2K XP"
    [ "$(get $cf "$model.PORT" System2003Supported)" = 0 ] || fams="$fams 2003"
    for fam in $fams; do
        s=$lm.${fam,,}
        if [ -z "${SECTION[$cf|$s]:-}" ]; then fail "$cf: [$model.$fam] missing"; continue; fi
        for x in STD GDI; do
            for k in DriverPath DataFile ConfigFile HelpFile; do
                v=$(get $cf "$model.$fam" "$x$k")
                [ "${v:0:1}" != 0 ] || fail "$cf: [$model.$fam] $x$k names no file"
            done
            for k in MonitorName MonitorDLLName ProcessorDLLName PrintProcessor DataFileDLLName \
                     DataOemuiDLL DataOemuniDLL DataOemuniini; do
                [ -n "${VAL[$cf|$s|${x,,}${k,,}]+x}" ] || fail "$cf: [$model.$fam] has no $x$k"
            done
            pp=$(get $cf "$model.$fam" "${x}PrintProcessor")
            pd=$(get $cf "$model.$fam" "${x}ProcessorDLLName")
            if [ "$pp" != WinPrint ] && [ "${pd:0:1}" = 0 ]; then
                fail "$cf: [$model.$fam] print processor $pp without ${x}ProcessorDLLName"
            fi
            ddk=$(get $cf "$model.$fam" "${x}2KDDKDEV")
            if [ "${ddk:0:1}" = 1 ]; then
                v=$(get $cf "$model.$fam" "${x}DataFileDLLName")
                [ "${v:0:1}" != 0 ] || fail "$cf: [$model.$fam] ${x}2KDDKDEV=1 needs ${x}DataFileDLLName"
            fi
        done
    done
    for s in PRINTERINFO98 PRINTERINFONT PRINTERINFO2K PRINTERINFO2003; do
        if [ -z "${SECTION[$cf|$lm.${s,,}]:-}" ]; then fail "$cf: [$model.$s] missing"; continue; fi
        for k in SERVERNAME STDDRIVERNAME GDIDRIVERNAME COMMENT LOCATION SEPFILE DATATYPE \
                 PARAMETERS SECURITYDESCRIPTOR ATTRIBUTES PRIORITY DEFAULTPRIORITY STARTTIME \
                 UNTILTIME STATUS CJOBS AVERAGEPPM; do
            [ -n "${VAL[$cf|$lm.${s,,}|${k,,}]+x}" ] || fail "$cf: [$model.$s] has no $k"
        done
    done
    for s in DEVMODE98 DEVMODENT DEVMODE2K DEVMODE2003; do
        if [ -z "${SECTION[$cf|$lm.${s,,}]:-}" ]; then fail "$cf: [$model.$s] missing"; continue; fi
        for k in DRIVERVERSION DMDRIVEREXTRA ORIENTATION PAPERSIZE PAPERLENGTH PAPERWIDTH SCALE \
                 COPIES DEFAULTSOURCE PRINTQUALITY COLOR DUPLEX YRESOLUTION TTOPTION COLLATE \
                 FORMNAME ICMMETHOD ICMINTENT MEDIATYPE DITHERTYPE FIELDS; do
            [ -n "${VAL[$cf|$lm.${s,,}|${k,,}]+x}" ] || fail "$cf: [$model.$s] has no $k"
        done
    done
done

# ------------------------------------------------------------ support files
for f in $SUPPORT_98; do USED[win98/$f]=1; [ -f "win98/$f" ] || fail "win98/$f missing"; done
for d in winnt win2003; do
    for f in $SUPPORT_NT; do USED[$d/$f]=1; [ -f "$d/$f" ] || fail "$d/$f missing"; done
done
if [ $c30 = 1 ]; then
    USED[win98/DMCOLOR.DLL]=1
    [ -f win98/DMCOLOR.DLL ] || fail "win98/DMCOLOR.DLL missing (needed by MTR-C30/MTR-C40)"
fi

# files that nothing names
for d in win98 winnt win2003; do
    [ -d "$d" ] || { fail "folder $d missing"; continue; }
    for p in "$d"/*; do
        [ -e "$p" ] || continue
        [ -n "${USED[$p]:-}" ] || fail "$p is not named by the configuration"
    done
done

if [ $problems -ne 0 ]; then
    echo "check-files: $problems problem(s)" >&2
    exit 1
fi
echo "check-files: OK ($n models, $refs file references, ${#USED[@]} files)"
exit 0
