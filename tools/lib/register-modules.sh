# Sourced by tools/demo and tools/bench, after wine-session.sh and wine_session_start: registers a
# build's object model and control in the session's Wine prefix with the loader of its bitness, and
# removes both again with unregister_modules or at the latest when the calling script exits (then
# stops the session, whose exit trap this replaces), so the prefix is left as it was found.
#
#   register_modules BUILD_DIR PRESET WINE_LOADER LOG
#   unregister_modules

windows_path() { echo "Z:$(readlink -f "$1" | sed 's|/|\\|g')"; }

register_modules() {
  local dir=$1/$2
  REGISTERED_WINE=$3 REGISTER_LOG=$4
  REGISTERED_MODEL=$(windows_path "$dir/model/com/RUVModel.dll")
  REGISTERED_CONTROL=$(windows_path "$dir/src/control/RUVFileTree.ocx")
  trap 'unregister_modules; wine_session_stop' EXIT
  "$REGISTERED_WINE" regsvr32 /s "$REGISTERED_MODEL" >"$REGISTER_LOG" 2>&1
  "$REGISTERED_WINE" regsvr32 /s "$REGISTERED_CONTROL" >>"$REGISTER_LOG" 2>&1
}

unregister_modules() {
  "$REGISTERED_WINE" regsvr32 /s /u "$REGISTERED_CONTROL" >>"$REGISTER_LOG" 2>&1 || true
  "$REGISTERED_WINE" regsvr32 /s /u "$REGISTERED_MODEL" >>"$REGISTER_LOG" 2>&1 || true
}
