# The verdict lines and counters of the shell test scripts; sourced by them.
#   ok WHAT / bad WHAT       one "[ OK ]" or "[FAIL]" line, counted
#   check WHAT COMMAND...    ok or bad by the command's exit status
# The scripts end by reporting "passed=N failed=N".
passed=0; failed=0
ok() { echo "[ OK ] $1"; passed=$((passed + 1)); }
bad() { echo "[FAIL] $1"; failed=$((failed + 1)); }
check() {
    local what="$1"; shift
    if "$@"; then ok "$what"; else bad "$what"; fi
}
