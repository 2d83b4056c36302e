# Helpers for the broken-package cases: each case is a bash script run in a
# copy of base/ (the current directory).  INI files keep their CR LF line
# ends; sections and keys are matched exactly as base/ spells them.
# Values reach awk through the environment: "-v" would read their
# backslashes as escapes, and each awk reads an unknown one differently.

# ini_set FILE SECTION KEY VALUE: sets KEY in the first SECTION, or adds it
# at the end of that section.
ini_set() {
    SEC="[$2]" KEY="$3" VAL="$4" awk '
        BEGIN { sec = ENVIRON["SEC"]; key = ENVIRON["KEY"]; val = ENVIRON["VAL"] }
        function add() { if (insec && !done) print key "=" val "\r"; done = done || insec }
        { sub(/\r$/, "") }
        /^\[/ { add(); insec = ($0 == sec && !seen); if (insec) seen = 1 }
        insec && !done && index($0, key "=") == 1 { print key "=" val "\r"; done = 1; next }
        { print $0 "\r" }
        END { add() }' "$1" >"$1.new" && mv "$1.new" "$1"
}

# ini_del FILE SECTION KEY: removes KEY's line from the first SECTION.
ini_del() {
    SEC="[$2]" KEY="$3" awk '
        BEGIN { sec = ENVIRON["SEC"]; key = ENVIRON["KEY"] }
        { sub(/\r$/, "") }
        /^\[/ { insec = ($0 == sec && !seen); if (insec) seen = 1 }
        insec && index($0, key "=") == 1 { next }
        { print $0 "\r" }' "$1" >"$1.new" && mv "$1.new" "$1"
}

# ini_del_section FILE SECTION: removes the first SECTION, header and keys.
ini_del_section() {
    SEC="[$2]" awk '
        BEGIN { sec = ENVIRON["SEC"] }
        { sub(/\r$/, "") }
        /^\[/ { insec = ($0 == sec && !seen); if (insec) seen = 1 }
        insec { next }
        { print $0 "\r" }' "$1" >"$1.new" && mv "$1.new" "$1"
}

# ini_append FILE LINE...: adds lines at the end of the file.
ini_append() {
    local f="$1"; shift
    local line
    for line in "$@"; do printf '%s\r\n' "$line" >>"$f"; done
}

# ini_rename FILE OLD NEW: replaces every OLD by NEW (plain text).
ini_rename() {
    OLD="$2" NEW="$3" perl -pi -e 's/\Q$ENV{OLD}\E/$ENV{NEW}/g' "$1"
}

# ini_insert FILE SECTION LINE...: adds raw lines right after the first
# SECTION's header.
ini_insert() {
    local f="$1" sec="$2"; shift 2
    local lines=""
    local line
    for line in "$@"; do lines+="$line"$'\r\n'; done
    LINES="$lines" SEC="[$sec]" awk '
        BEGIN { sec = ENVIRON["SEC"] }
        { sub(/\r$/, ""); print $0 "\r" }
        $0 == sec && !seen { seen = 1; printf "%s", ENVIRON["LINES"] }' "$f" >"$f.new" && mv "$f.new" "$f"
}

# ini_prepend FILE LINE...: adds raw lines at the start of the file.
ini_prepend() {
    local f="$1"; shift
    local line
    { for line in "$@"; do printf '%s\r\n' "$line"; done; cat "$f"; } >"$f.new" && mv "$f.new" "$f"
}
