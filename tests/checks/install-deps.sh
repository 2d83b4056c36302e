#!/usr/bin/env bash
# Tests of scripts/install-deps's decisions, on a machine of stand-ins:
# apt-get, dpkg, dpkg-query, locale and sudo on PATH keep their state in
# files here, and the kernel probe answers as told.  Nothing of the real
# machine is read or changed.
#
#   install-deps.sh        exits 0 when every case passes
set -uo pipefail
here="$(cd "$(dirname "$0")" && pwd)"
script="$here/../../scripts/install-deps"
work="$(mktemp -d)"
trap 'rm -rf "$work"' EXIT
. "$here/../lib/verdicts.sh"

bin="$work/bin"
mkdir -p "$bin"
# State: installed (one package a line), arches (foreign architectures),
# calls (every apt-get and dpkg call), update-fails (how many more updates
# fail), refuse (packages apt-get will not install).
cat >"$bin/dpkg-query" <<'EOF'
#!/bin/bash
# dpkg-query -W -f='${Status}' PKG
pkg="${!#}"
grep -qx "$pkg" "$STATE/installed" || exit 1
printf 'install ok installed'
EOF
cat >"$bin/dpkg" <<'EOF'
#!/bin/bash
echo "dpkg $*" >>"$STATE/calls"
case "$1" in
    --print-foreign-architectures) cat "$STATE/arches" ;;
    --add-architecture) echo "$2" >>"$STATE/arches" ;;
    *) exit 2 ;;
esac
EOF
cat >"$bin/apt-get" <<'EOF'
#!/bin/bash
echo "apt-get $*" >>"$STATE/calls"
case "$1" in
    update)
        n=$(cat "$STATE/update-fails")
        if [ "$n" -gt 0 ]; then
            echo $((n - 1)) >"$STATE/update-fails"
            echo "E: Some index files failed to download." >&2
            exit 100
        fi ;;
    install)
        pkgs=()
        for a in "$@"; do case "$a" in install|-*) ;; *) pkgs+=("$a") ;; esac; done
        for p in "${pkgs[@]}"; do
            if grep -qx "$p" "$STATE/refuse"; then
                echo "E: Unable to correct problems, you have held broken packages." >&2
                exit 100
            fi
            case "$p" in *:i386) grep -qx i386 "$STATE/arches" || exit 100 ;; esac
        done
        printf '%s\n' "${pkgs[@]}" >>"$STATE/installed" ;;
    *) exit 2 ;;
