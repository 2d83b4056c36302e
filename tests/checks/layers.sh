#!/usr/bin/env bash
# The sources' include graph against their layers (tests/checks/layers.py),
# the check itself catching planted faults in copies of src/, and the built
# wizards holding none of the package check's code.
#
#   layers.sh        exits 0 when every case passes
set -uo pipefail
here="$(cd "$(dirname "$0")" && pwd)"
root="$here/../.."
layers="$here/layers.py"
work="$(mktemp -d)"
trap 'rm -rf "$work"' EXIT
. "$here/../lib/verdicts.sh"

out="$(python3 "$layers" "$root/src" 2>&1)"; rc=$?
if [ $rc -eq 0 ] && [ -z "$out" ]; then ok "src/ includes only down its layers"
else bad "src/: rc=$rc"; echo "$out"; fi

# A fresh copy of src/ with one line added at the top of FILE.
plant() {
    local file="$1" line="$2"
    rm -rf "$work/src"; cp -r "$root/src" "$work/src"
    mkdir -p "$(dirname "$work/src/$file")"
    { echo "$line"; cat "$work/src/$file" 2>/dev/null || true; } >"$work/src/$file.new" && mv "$work/src/$file.new" "$work/src/$file"
}
# The check run over the planted copy must fail and say EXPECTED.
refused() {
    local what="$1" expected="$2" out rc
    out="$(python3 "$layers" "$work/src" 2>&1)"; rc=$?
    if [ $rc -eq 1 ] && grep -qF -- "$expected" <<<"$out"; then ok "$what"
    else bad "$what: rc=$rc"; echo "$out"; fi
}

plant config/ConfigPaths.h '#include "install/Installation.h"'
refused "an include up from config/ to install/ is refused" \
    "config/ConfigPaths.h:1: config includes install (install/Installation.h), but config may include only sys"

plant spooler/PrintSystem.h '#include "ports/PortLists.h"'
refused "spooler/ and ports/ stand side by side: neither includes the other" \
    "spooler/PrintSystem.h:1: spooler includes ports (ports/PortLists.h)"

plant install/Installation.cpp '#include "check/PackageRules.h"'
refused "two folders that include each other are named as such" \
    "check and install include each other (install/"

plant pages/OsPage.h '#include "app/WizardDialog.h"'
refused "the pages do not reach up to start-up and the frame" \
    "pages/OsPage.h:1: pages includes app (app/WizardDialog.h)"

plant app/WizardDialog.cpp '#include "check/PackageCheck.h"'
refused "the wizard's shell does not include the package check" \
    "app/WizardDialog.cpp:1: app includes check (check/PackageCheck.h)"

plant config/ConfigReader.cpp '#include "sys/sim/SimMachine.h"'
refused "the core does not include the simulated machine" \
    "config/ConfigReader.cpp:1: config includes sys/sim (sys/sim/SimMachine.h)"

plant ports/UsbIdentity.cpp '#include <windows.h>'
refused "ports/ holds plain C++: a Windows header is refused" \
    "ports/UsbIdentity.cpp:1: ports is plain C++ but includes <windows.h>"

plant extra/Helper.h '#include "sys/Platform.h"'
refused "a new folder needs its place in the layers" "extra/: the folder has no place in the layers"

# Includes that stay in their folder, or name no file of src/, are no edges.
plant config/ConfigInt.cpp '#include "ConfigInt.h"'
{ echo '#include "resource.h"'; echo '#include "generated/NotThere.h"'; cat "$work/src/config/IniScan.cpp"; } \
    >"$work/src/config/IniScan.cpp.new" && mv "$work/src/config/IniScan.cpp.new" "$work/src/config/IniScan.cpp"
out="$(python3 "$layers" "$work/src" 2>&1)"; rc=$?
if [ $rc -eq 0 ] && [ -z "$out" ]; then ok "same-folder and outside includes are no edges"
else bad "same-folder and outside includes: rc=$rc"; echo "$out"; fi

# The wizard is linked without the package check: a diagnostic of the
# checker is in instalix-config and nowhere in instalix.exe.
marker="no configuration names this file"
grep -qF "$marker" "$root/src/check/PackageCheck.cpp" || bad "the checker's marker text is gone from PackageCheck.cpp"
for build in "$root"/build/win32 "$root"/build/win32-tests "$root"/build/win64; do
    wizard="$build/instalix.exe"; config="$build/tools/instalix-config.exe"
    [ -f "$wizard" ] && [ -f "$config" ] || continue
    name="$(basename "$build")"
    if grep -qaF "$marker" "$config" && ! grep -qaF "$marker" "$wizard"; then
        ok "$name: instalix.exe holds none of the package check, instalix-config does"
    else bad "$name: the package check's text in instalix.exe, or not in instalix-config.exe"; fi
done

echo "passed=$passed failed=$failed"
[ $failed -eq 0 ]
