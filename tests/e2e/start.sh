# Sourced first, with the script's arguments (WIN_BUILD_DIR RESULT_FILE), by
# the end-to-end scripts that drive Windows programs: runs the script again
# under Xvfb when there is no display (one X server for all its runs), then
# sets here, top, win_build, result, wine_run, driver and out (a temporary
# folder, removed on exit) and brings in the verdicts.
set -uo pipefail
here="$(cd "$(dirname "$0")" && pwd)"
if [ -z "${DISPLAY:-}" ] && command -v xvfb-run >/dev/null; then
    exec xvfb-run -a -s "-screen 0 1024x768x24" "$0" "$@"
fi
win_build="$(cd "$1" && pwd)"; result="$2"
top="$(cd "$here/../.." && pwd)"
wine_run="$top/cmake/wine-run"
driver="$win_build/tools/wizard-driver.exe"
out="$(mktemp -d)"
trap 'rm -rf "$out"' EXIT
. "$here/../lib/verdicts.sh"
