# Sourced by run-viewer-dpi and tools/demo (see docs/building.md): the Wine prefix's display at
# another DPI, and put back as it was found (callers trap restore_prefix_dpi).
#   set_prefix_dpi DPI WINE...; restore_prefix_dpi WINE...   (WINE: a loader, or tools/wine-run)
prefix_dpi_key='HKCU\Control Panel\Desktop' prefix_dpi_found=

set_prefix_dpi() {
  local dpi=$1
  shift
  [[ -n $prefix_dpi_found ]] || prefix_dpi_found=$({ "$@" reg query "$prefix_dpi_key" /v LogPixels || true; } |
    tr -d '\r' | awk '$1 == "LogPixels" { found = $3 } END { print found ? found : "none" }')
  "$@" reg add "$prefix_dpi_key" /v LogPixels /t REG_DWORD /d "$dpi" /f >/dev/null
}

restore_prefix_dpi() {
  if [[ $prefix_dpi_found == none ]]; then
    "$@" reg delete "$prefix_dpi_key" /v LogPixels /f >/dev/null
  elif [[ -n $prefix_dpi_found ]]; then
    "$@" reg add "$prefix_dpi_key" /v LogPixels /t REG_DWORD /d "$((prefix_dpi_found))" /f >/dev/null
  fi
  prefix_dpi_found=
}
