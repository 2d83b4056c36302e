#!/usr/bin/env bash
# Tests of scripts/build-runtime's decisions, on stand-ins: dpkg-query,
# apt-cache, apt-get and sudo on PATH keep their state in files here; the
# cache, apt's folder and gcc-12-source's tarball are folders here.  The
# build itself is not run: its first step fails on the stand-in tarball (or
# hangs, to be killed), which is what the failure and kill cases need.  The
# real build is checked by the product build and the i486 check.
#
#   build-runtime.sh        exits 0 when every case passes
set -uo pipefail
here="$(cd "$(dirname "$0")" && pwd)"
script="$here/../../scripts/build-runtime"
work="$(mktemp -d)"
trap 'rm -rf "$work"' EXIT
. "$here/../lib/verdicts.sh"

bin="$work/bin"
mkdir -p "$bin"
# State: versions ("package version" lines: installed packages), calls (every
# apt-get call), src-known (apt has the deb-src index), update-fails (how many
# more updates fail; an update that succeeds makes the source known), no-source
# (apt-get source fails).
cat >"$bin/dpkg-query" <<'STANDIN'
#!/bin/bash
# dpkg-query -W -f='${Version}' PKG  or  -f='${Status}' PKG
pkg="${!#}"
line="$(grep "^$pkg " "$STATE/versions")" || exit 1
case "$*" in
    *Status*) printf 'install ok installed' ;;
    *) printf '%s' "${line#* }" ;;
esac
STANDIN
cat >"$bin/apt-cache" <<'STANDIN'
#!/bin/bash
[ -f "$STATE/src-known" ] && printf 'Package: mingw-w64\nVersion: %s\n' "$(grep '^mingw-w64-i686-dev ' "$STATE/versions" | cut -d' ' -f2)"
exit 0
STANDIN
cat >"$bin/apt-get" <<'STANDIN'
#!/bin/bash
echo "apt-get $*" >>"$STATE/calls"
case "$*" in
    *update*)
        n=$(cat "$STATE/update-fails")
        if [ "$n" -gt 0 ]; then
            echo $((n - 1)) >"$STATE/update-fails"
            echo "E: Some index files failed to download." >&2
            exit 100
        fi
        touch "$STATE/src-known" ;;
    *source*)
        [ -f "$STATE/no-source" ] && { echo "E: Unable to find a source package" >&2; exit 100; }
        ver="${!#}"; ver="${ver#mingw-w64=}"
        echo "Format: 3.0 (quilt)" >"mingw-w64_${ver%-*}-${ver##*-}.dsc" ;;
    *) exit 2 ;;
esac
STANDIN
cat >"$bin/sudo" <<'STANDIN'
#!/bin/sh
exec "$@"
STANDIN
chmod +x "$bin"/*

required=$(sed -n 's/^REQUIRED="\(.*\)"$/\1/p' "$script")
[ -n "$required" ] || { echo "cannot read REQUIRED from $script"; exit 1; }

# machine NAME: a fresh state folder; the arguments set it up.
#   --without "P..."  --src-known  --update-fails N  --no-source
#   --version P V     --hang (the first build step never ends)
machine() {
    export STATE="$work/$1"; shift
    rm -rf "$STATE"; mkdir -p "$STATE/cache" "$STATE/apt/sources.list.d" "$STATE/gcc-src" "$STATE/bin"
    : >"$STATE/calls"; echo 0 >"$STATE/update-fails"
    for p in $required; do echo "$p 1.0-1"; done >"$STATE/versions"
    sed -i -e 's/^gcc-12-source .*/gcc-12-source 12.2.0-14+deb12u1/' \
           -e 's/^gcc-mingw-w64-i686-win32 .*/gcc-mingw-w64-i686-win32 12.2.0-14+deb12u1+25.2+b1/' \
           -e 's/^mingw-w64-i686-dev .*/mingw-w64-i686-dev 10.0.0-3/' "$STATE/versions"
    printf 'Types: deb\nURIs: http://mirror.example/debian\nSuites: bookworm\nComponents: main\n' \
        >"$STATE/apt/sources.list.d/debian.sources"
    echo "not an xz archive" >"$STATE/gcc-src/gcc-12.2.0-dfsg.tar.xz"
    while [ $# -gt 0 ]; do
        case "$1" in
            --without) for p in $2; do sed -i "/^$p /d" "$STATE/versions"; done; shift ;;
            --src-known) touch "$STATE/src-known" ;;
            --update-fails) echo "$2" >"$STATE/update-fails"; shift ;;
            --no-source) touch "$STATE/no-source" ;;
            --version) sed -i "s/^$2 .*/$2 $3/" "$STATE/versions"; shift 2 ;;
            --hang)
                # tar of the first step: says it started, then waits.
                printf '#!/bin/sh\ntouch "$STATE/started"\nexec sleep 300\n' >"$STATE/bin/tar"
                chmod +x "$STATE/bin/tar" ;;
        esac
        shift
    done
}
# run [ARGS]: build-runtime on the current machine; sets out (stderr, then
# stdout), err (stderr), last (stdout's last line) and rc.  RUNTIME_SCRIPT
# may name another copy of the script.
run() {
    PATH="$STATE/bin:$bin:$PATH" INSTALIX_RUNTIME_CACHE="$STATE/cache" INSTALIX_APT_DIR="$STATE/apt" \
        INSTALIX_GCC_SOURCE_DIR="$STATE/gcc-src" INSTALIX_APT_PAUSE=0 INSTALIX_APT_TRIES=3 INSTALIX_JOBS=1 \
        bash "${RUNTIME_SCRIPT:-$script}" "$@" >"$STATE/stdout" 2>"$STATE/stderr"
    rc=$?
    err="$(cat "$STATE/stderr")"
    out="$(cat "$STATE/stderr" "$STATE/stdout")"
    last="$(tail -1 "$STATE/stdout")"
}
# The folder a build was for, from its progress line.
target() { sed -n 's/^build-runtime: building .*, for \(.*\)$/\1/p' <<<"$out" | tail -1; }
calls() { grep -c "^apt-get.* $1" "$STATE/calls"; }
leftovers() { ls -d "$STATE"/cache/.build-* 2>/dev/null | wc -l; }
show() { printf '%s\n' "$out" | sed 's/^/    | /'; }

