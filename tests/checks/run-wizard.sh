#!/usr/bin/env bash
# Tests of what `make run` is made of that needs no Wine: the medium that
# scripts/run-wizard lays out, its failures, and scripts/xwd-to-png.
#
#   run-wizard.sh        exits 0 when every case passes
set -uo pipefail
here="$(cd "$(dirname "$0")" && pwd)"
run="$here/../../scripts/run-wizard"
xwd="$here/../../scripts/xwd-to-png"
work="$(mktemp -d)"
trap 'rm -rf "$work"' EXIT
. "$here/../lib/verdicts.sh"

# A build folder as the Windows build leaves it.
fake_build() {
    local b="$1"
    mkdir -p "$b/package/DRVCONFIG" "$b/package/win98" "$b/package/winnt/sub" "$b/package/win2003" "$b/tests"
    echo setup >"$b/package/DRVCONFIG/setup.ini"
    echo mon >"$b/package/winnt/KRUSBMON.DLL"
    echo deep >"$b/package/winnt/sub/x.dat"
    echo 98 >"$b/package/win98/KRCOM9X.DLL"
    echo 2003 >"$b/package/win2003/KRQ5.DLL"
    echo readme >"$b/package/README.txt"
}
layout() { INSTALIX_RUN_BUILD="$1" INSTALIX_RUN_NO_BUILD=1 "$run" --layout 2>&1; }

b="$work/build"
fake_build "$b"
echo wizard >"$b/instalix.exe"
mkdir -p "$b/medium"; echo stale >"$b/medium/old.txt"
out="$(layout "$b")"; rc=$?
listing="$(cd "$b/medium" && find . | sort | tr '\n' ' ')"
want=". ./DRVCONFIG ./DRVCONFIG/setup.ini ./instalix.exe ./win2003 ./win2003/KRQ5.DLL ./win98 ./win98/KRCOM9X.DLL ./winnt ./winnt/KRUSBMON.DLL ./winnt/sub ./winnt/sub/x.dat "
if [ $rc -eq 0 ] && [ "$out" = "$b/medium" ] && [ "$listing" = "$want" ] && cmp -s "$b/instalix.exe" "$b/medium/instalix.exe"; then
    ok "the medium holds instalix.exe at its root and the package's four folders, nothing else"
else bad "medium layout: rc=$rc out=$out listing=$listing"; fi

# A relative build folder is taken from the current directory: the medium's
# path comes back whole, as Wine needs its prefix.
rel="$(cd "$work" && INSTALIX_RUN_BUILD=build INSTALIX_RUN_NO_BUILD=1 "$run" --layout 2>&1)"; rc=$?
if [ $rc -eq 0 ] && [ "$rel" = "$b/medium" ]; then
    ok "a relative build folder gives the medium's whole path"
else bad "relative build folder: rc=$rc out=$rel"; fi

rm "$b/instalix.exe"
out="$(layout "$b")"; rc=$?
if [ $rc -ne 0 ] && grep -q 'instalix.exe is missing' <<<"$out"; then
    ok "without instalix.exe the script stops and says so"
else bad "missing instalix.exe: rc=$rc: $out"; fi

echo other >"$work/other.exe"
out="$(INSTALIX_RUN_PROGRAM="$work/other.exe" layout "$b")"; rc=$?
if [ $rc -eq 0 ] && [ -f "$b/medium/other.exe" ] && [ ! -e "$b/medium/instalix.exe" ]; then
    ok "a substitute program is put on the medium in the wizard's place"
else bad "substitute program: rc=$rc: $out"; fi

echo wizard >"$b/instalix.exe"
rm -rf "$b/package/win2003"
out="$(layout "$b")"; rc=$?
if [ $rc -ne 0 ] && grep -q 'no win2003 folder' <<<"$out"; then
    ok "a package without one of the driver folders is refused"
else bad "missing driver folder: rc=$rc: $out"; fi

out="$(INSTALIX_RUN_BUILD="$work/nothing" INSTALIX_RUN_NO_BUILD=1 "$run" --layout 2>&1)"; rc=$?
if [ $rc -ne 0 ] && grep -q 'no sample package' <<<"$out"; then
    ok "a build without the laid-out package is refused"
else bad "missing package: rc=$rc: $out"; fi

# xwd-to-png on a 3x2 dump of known colours, in both byte orders.
make_xwd() {
    python3 - "$1" "$2" <<'EOF'
import struct, sys
path, order = sys.argv[1], sys.argv[2]
o = "<" if order == "lsb" else ">"
w, h = 3, 2
pixels = [0xFF0000, 0x00FF00, 0x0000FF, 0x123456, 0xFFFFFF, 0x000000]
header = struct.pack(o + "25I", 100, 7, 2, 24, w, h, 0, 0 if order == "lsb" else 1, 32, 0, 32, 32, w * 4 + 4,
                     4, 0xFF0000, 0xFF00, 0xFF, 8, 256, 0, w, h, 0, 0, 0)
rows = b""
for y in range(h):
    rows += b"".join(struct.pack(o + "I", p) for p in pixels[y * w:(y + 1) * w]) + b"\0" * 4
open(path, "wb").write(header + rows)
EOF
}
png_pixels() {
    python3 - "$1" <<'EOF'
import struct, sys, zlib
d = open(sys.argv[1], "rb").read()
assert d[:8] == b"\x89PNG\r\n\x1a\n"
pos, idat, w = 8, b"", 0
while pos < len(d):
    n, kind = struct.unpack(">I4s", d[pos:pos + 8])
    body = d[pos + 8:pos + 8 + n]
    crc = struct.unpack(">I", d[pos + 8 + n:pos + 12 + n])[0]
    assert crc == zlib.crc32(kind + body) & 0xFFFFFFFF, "bad crc"
    if kind == b"IHDR":
        w, h, depth, colour = struct.unpack(">IIBB", body[:10])
        assert (depth, colour) == (8, 2)
    if kind == b"IDAT":
        idat += body
    pos += 12 + n
raw = zlib.decompress(idat)
out = []
for y in range(h):
    row = raw[y * (1 + 3 * w):(y + 1) * (1 + 3 * w)]
    assert row[0] == 0
    out += ["%02x%02x%02x" % tuple(row[1 + 3 * x:4 + 3 * x]) for x in range(w)]
print(w, h, " ".join(out))
EOF
}
for order in lsb msb; do
    make_xwd "$work/screen-$order.xwd" "$order"
    if "$xwd" "$work/screen-$order.xwd" "$work/screen-$order.png" \
        && [ "$(png_pixels "$work/screen-$order.png")" = "3 2 ff0000 00ff00 0000ff 123456 ffffff 000000" ]; then
        ok "xwd-to-png keeps every pixel's colour ($order dump)"
    else bad "xwd-to-png ($order): $(png_pixels "$work/screen-$order.png" 2>&1)"; fi
done
head -c 60 "$work/screen-lsb.xwd" >"$work/short.xwd"
out="$("$xwd" "$work/short.xwd" "$work/short.png" 2>&1)"; rc=$?
if [ $rc -eq 1 ] && grep -q 'too short' <<<"$out" && [ ! -e "$work/short.png" ]; then
    ok "xwd-to-png refuses a cut-off dump and writes no picture"
else bad "cut-off dump: rc=$rc: $out"; fi

echo "passed=$passed failed=$failed"
[ $failed -eq 0 ]
