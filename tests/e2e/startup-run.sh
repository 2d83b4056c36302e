#!/usr/bin/env bash
# The start-up benchmark and its probe, once each, in a winxp prefix of
# their own:
# - the floor shows exactly the windows and texts the wizard shows at start
#   (else it would not be the wizard's floor), and both end on Cancel;
# - the probe names every stage of start-up, in start-up's order, each with
#   a time, and closes the wizard itself;
# - scripts/startup-benchmark --breakdown prints the three programs' times,
#   both ratios and every stage.
#
#   startup-run.sh WIN_BUILD_DIR RESULT_FILE
#
# Writes "passed=N failed=N" into RESULT_FILE.
. "$(dirname "$0")/start.sh" "$@"
root="$win_build/e2e-startup"
. "$here/prefix.sh"
finish_result() { echo "passed=$passed failed=$failed" >"$result"; }

medium="$(INSTALIX_RUN_BUILD="$win_build" INSTALIX_RUN_NO_BUILD=1 "$top/scripts/run-wizard" --layout)" || {
    bad "run-wizard lays out the medium"; finish_result; exit 1; }
fresh_prefix "$root" winxp
export INSTALIX_WINE_ROOT="$root"
cp "$win_build/tools/startup-probe.exe" "$medium/startup-floor.exe"
cp "$win_build/tools/startup-probe.exe" "$medium/startup-probe.exe"
title=安装打印机驱动程序
cat >"$out/script" <<EOF
time-start $medium/instalix.exe $title $medium
texts
close
wait-exit
time-start $medium/startup-floor.exe $title $medium
texts
close
wait-exit
time-start $medium/startup-probe.exe $title $medium
wait-exit
EOF
"$wine_run" --winver=winxp "$driver" "$out/script" >"$out/run.log" 2>/dev/null
rc=$?
tr -d '\r' <"$out/run.log" >"$out/run.txt"
check "the wizard, the floor and the probe start and end (driver exit 0)" test "$rc" -eq 0
wizard_texts=$(grep '^[0-9]*: texts => ' "$out/run.txt" | sed -n 1p)
floor_texts=$(grep '^[0-9]*: texts => ' "$out/run.txt" | sed -n 2p)
check "the wizard's first window has the agreement, its two choices and the buttons" \
    bash -c 'case "$1" in *InstalixRichText*1057\ Button*1058\ Button*) ;; *) exit 1 ;; esac
             case "$1" in *"2 Button"*) ;; *) exit 1 ;; esac' _ "$wizard_texts"
check "the floor shows the same windows and texts as the wizard" \
    test -n "$floor_texts" -a "${wizard_texts#*=> }" = "${floor_texts#*=> }"
check "the floor and the wizard end with Cancel's exit code 0" \
    test "$(grep -c '^[0-9]*: wait-exit => exit code 0$' "$out/run.txt")" -eq 3

# The probe's stages, in start-up's order, each with a time in ms.
stages=("process start (to main)" "language, platform and log" "common controls"
        "OLE and the rich-text library" "frame: window and controls" "agreement page (the rich text)"
        "printer page (the package's models)" "mode page" "target-system page (the version)" "port page"
        "frame: first page shown, centred, captions" "shown and painted, to waiting for input" "in all")
grep -E '^  .* [0-9]+\.[0-9] ms$' "$out/run.txt" | sed -E 's/^  (.*[^ ]) +[0-9.]+ ms$/\1/' >"$out/stages"
check "the probe names every stage of start-up in order" \
    test "$(cat "$out/stages")" = "$(printf '%s\n' "${stages[@]}")"
check "every stage took some time and the stages add up to the whole" \
    awk '/^  .* ms$/ { v = $(NF - 1); if ($1 == "in" && $2 == "all") total = v; else { if (v < 0) bad = 1; sum += v } }
         END { exit (bad || total <= 0 || sum - total > 1 || total - sum > 1) }' "$out/run.txt"

# The benchmark itself, one run of each program.
"$top/scripts/startup-benchmark" --runs 1 --breakdown --no-build "$win_build" >"$out/bench.log" 2>&1
rc=$?
check "startup-benchmark --breakdown runs (exit 0)" test "$rc" -eq 0
for line in "bare dialog" "wizard" "floor"; do
    check "the benchmark prints the $line's times" \
        grep -Eq "^  $line +[0-9.]+ ms to the window shown, +[0-9.]+ ms to waiting for input$" "$out/bench.log"
done
check "the benchmark prints the wizard's ratio and the floor's" \
    bash -c 'grep -Eq "^  ratio +[0-9.]+ \(window shown\)" "$1" && grep -Eq "^  floor ratio +[0-9.]+ \(window shown\)" "$1"' \
    _ "$out/bench.log"
check "the benchmark's breakdown has every stage" \
    test "$(grep -cE '^  .* [0-9]+\.[0-9] ms$' "$out/bench.log")" -eq "${#stages[@]}"
[ "$failed" -eq 0 ] || { echo "--- the driver's log:"; cat "$out/run.txt"; echo "--- the benchmark:"; cat "$out/bench.log"; }
finish_result