# Packages missing: one line naming them, nothing downloaded or built.
machine missing --without "gcc-12-source gawk"
run
if [ $rc -eq 1 ] && grep -q 'missing packages: gcc-12-source gawk (scripts/install-deps' <<<"$out" \
    && [ ! -s "$STATE/calls" ] && [ -z "$(ls "$STATE/cache")" ]; then
    ok "missing packages are named, nothing is downloaded or built"
else bad "missing packages are named, nothing is downloaded or built"; show; fi

# Nothing built: --check says to run the script, and builds nothing.
machine nothing
run --check
if [ $rc -eq 1 ] && grep -q 'not built: run scripts/build-runtime' <<<"$out" && [ ! -s "$STATE/calls" ]; then
    ok "--check without a runtime: status 1, says to run build-runtime"
else bad "--check without a runtime: status 1, says to run build-runtime"; show; fi

# libgcc and libstdc++ from another GCC release than the cross compiler's.
machine other-release --version gcc-12-source 12.3.0-1
run
if [ $rc -eq 1 ] && grep -q 'gcc-12-source 12.3.0-1 is not the GCC release of' <<<"$out" && [ ! -s "$STATE/calls" ]; then
    ok "a gcc-12-source of another release is refused"
else bad "a gcc-12-source of another release is refused"; show; fi

# No deb-src index: one is added after the machine's own mirror, apt-get
# update is tried again after failures, the source downloaded; the build's
# first step then fails on the stand-in tarball: named with its log, status
# 1, no folder and no half-built one left.
machine fresh --update-fails 2
run
list="$STATE/apt/sources.list.d/instalix-src.sources"
dir="$(target)"
if [ $rc -eq 1 ] && grep -qx 'Types: deb-src' "$list" && grep -qx 'URIs: http://mirror.example/debian' "$list" \
    && [ "$(calls update)" -eq 3 ] && [ "$(grep -c 'apt-get update failed (try' <<<"$out")" -eq 2 ] \
    && [ "$(calls 'source')" -eq 1 ] && grep -q 'source .*mingw-w64=10.0.0-3' "$STATE/calls" \
    && grep -q 'failed in step src-gcc (log: .*/build-runtime-failed/src-gcc.log)' <<<"$out" \
    && [ -s "$STATE/cache/build-runtime-failed/src-gcc.log" ] \
    && [ -n "$dir" ] && [ ! -e "$dir" ] && [ "$(leftovers)" -eq 0 ]; then
    ok "no source index: added, update retried, source fetched; a failed build names its step and leaves nothing"
else bad "no source index: added, update retried, source fetched; a failed build names its step and leaves nothing"; show; fi

# The index known: no list written, no update.
machine known --src-known
run
if [ $rc -eq 1 ] && [ ! -e "$STATE/apt/sources.list.d/instalix-src.sources" ] && [ "$(calls update)" -eq 0 ] \
    && [ "$(calls 'source')" -eq 1 ]; then
    ok "source index known: no list added, no update"
