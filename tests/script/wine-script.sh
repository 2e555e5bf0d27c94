# Sourced by the run-* scripts with the script's own arguments. A leading --x86 means the x86
# build is under test: its modules are registered, and its programs run, through Wine's 32-bit
# loader (the 32-bit regsvr32 and cscript, which use the 32-bit registry view). What is left is
# in script_args. register_for_run registers modules until the script ends.
script_dir=$(cd "$(dirname "${BASH_SOURCE[0]}")" && pwd)
wine_run=("$script_dir/../../tools/wine-run")
script_args=("$@")
if [[ ${script_args[0]:-} == --x86 ]]; then
  wine_run+=(--x86)
  script_args=("${script_args[@]:1}")
fi

windows_path() { echo "Z:$(readlink -f "$1" | sed 's|/|\\|g')"; }

registered=()
unregister_all() {
  local i
  for ((i = ${#registered[@]} - 1; i >= 0; i--)); do "${wine_run[@]}" regsvr32 /s /u "${registered[i]}"; done
}
trap unregister_all EXIT

# register_for_run MODULE...: regsvr32 on each, and regsvr32 /u in reverse order when the script ends.
register_for_run() {
  local module
  for module in "$@"; do
    module=$(windows_path "$module")
    registered+=("$module") # a half-done registration is removed too
    "${wine_run[@]}" regsvr32 /s "$module" || { echo "regsvr32 failed on $module" >&2; exit 1; }
  done
}
