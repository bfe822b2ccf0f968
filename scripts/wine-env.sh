# Shared by the scripts that run the programs under Wine (sourced, not run).

# Wine maps file names through the locale: without a UTF-8 one (no locale set, or one that is not
# installed), names outside ASCII, such as the tests' scratch folders, cannot be opened.
if [ "$(locale charmap 2>/dev/null)" != UTF-8 ]; then
    export LC_ALL=C.UTF-8
fi
export WINEDLLOVERRIDES="${WINEDLLOVERRIDES:-mscoree,mshtml=}"
export WINEDEBUG="${WINEDEBUG:--all}"

# True when this machine can run 32-bit Windows programs: Debian's wine32 is installed and the
# kernel runs 32-bit code (some virtual machines' kernels do not).
wine32_runs() {
    [ -x /usr/lib/wine/wine ] && /usr/lib/wine/wine --version >/dev/null 2>&1
}

# Starts an Xvfb display of our own (so nothing touches the user's desktop) and exports DISPLAY.
# The display, and any wineserver of the prefix, end when the calling script exits.
start_private_display() {
    local size="${1:-1280x1024x24}"
    _display_file=$(mktemp)
    Xvfb -displayfd 3 -screen 0 "$size" -nolisten tcp 3>"$_display_file" >/dev/null 2>&1 &
    _xvfb_pid=$!
    trap 'wineserver -k 2>/dev/null || true; kill $_xvfb_pid 2>/dev/null || true; rm -f "$_display_file"' EXIT
    for _ in $(seq 100); do [ -s "$_display_file" ] && break; sleep 0.1; done
    export DISPLAY=":$(head -n1 "$_display_file")"
}

# Gives Wine a home of its own beside the prefix (WINEPREFIX set first): Wine links the prefix's
# Desktop, Documents... to folders of $HOME, so with the real one a test's shortcut or file would
# land on this machine's desktop or in its home.
use_private_home() {
    export HOME="$(dirname "$WINEPREFIX")/wine-home"
    mkdir -p "$HOME"
}
