# Sourced by tools/test and tools/demo: configures and builds one CMake preset (with extra cache
# arguments); the output goes to $logs/build-PRESET.log and is shown only when the build fails.
build_preset() {
  local preset=$1; shift
  echo "== build $preset"
  if ! { cmake --preset "$preset" "$@" && cmake --build --preset "$preset"; } >"$logs/build-$preset.log" 2>&1; then
    cat "$logs/build-$preset.log"
    echo "build of $preset failed" >&2
    exit 1
  fi
}
