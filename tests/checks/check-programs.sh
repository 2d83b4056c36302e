#!/usr/bin/env bash
# Tests of scripts/check-i486 and scripts/check-tls on programs built here:
# a stock-runtime program (the runtime's own start-up holds a CMOV), small
# programs with and without later instructions, data in .text that reads as
# one, a copy of a shipped program with one CMOV put back into its code, and
# a program with a TLS callback of its own.
#
#   check-programs.sh [SHIPPED.exe]     exits 0 when every case passes
set -uo pipefail
here="$(cd "$(dirname "$0")" && pwd)"
check="$here/../../scripts/check-i486"
check_tls="$here/../../scripts/check-tls"
shipped="${1:-}"
work="$(mktemp -d)"
trap 'rm -rf "$work"' EXIT
. "$here/../lib/verdicts.sh"
cc=i686-w64-mingw32-gcc-win32
cxx=i686-w64-mingw32-g++-win32
command -v "$cc" >/dev/null || { echo "[FAIL] $cc is not installed"; echo "passed=0 failed=1"; exit 1; }

run() { out="$("$check" "$@" 2>&1)"; rc=$?; }
show() { printf '%s\n' "$out" | head -8 | sed 's/^/    | /'; }

cat >"$work/tiny.c" <<'EOF'
#include <windows.h>
#ifdef DATA_IN_TEXT
/* Exception-table bytes that read as CMOVE %eax,%eax: data, not code. */
__attribute__((section(".gcc_except_table"), used)) static const unsigned char table[] = {0x0f, 0x44, 0xc0, 0x0f, 0x44, 0xc0};
#endif
void start(void) {
#ifdef MMX
    __asm__ volatile("movd %%eax, %%mm0\n\temms" ::: "memory");
#endif
#ifdef FCOMI
    __asm__ volatile("fldz\n\tfldz\n\tfcomip %%st(1), %%st\n\tfstp %%st(0)" ::: "memory", "cc");
#endif
    ExitProcess(0);
}
EOF
tiny() {
    "$cc" -march=i486 -Os -D"$1" -nostdlib -Wl,-e,_start -Wl,-Map="$work/tiny-$1.exe.map" \
        "$work/tiny.c" -o "$work/tiny-$1.exe" -lkernel32
}

# The stock runtime, as the compiler ships it: its start-up code alone holds
# a CMOV, and the check names where it came from.
cat >"$work/stock.cpp" <<'EOF'
#include <cstdio>
#include <string>
int main(int argc, char** argv) {
    std::string s(argv[0]);
    std::printf("%s %g\n", s.c_str(), argc * 1.5);
    return static_cast<int>(s.size());
}
EOF
if "$cxx" -Os -static "$work/stock.cpp" -o "$work/stock.exe" -Wl,-Map="$work/stock.exe.map"; then
    run "$work/stock.exe"
    if [ $rc -eq 1 ] && grep -q 'CMOVcc' <<<"$out" && grep -q '(crt2\.o)' <<<"$out"; then
        ok "a program on the stock runtime fails, its start-up's CMOV named in crt2.o"
    else bad "a program on the stock runtime fails, its start-up's CMOV named in crt2.o"; show; fi
else bad "the stock-runtime program builds"; fi

for v in plain DATA_IN_TEXT MMX FCOMI; do tiny "$v" || bad "tiny program $v builds"; done
run "$work/tiny-plain.exe"
check "an i486 program without later instructions passes" test $rc -eq 0
# Data that a plain disassembly takes for a CMOV is told apart by the map.
run "$work/tiny-DATA_IN_TEXT.exe"
if [ $rc -eq 0 ] && i686-w64-mingw32-objdump -d "$work/tiny-DATA_IN_TEXT.exe" | grep -q cmov; then
    ok "exception-table bytes in .text that read as CMOV are not taken for code"
else bad "exception-table bytes in .text that read as CMOV are not taken for code"; show; fi
run "$work/tiny-MMX.exe"
if [ $rc -eq 1 ] && grep -q 'MMX/SSE register' <<<"$out" && grep -q 'in start' <<<"$out"; then
    ok "an MMX register fails, named with its function"
