# Sourced by the end-to-end scripts that need prefixes of their own; they set
# win_build (the Windows build folder) and wine_run (cmake/wine-run) first.
#
# fresh_prefix ROOT VERSION: a fresh prefix of VERSION under ROOT, set up as a
# Windows system with the maker's library installed (as setup-runs.sh does).
# The base prefix is taken from the build tree's (or from prefix_base's, a
# folder of prefixes made in another locale) when ROOT has none yet.
ready=$(sed -n 's/^ready=//p' "$wine_run")
fresh_prefix() {
    local root="$1" ver="$2" from="${prefix_base:-$win_build/wine}"
    mkdir -p "$root"
    if [ ! -f "$root/base/$ready" ] && [ -f "$from/base/$ready" ]; then
        # Hard links where the file system allows: the base is only copied
        # from, never run.
        rm -rf "$root/base"
        cp -al "$from/base" "$root/base" 2>/dev/null ||
            { rm -rf "$root/base"; cp -a "$from/base" "$root/base"; }
    fi
    rm -rf "${root:?}/$ver"
    INSTALIX_WINE_ROOT="$root" "$wine_run" --winver="$ver" cmd /c exit >/dev/null 2>&1
    local system="$root/$ver/drive_c/windows/system32"
    cp "$win_build/pjlmon.dll" "$win_build/tests/KrUsbInt.dll" "$system/"
    mkdir -p "$system/spool/prtprocs/win40"
}
