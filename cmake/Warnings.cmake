# Every target of ours gets the same warnings, as errors; third-party code (GoogleTest) does not.
add_library(ruv_warnings INTERFACE)
target_compile_options(ruv_warnings INTERFACE
  -Wall -Wextra -Wpedantic -Wshadow -Wcast-align -Wformat=2
  -Wimplicit-fallthrough -Werror)

if(WIN32)
  # Unicode Win32 throughout; keep the headers lean.
  target_compile_definitions(ruv_warnings INTERFACE UNICODE _UNICODE WIN32_LEAN_AND_MEAN NOMINMAX)
endif()

# Linker warnings are errors too. On x86 the exported entry points are __stdcall: their
# undecorated names in .def files are meant.
if(WIN32)
  target_link_options(ruv_warnings INTERFACE -Wl,--fatal-warnings)
  if(CMAKE_SIZEOF_VOID_P EQUAL 4)
    target_link_options(ruv_warnings INTERFACE -Wl,--enable-stdcall-fixup)
  endif()
endif()
