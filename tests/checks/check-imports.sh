#!/usr/bin/env bash
# Tests of scripts/check-imports, on import tables written here (a stand-in
# objdump prints them), and of scripts/imports.txt itself.
#
#   check-imports.sh        exits 0 when every case passes
set -uo pipefail
here="$(cd "$(dirname "$0")" && pwd)"
check="$here/../../scripts/check-imports"
real_list="$here/../../scripts/imports.txt"
work="$(mktemp -d)"
trap 'rm -rf "$work"' EXIT
. "$here/../lib/verdicts.sh"

# A stand-in for objdump -p: prints the import table kept beside the program.
cat >"$work/objdump" <<'EOF'
#!/bin/sh
[ "$1" = "-p" ] || exit 2
cat "$2.imports"
EOF
chmod +x "$work/objdump"
export OBJDUMP="$work/objdump"

# program NAME DLL:FUNCTION...  writes a program and its import table as
# objdump prints it; "DLL:#N" is an import by ordinal.
program() {
    local name="$1"; shift
    : >"$work/$name"
    {
        printf 'The Import Tables (interpreted .idata section contents)\n'
        local last="" entry dll fn
        for entry in "$@"; do
            dll="${entry%%:*}"; fn="${entry#*:}"
            if [ "$dll" != "$last" ]; then
                [ -n "$last" ] && printf '\n'
                printf '\tDLL Name: %s\n\tvma:  Hint/Ord Member-Name Bound-To\n' "$dll"
                last="$dll"
            fi
            case "$fn" in
                \#*) printf '\t4a460\t %5s  <none>\n' "${fn#\#}" ;;
                *) printf '\t4a460\t  136  %s\n' "$fn" ;;
            esac
        done
        printf '\n'
    } >"$work/$name.imports"
}

cat >"$work/list.txt" <<'EOF'
# a comment line
kernel32.dll GetLastError      # K
kernel32.dll CloseHandle       # K

user32.dll   MessageBoxA       # Q
msvcrt.dll   malloc            # R
EOF

run() { out="$("$check" --list "$work/list.txt" "$@" 2>&1)"; rc=$?; }

program clean.exe KERNEL32.dll:GetLastError KERNEL32.dll:CloseHandle USER32.dll:MessageBoxA msvcrt.dll:malloc
run "$work/clean.exe"
if [ $rc -eq 0 ] && grep -q 'clean.exe: 4 functions from 3 DLLs' <<<"$out" && ! grep -q '^!!' <<<"$out"; then
    ok "a program importing only listed functions passes (DLL names in any case)"
else bad "clean program: rc=$rc: $out"; fi

program newer.exe KERNEL32.dll:GetLastError KERNEL32.dll:GetTickCount64 USER32.dll:MessageBoxA
run "$work/newer.exe"
if [ $rc -ne 0 ] && grep -q '^!! newer.exe: imports kernel32.dll GetTickCount64, which is not on the list' <<<"$out" \
    && [ "$(grep -c '^!!' <<<"$out")" -eq 1 ]; then
    ok "a function not on the list fails, naming program, DLL and function"
else bad "unlisted function: rc=$rc: $out"; fi

program foreign.exe KERNEL32.dll:GetLastError libwinpthread-1.dll:pthread_mutex_lock libwinpthread-1.dll:pthread_create
run "$work/foreign.exe"
if [ $rc -ne 0 ] && grep -q '^!! foreign.exe: imports libwinpthread-1.dll, a DLL not on the list' <<<"$out" \
    && [ "$(grep -c '^!!' <<<"$out")" -eq 1 ] && grep -q '2 of 3 imports' <<<"$out"; then
    ok "a DLL not on the list fails once, naming program and DLL"
else bad "unlisted DLL: rc=$rc: $out"; fi

program byordinal.exe USER32.dll:MessageBoxA USER32.dll:#2005
run "$work/byordinal.exe"
if [ $rc -ne 0 ] && grep -q '^!! byordinal.exe: imports user32.dll by ordinal (2005)' <<<"$out"; then
    ok "an import by ordinal fails"
else bad "ordinal import: rc=$rc: $out"; fi

program wrongdll.exe USER32.dll:GetLastError
run "$work/wrongdll.exe"
if [ $rc -ne 0 ] && grep -q 'imports user32.dll GetLastError' <<<"$out"; then
    ok "a listed function counts only for its own DLL"
else bad "function from another DLL: rc=$rc: $out"; fi

run "$work/clean.exe" "$work/newer.exe" "$work/missing.exe"
if [ $rc -ne 0 ] && grep -q '^clean.exe: 4 functions' <<<"$out" && grep -q '^!! newer.exe' <<<"$out" \
    && grep -q '^!! missing.exe: no such program' <<<"$out"; then
    ok "several programs: each is reported, one failure fails the check"
else bad "several programs: rc=$rc: $out"; fi

printf 'kernel32.dll GetLastError # K\nkernel32.dll\n' >"$work/broken.txt"
out="$("$check" --list "$work/broken.txt" "$work/clean.exe" 2>&1)"; rc=$?
if [ $rc -ne 0 ] && grep -q 'broken.txt:2: expected "dll function"' <<<"$out"; then
    ok "a malformed list line fails the check"
else bad "malformed list: rc=$rc: $out"; fi

# The real list: well formed, each entry once, and none of the functions
# that one of the two families lacks.
if "$check" --list "$real_list" "$work/clean.exe" >/dev/null 2>&1; then
    ok "scripts/imports.txt is well formed"
else bad "scripts/imports.txt is malformed"; fi
entries="$(sed 's/#.*//' "$real_list" | awk 'NF == 2 { print tolower($1), $2 }')"
dups="$(sort <<<"$entries" | uniq -d)"
if [ -z "$dups" ]; then ok "scripts/imports.txt lists each function once"; else bad "listed twice: $dups"; fi
absent=""
for f in "kernel32.dll GetTickCount64" "kernel32.dll TryEnterCriticalSection" "kernel32.dll AddVectoredExceptionHandler" \
         "comctl32.dll InitCommonControlsEx" "winspool.drv SetDefaultPrinterA" "user32.dll SetWindowLongPtrA" \
         "user32.dll GetWindowLongPtrA" "msvcrt.dll _lock" "msvcrt.dll _unlock" "msvcrt.dll ___lc_codepage_func" \
         "msvcrt.dll __iob_func" "msvcrt.dll strnlen" "msvcrt.dll _vsnprintf_s"; do
    grep -qxF "$f" <<<"$entries" && absent="$absent $f;"
done
if [ -z "$absent" ]; then
    ok "scripts/imports.txt lists none of the functions missing on Windows 98 or NT 4.0"
else bad "listed though one family lacks it:$absent"; fi

# Only DLLs that every family's loader takes from the system may be
# imported; the rest are loaded by full path at run time.
others="$(awk '{ print $1 }' <<<"$entries" | sort -u | grep -vx 'kernel32.dll\|user32.dll\|gdi32.dll\|advapi32.dll\|msvcrt.dll')"
if [ -z "$others" ]; then
    ok "scripts/imports.txt lets the programs import only kernel32, user32, gdi32, advapi32 and msvcrt"
else bad "imported though the loader would look beside the program first: $(echo $others)"; fi

echo "passed=$passed failed=$failed"
[ $failed -eq 0 ]
