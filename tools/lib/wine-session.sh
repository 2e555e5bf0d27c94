# Sourced by tools/test, demo and bench: one Xvfb display for the run, the project-local Wine
# prefix (created once, reused), and no wineserver left from a run without this display, which
# would make window creation fail. Everything started here stops when the calling script exits.
#
# The one prefix serves the x64 and the x86 builds, as one 64-bit Windows does: 32-bit programs
# run in it through Wine's 32-bit loader, and their registrations land in the 32-bit registry view.
source "$(dirname "${BASH_SOURCE[0]}")/x86-lane.sh"

wine_session_start() {
  local build=$1 logs=$2
  export WINEPREFIX=$build/wineprefix WINEDEBUG=-all WINEDLLOVERRIDES="mscoree,mshtml="
  WINESERVER=/usr/lib/wine/wineserver
  XVFB_PID=
  trap wine_session_stop EXIT

  local display_file
  display_file=$(mktemp)
  Xvfb -displayfd 3 -screen 0 1280x1024x24 -nolisten tcp 3>"$display_file" 2>"$logs/xvfb.log" &
  XVFB_PID=$!
  for _ in $(seq 100); do [[ -s $display_file ]] && break; sleep 0.1; done
  if [[ ! -s $display_file ]]; then
    cat "$logs/xvfb.log"
    echo "Xvfb did not start" >&2
    return 1
  fi
  export DISPLAY=:$(head -n1 "$display_file")
  rm -f "$display_file"

  "$WINESERVER" -k 2>/dev/null || true
  "$WINESERVER" -w
  # A prefix made before 32-bit Wine was installed has no 32-bit system programs (regsvr32,
  # cscript): it is made anew once the 32-bit loader is there.
  if [[ -f $WINEPREFIX/system.reg && -x $X86_WINE_LOADER &&
        ! -f $WINEPREFIX/drive_c/windows/syswow64/regsvr32.exe ]]; then
    rm -rf "$WINEPREFIX"
  fi
  if [[ ! -f $WINEPREFIX/system.reg ]]; then
    echo "== creating the Wine prefix"
    /usr/lib/wine/wine64 wineboot -i >"$logs/wineboot.log" 2>&1
    "$WINESERVER" -w
  fi
  # A persistent server for the run saves every program its start.
  "$WINESERVER" -p
}

wine_session_stop() {
  "$WINESERVER" -k 2>/dev/null || true
  [[ -n ${XVFB_PID:-} ]] && kill "$XVFB_PID" 2>/dev/null || true
}