else bad "source index known: no list added, no update"; show; fi

# update fails every time: not fatal by itself; the download decides.
machine update-fails --update-fails 99
run
if [ $rc -eq 1 ] && [ "$(calls update)" -eq 3 ] && grep -q 'apt-get update still fails' <<<"$out" \
    && grep -q 'failed in step src-gcc' <<<"$out"; then
    ok "update failing every time is not fatal when the source downloads"
else bad "update failing every time is not fatal when the source downloads"; show; fi
machine no-source --update-fails 99 --no-source
run
if [ $rc -eq 1 ] \
    && [ "$err" = "build-runtime: cannot download the source package mingw-w64 10.0.0-3 (apt-get source; see above for the index)" ] \
    && [ "$(leftovers)" -eq 0 ] && [ -z "$(ls "$STATE/cache" | grep -v '^build-runtime-failed$')" ]; then
    ok "source that cannot be downloaded: one line, status 1, nothing left"
else bad "source that cannot be downloaded: one line, status 1, nothing left"; show; fi

# A finished runtime (its stamp there): found at once, by every mode, with no
# package manager call; the folder is stdout's last line.
machine cached --src-known
run
dir="$(target)"
mkdir -p "$dir/lib"; touch "$dir/.complete"
: >"$STATE/calls"
run
a_rc=$rc; a_last="$last"
run --check
c_rc=$rc; c_out="$(cat "$STATE/stdout")"
run --print-dir
if [ $a_rc -eq 0 ] && [ "$a_last" = "$dir" ] && [ $c_rc -eq 0 ] && [ "$c_out" = "$dir" ] \
    && [ $rc -eq 0 ] && [ "$(cat "$STATE/stdout")" = "$dir" ] && [ -z "$err" ] && [ ! -s "$STATE/calls" ]; then
    ok "a finished runtime is found at once by build-runtime, --check and --print-dir"
else bad "a finished runtime is found at once by build-runtime, --check and --print-dir"; show; fi

# The folder without its stamp (a copy, a build that was not finished) is
# not taken.
rm "$dir/.complete"
run --check
check "a folder without its stamp is not taken" test $rc -eq 1
touch "$dir/.complete"

# Another version of a source package, of the cross compiler, or of the
# script: another folder, so the finished one is not taken.
for change in "gcc-12-source 12.2.0-14+deb12u2" "mingw-w64-i686-dev 10.0.0-4" \
              "gcc-mingw-w64-i686-win32 12.2.0-14+deb12u1+25.3"; do
    cp "$STATE/versions" "$STATE/versions.kept"
    sed -i "s/^${change% *} .*/$change/" "$STATE/versions"
    run --check
    check "another ${change% *} ($change) needs another runtime" test $rc -eq 1
    cp "$STATE/versions.kept" "$STATE/versions"
done
cp "$script" "$work/build-runtime-changed"
echo "# a changed script" >>"$work/build-runtime-changed"
RUNTIME_SCRIPT="$work/build-runtime-changed" run --check
check "a changed script needs another runtime" test $rc -eq 1
run --check
check "the unchanged setup finds its runtime again" test "$rc:$last" = "0:$dir"

# A build killed outright (no trap runs): no finished folder, and --check
# does not take what is left; the next build clears the leftover.
machine killed --src-known --hang
(
    cd "$STATE" || exit 1
    PATH="$STATE/bin:$bin:$PATH" INSTALIX_RUNTIME_CACHE="$STATE/cache" INSTALIX_APT_DIR="$STATE/apt" \
    INSTALIX_GCC_SOURCE_DIR="$STATE/gcc-src" INSTALIX_JOBS=1 \
        setsid bash "$script" >"$STATE/killed.out" 2>&1 &
    echo $! >"$STATE/pid"
    wait 2>/dev/null
) 2>/dev/null &
for _ in $(seq 200); do [ -f "$STATE/started" ] && break; sleep 0.1; done
pgid="$(cat "$STATE/pid")"
kill -KILL -- "-$pgid" 2>/dev/null
wait
left_before="$(leftovers)"
run --check
k_rc=$rc
rm -f "$STATE/bin/tar"
run
if [ -f "$work/killed/started" ] && [ "$left_before" -eq 1 ] && [ $k_rc -eq 1 ] \
    && [ -z "$(find "$STATE/cache" -name .complete)" ] && [ "$(leftovers)" -eq 0 ]; then
    ok "a killed build leaves no runtime that is taken, and its leftover is cleared"
else bad "a killed build leaves no runtime that is taken, and its leftover is cleared"; show; cat "$STATE/killed.out"; fi

echo "passed=$passed failed=$failed"
[ "$failed" -eq 0 ]
