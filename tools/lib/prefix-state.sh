# Sourced by installer/make-msi and tests/install/run-install: what the Wine prefix in WINEPREFIX
# holds, as sorted lines that compare with comm, so that what a registration or an installation
# wrote, and what its removal left, is a difference of two states.
#
#   prefix_state DIR           DIR/registry: HKLM\Software (with Wow6432Node, the 32-bit view) and
#                              HKCU\Software, whose Classes keys together make the classes root,
#                              one line per key and value (tools/lib/registry-lines); DIR/files:
#                              the files and folders under both Program Files, the Start menus
#                              (all users' and each user's) and the Installer's package cache
#   state_added BEFORE AFTER KIND    the lines of AFTER/KIND (registry or files) not in BEFORE/KIND
#
# The exports come from the 64-bit regedit, which sees both registry views.
prefix_state_lib=$(cd "$(dirname "${BASH_SOURCE[0]}")" && pwd)

prefix_state() {
  local dir=$1 drive=$WINEPREFIX/drive_c root
  mkdir -p "$dir"
  for root in HKEY_LOCAL_MACHINE HKEY_CURRENT_USER; do
    /usr/lib/wine/wine64 regedit /E "Z:$(readlink -f "$dir" | sed 's|/|\\|g')\\$root.reg" "$root\\Software" </dev/null
  done
  "$prefix_state_lib/registry-lines" "$dir/HKEY_LOCAL_MACHINE.reg" "$dir/HKEY_CURRENT_USER.reg" >"$dir/registry"
  # The Installer's cache is there only once a package was installed.
  (cd "$drive" && { find "Program Files" "Program Files (x86)" "ProgramData/Microsoft/Windows/Start Menu" \
    users/*/AppData/Roaming/Microsoft/Windows/"Start Menu" windows/Installer 2>/dev/null || true; } |
    LC_ALL=C sort) >"$dir/files"
}

state_added() {
  LC_ALL=C comm -13 "$1/$3" "$2/$3"
}
