# Sourced by tools/setup, test, demo and bench: can this machine run the x86 Windows builds?
# They run under Wine's 32-bit loader, which needs a kernel that executes 32-bit programs. Some
# kernels are built without that, whatever their name or version says, so we ask the kernel
# itself: a tiny 32-bit Linux program is assembled and run, and must exit with the code it sets.
#
# x86_lane_probe: returns 0 when 32-bit programs run; otherwise returns 1 and puts the reason,
# one line, into X86_LANE_SKIPPED.
X86_LANE_SKIPPED=

x86_lane_probe() {
  local dir status
  dir=$(mktemp -d)
  printf '.globl _start\n_start:\n  movl $1, %%eax\n  movl $42, %%ebx\n  int $0x80\n' >"$dir/probe.s"
  if ! as --32 -o "$dir/probe.o" "$dir/probe.s" 2>/dev/null || ! ld -m elf_i386 -o "$dir/probe" "$dir/probe.o" 2>/dev/null; then
    rm -rf "$dir"
    X86_LANE_SKIPPED="no 32-bit assembler and linker (binutils) to build the probe"
    return 1
  fi
  status=0
  "$dir/probe" 2>"$dir/error" || status=$?
  if [[ $status -ne 42 ]]; then
    X86_LANE_SKIPPED="this kernel does not run 32-bit programs (a tiny 32-bit program gave exit code $status$(
      sed -n '1s/^.*probe: /: /p' "$dir/error" | head -c 200))"
    rm -rf "$dir"
    return 1
  fi
  rm -rf "$dir"
  return 0
}

# The 32-bit Wine loader; Debian's wine32:i386 puts it here, next to the 64-bit wine64.
X86_WINE_LOADER=/usr/lib/wine/wine