else bad "an MMX register fails, named with its function"; show; fi
run "$work/tiny-FCOMI.exe"
if [ $rc -eq 1 ] && grep -q 'fcomip' <<<"$out"; then ok "FCOMIP fails"; else bad "FCOMIP fails"; show; fi

# A program whose map is missing cannot be judged.
cp "$work/tiny-plain.exe" "$work/nomap.exe"
run "$work/nomap.exe"
check "a program without its linker map is refused (status 2)" test $rc -eq 2

# put_cmov IN OUT: OUT is IN with CMOVE %eax,%eax written over the first
# bytes of its first stretch of code; the map goes along.
put_cmov() {
    cp "$1" "$2" && cp "$1.map" "$2.map" || return 1
    python3 - "$2" <<'EOF'
import re, subprocess, sys
exe = sys.argv[1]
text = open(exe + ".map").read()
text = text[re.search(r"^\.text\s", text, re.M).start():]
start = int(re.search(r"^ \.text\S*\s+(0x[0-9a-f]+)\s+0x[0-9a-f]*[1-9a-f]", text, re.M).group(1), 16)
h = subprocess.run(["i686-w64-mingw32-objdump", "-h", exe], capture_output=True, text=True).stdout
vma, off = [int(x, 16) for x in re.search(r"\.text\s+\S+\s+(\S+)\s+\S+\s+(\S+)", h).groups()]
with open(exe, "r+b") as f:
    f.seek(start - vma + off)
    f.write(bytes([0x0f, 0x44, 0xc0]))
EOF
}
put_cmov "$work/tiny-plain.exe" "$work/tiny-cmov.exe"
run "$work/tiny-cmov.exe"
if [ $rc -eq 1 ] && grep -q 'cmove' <<<"$out"; then ok "a CMOV put into a clean program fails"; else bad "a CMOV put into a clean program fails"; show; fi

# TLS callbacks: the runtime's own two pass, one of the program's own fails.
out="$("$check_tls" "$work/stock.exe" 2>&1)"; rc=$?
if [ $rc -eq 0 ] && grep -q 'tlssup' <<<"$out"; then ok "the runtime's TLS callbacks pass"; else bad "the runtime's TLS callbacks pass"; show; fi
cat >"$work/tls.c" <<'EOF'
#include <windows.h>
static void NTAPI mine(PVOID h, DWORD r, PVOID p) { (void)h; (void)r; (void)p; }
__attribute__((section(".CRT$XLF"), used)) PIMAGE_TLS_CALLBACK mine_cb = mine;
int main(void) { return 0; }
EOF
if "$cc" "$work/tls.c" -o "$work/tls.exe" -Wl,-Map="$work/tls.exe.map"; then
    out="$("$check_tls" "$work/tls.exe" 2>&1)"; rc=$?
    if [ $rc -eq 1 ] && grep -q 'never calls' <<<"$out"; then ok "a TLS callback of the program's own fails"
    else bad "a TLS callback of the program's own fails"; show; fi
else bad "the TLS callback program builds"; fi

shipped_map="${shipped%.exe}.map"
[ -f "$shipped.map" ] && shipped_map="$shipped.map"
if [ -n "$shipped" ] && [ -f "$shipped_map" ]; then
    cp "$shipped_map" "$work/shipped.exe.map" && cp "$shipped" "$work/shipped.exe"
    put_cmov "$work/shipped.exe" "$work/shipped-cmov.exe"
    run "$work/shipped-cmov.exe"
    if [ $rc -eq 1 ] && grep -q '1 of [0-9]* instructions' <<<"$out"; then
        ok "a copy of $(basename "$shipped") with one CMOV put back fails on that one"
    else bad "a copy of $(basename "$shipped") with one CMOV put back fails on that one"; show; fi
fi

echo "passed=$passed failed=$failed"
[ "$failed" -eq 0 ]
