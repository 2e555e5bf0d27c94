# Sourced by the DPI run of the viewer and by tools/demo: the Wine prefix's display set to another
# DPI for a run, and put back. Wine 8 reads LogPixels from HKCU\Control Panel\Desktop first (then
# from HKLM\System\CurrentControlSet\Hardware Profiles\Current\Software\Fonts), in every process
# it starts after the change, with the wineserver still running; both bitnesses read the same key.
# The caller traps restore_prefix_dpi, so that a failed run leaves the prefix as it found it.
#
#   set_prefix_dpi DPI WINE...      WINE: the loader, or tools/wine-run with its options
#   restore_prefix_dpi WINE...      the value found by the first set_prefix_dpi, or none again
prefix_dpi_key='HKCU\Control Panel\Desktop'
prefix_dpi_found=

set_prefix_dpi() {
  local dpi=$1
  shift
  if [[ -z $prefix_dpi_found ]]; then
    prefix_dpi_found=$({ "$@" reg query "$prefix_dpi_key" /v LogPixels || true; } | tr -d '\r' |
                       awk '$1 == "LogPixels" { print $3 }')
    prefix_dpi_found=${prefix_dpi_found:-none}
  fi
  "$@" reg add "$prefix_dpi_key" /v LogPixels /t REG_DWORD /d "$dpi" /f >/dev/null
}

restore_prefix_dpi() {
  case $prefix_dpi_found in
    '') return ;;
    none) "$@" reg delete "$prefix_dpi_key" /v LogPixels /f >/dev/null ;;
    *) "$@" reg add "$prefix_dpi_key" /v LogPixels /t REG_DWORD /d "$((prefix_dpi_found))" /f >/dev/null ;;
  esac
  prefix_dpi_found=
}
