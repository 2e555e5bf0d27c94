# ruv_widl(NAME IDL <file> [HEADER] [TYPELIB] [INCLUDES dirs...]): runs widl on an IDL file and
# puts the generated header (NAME.h) and type library (NAME.tlb) into ${CMAKE_BINARY_DIR}/generated.
# Wine's IDL files and stdole2.tlb come from libwine-dev and Wine.
set(RUV_WIDL ${RUV_MINGW_TRIPLE}-widl)
set(RUV_GENERATED_DIR ${CMAKE_BINARY_DIR}/generated)
file(MAKE_DIRECTORY ${RUV_GENERATED_DIR})

function(ruv_widl name)
  cmake_parse_arguments(ARG "HEADER;TYPELIB" "IDL" "INCLUDES;DEPENDS" ${ARGN})
  set(include_flags -I/usr/include/wine/wine/windows)
  foreach(dir ${ARG_INCLUDES})
    list(APPEND include_flags -I${dir})
  endforeach()
  set(outputs)
  if(ARG_HEADER)
    add_custom_command(OUTPUT ${RUV_GENERATED_DIR}/${name}.h
      COMMAND ${RUV_WIDL} ${include_flags} -h -o ${RUV_GENERATED_DIR}/${name}.h ${ARG_IDL}
      DEPENDS ${ARG_IDL} ${ARG_DEPENDS} VERBATIM)
    list(APPEND outputs ${RUV_GENERATED_DIR}/${name}.h)
  endif()
  if(ARG_TYPELIB)
    add_custom_command(OUTPUT ${RUV_GENERATED_DIR}/${name}.tlb
      COMMAND ${RUV_WIDL} ${include_flags} -L/usr/lib/x86_64-linux-gnu/wine/x86_64-windows
              -t -o ${RUV_GENERATED_DIR}/${name}.tlb ${ARG_IDL}
      DEPENDS ${ARG_IDL} ${ARG_DEPENDS} VERBATIM)
    list(APPEND outputs ${RUV_GENERATED_DIR}/${name}.tlb)
  endif()
  add_custom_target(${name}_idl DEPENDS ${outputs})
endfunction()
