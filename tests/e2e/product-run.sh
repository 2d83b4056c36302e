#!/usr/bin/env bash
# The product build itself (preset win32: built for the i486, on the runtime
# built for it) installs the sample package's MTR-Q5 on LPT1: with
# instalix-setup in an XP prefix, and the wizard comes up and is cancelled.
# The other Wine runs use the test builds on the stock runtime; this one
# shows that the i486 build starts and works.  It needs 32-bit Wine: where
# the kernel cannot run 32-bit programs it is skipped, with a line saying so.
#
#   product-run.sh PRODUCT_BUILD_DIR RESULT_FILE
set -uo pipefail
here="$(cd "$(dirname "$0")" && pwd)"
build="$1"; result="$2"
. "$here/../lib/verdicts.sh"
if ! /usr/lib/wine/wine --version >/dev/null 2>&1; then
    echo "[ -- ] this kernel cannot run 32-bit Wine: the i486 product build's installation is skipped"
    echo "passed=0 failed=0" >"$result"
    exit 0
fi
build="$(cd "$build" && pwd)"
top="$(cd "$here/../.." && pwd)"
wine_run="$top/cmake/wine-run"
win_build="$build"
out="$(mktemp -d)"
trap 'rm -rf "$out"' EXIT
winpath() { local p="${1//\//\\}"; echo "Z:$p"; }
for f in "$build/tools/instalix-setup.exe" "$build/instalix.exe" "$build/pjlmon.dll"; do
    [ -f "$f" ] || { echo "product-run: $f is missing"; echo "passed=0 failed=1" >"$result"; exit 1; }
done
root="$build/e2e-product-wine"
. "$here/prefix.sh"
fresh_prefix "$root" winxp

printf '[Install]\r\nClass=Receipt\r\nModel=MTR-Q5\r\nPort=LPT1:\r\nMode=Typical\r\nSetDefault=1\r\nPackage=%s\\\r\n' \
    "$(winpath "$build/package")" >"$out/answers.ini"
INSTALIX_WINE_ROOT="$root" "$wine_run" --winver=winxp "$build/tools/instalix-setup.exe" "$(winpath "$out/answers.ini")" \
    >"$out/setup.out" 2>&1
check "the i486 instalix-setup installs MTR-Q5 on LPT1:" test $? -eq 0
check "the printer is in the prefix" grep -q 'LPT1:' <("$here/print-state" "$root/winxp")

# The wizard: it must come up (its frame, in the prefix's language) and end
# when it is closed.
driver="$top/build/win32-tests/tools/wizard-driver.exe"
if [ -f "$driver" ]; then
    cat >"$out/wizard.txt" <<EOF
start "$build/instalix.exe" "$build/package"
wait-window 安装打印机驱动程序 30
click 2
wait-exit 30
EOF
    INSTALIX_WINE_ROOT="$root" "$wine_run" --winver=winxp "$driver" "$out/wizard.txt" >"$out/wizard.out" 2>&1
    check "the i486 wizard comes up and ends on Cancel" test $? -eq 0
fi
echo "passed=$passed failed=$failed" >"$result"
echo "product-run: $passed passed, $failed failed"