esac
EOF
cat >"$bin/locale" <<'EOF'
#!/bin/sh
printf 'C\nC.utf8\nen_US.utf8\nzh_CN.utf8\n'
EOF
cat >"$bin/sudo" <<'EOF'
#!/bin/sh
exec "$@"
EOF
cat >"$bin/probe-yes" <<'EOF'
#!/bin/sh
exit 0
EOF
cat >"$bin/probe-no" <<'EOF'
#!/bin/sh
exit 1
EOF
chmod +x "$bin"/*

all_amd64=$(sed -n '/^PKGS_AMD64="/,/"$/p' "$script" | tr -d '"' | sed 's/^PKGS_AMD64=//')

# machine NAME: a fresh state folder; the arguments set it up.
#   --installed "P..."  --i386  --update-fails N  --refuse "P..."
machine() {
    export STATE="$work/$1"; shift
    mkdir -p "$STATE"
    : >"$STATE/installed"; : >"$STATE/arches"; : >"$STATE/calls"; : >"$STATE/refuse"
    echo 0 >"$STATE/update-fails"
    while [ $# -gt 0 ]; do
        case "$1" in
            --installed) printf '%s\n' $2 >>"$STATE/installed"; shift ;;
            --i386) echo i386 >"$STATE/arches" ;;
            --update-fails) echo "$2" >"$STATE/update-fails"; shift ;;
            --refuse) printf '%s\n' $2 >>"$STATE/refuse"; shift ;;
        esac
        shift
    done
}
# run PROBE: install-deps on the current machine; sets out and rc.
run() {
    out="$(PATH="$bin:$PATH" INSTALIX_I386_PROBE="$bin/probe-$1" INSTALIX_APT_PAUSE=0 \
        INSTALIX_APT_TRIES=3 bash "$script" 2>&1)"
    rc=$?
}
calls() { grep -c "^apt-get $1" "$STATE/calls"; }
has() { grep -qx "$1" "$STATE/installed"; }
show() { printf '%s\n' "$out" | sed 's/^/    | /'; }

# Everything there already: no package manager call at all.
machine present --installed "$all_amd64 wine32:i386" --i386
run yes
if [ $rc -eq 0 ] && ! grep -q apt-get "$STATE/calls" && grep -q 'install-deps: ok' <<<"$out"; then
    ok "everything present: nothing is updated or installed"
else bad "everything present: nothing is updated or installed"; show; fi

# A fresh machine whose kernel runs 32-bit programs: i386 is added and
# wine32 installed after the amd64 packages.
machine fresh32
run yes
if [ $rc -eq 0 ] && has cmake && has wine64 && has wine32:i386 && grep -qx i386 "$STATE/arches"; then
    ok "fresh machine with 32-bit support: amd64 packages, the i386 architecture and wine32"
else bad "fresh machine with 32-bit support: amd64 packages, the i386 architecture and wine32"; show; fi

# apt-get update fails every time, the packages still install: not fatal,
# and it was tried the set number of times.
machine update-fails --update-fails 99
run no
if [ $rc -eq 0 ] && has cmake && [ "$(calls update)" -eq 3 ] \
    && grep -q 'apt-get update still fails' <<<"$out"; then
    ok "update fails three times but the packages install: ends well"
else bad "update fails three times but the packages install: ends well"; show; fi

# A failure that a second try mends is one line, no more.
machine update-once --update-fails 1
run no
if [ $rc -eq 0 ] && [ "$(calls update)" -eq 2 ] && ! grep -q 'still fails' <<<"$out"; then
    ok "update that fails once is tried again"
else bad "update that fails once is tried again"; show; fi

# wine32:i386 refused (its i386 index unreadable): named, the run goes on
# with one line about the 64-bit twin.
machine wine32-refused --update-fails 99 --refuse "wine32:i386"
run yes
if [ $rc -eq 0 ] && has cmake && has wine && ! has wine32:i386 \
    && grep -q 'cannot install wine32:i386: the Wine tiers run the 64-bit twin' <<<"$out" \
    && grep -q 'install-deps: ok' <<<"$out"; then
    ok "wine32:i386 refused: named, and the amd64 packages are installed"
else bad "wine32:i386 refused: named, and the amd64 packages are installed"; show; fi

# Any other package refused: exit status 1, naming it and only it.
machine other-refused --refuse "xorriso"
run yes
if [ $rc -eq 1 ] && grep -q 'cannot install xorriso$' <<<"$out" && has cmake && ! has xorriso; then
    ok "another package refused: status 1, named"
else bad "another package refused: status 1, named"; show; fi

# A kernel without 32-bit support: no i386 architecture, no wine32, a line
# that says so.
machine no-ia32
run no
if [ $rc -eq 0 ] && has wine64 && ! has wine32:i386 && [ ! -s "$STATE/arches" ] \
    && ! grep -q -- '--add-architecture' "$STATE/calls" && ! grep -q 'wine32' "$STATE/calls" \
    && grep -q 'cannot run 32-bit programs' <<<"$out"; then
    ok "kernel without 32-bit support: no i386 architecture and no wine32"
else bad "kernel without 32-bit support: no i386 architecture and no wine32"; show; fi

# Only wine32 missing where the amd64 packages are there: i386 added,
# one update, wine32 asked for alone.
machine only-wine32 --installed "$all_amd64"
run yes
if [ $rc -eq 0 ] && has wine32:i386 && [ "$(calls update)" -eq 1 ] \
    && grep -q '^apt-get install .*wine32:i386$' "$STATE/calls" \
    && [ "$(grep -c '^apt-get install' "$STATE/calls")" -eq 1 ]; then
    ok "only wine32 missing: the i386 architecture, one update, one install"
else bad "only wine32 missing: the i386 architecture, one update, one install"; show; fi

# The built-in probe: its verdict on this kernel agrees with the kernel's
# own word where the kernel gives it.
probe_verdict() {
    (unset INSTALIX_I386_PROBE; source <(sed -n '/^kernel_runs_i386()/,/^}/p' "$script"); kernel_runs_i386)
}
kmsg="$(dmesg 2>/dev/null | grep -i 'IA-32 emulation\|32-bit emulation' || true)"
abi="$(cat /proc/sys/abi/ia32_emulation 2>/dev/null || true)"
if [ -n "$abi" ] || [ -n "$kmsg" ]; then
    if probe_verdict; then verdict=yes; else verdict=no; fi
    kernel=yes
    if [ "$abi" = 0 ] || grep -qi 'emulation disabled\|emulation off' <<<"$kmsg"; then
        kernel=no
    fi
    check "the i386 probe says '$verdict', as the kernel does ('$kernel')" test "$verdict" = "$kernel"
else
    probe_verdict >/dev/null
    echo "[ -- ] the kernel does not say whether it runs 32-bit programs; the probe was run only"
fi

echo "passed=$passed failed=$failed"
[ "$failed" -eq 0 ]
