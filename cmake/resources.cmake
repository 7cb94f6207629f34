# Resource scripts are compiled by windres in both builds. The Windows build
# links the compiled resources into the module as usual; the Linux build embeds
# the binary .res file and hands it to the Win32 layer, which reads the same
# standard formats.
if(NOT TELVIO_WINDOWS)
  enable_language(ASM)
endif()

# telvio_add_resources(<target> <rc file> [EXE] [DEPENDS files...])
function(telvio_add_resources target rcfile)
  cmake_parse_arguments(R "EXE" "" "DEPENDS" ${ARGN})
  get_filename_component(rcname ${rcfile} NAME_WE)
  get_filename_component(rcdir ${rcfile} DIRECTORY)
  set(res ${CMAKE_CURRENT_BINARY_DIR}/${target}_${rcname}.res)
  add_custom_command(
    OUTPUT ${res}
    COMMAND ${TELVIO_WINDRES} -c 1252 -I ${rcdir} -I ${CMAKE_SOURCE_DIR}/resources
            -I ${CMAKE_BINARY_DIR}/resources -O res -i ${rcfile} -o ${res}
    DEPENDS ${rcfile} ${R_DEPENDS}
    COMMENT "windres ${rcname}.rc"
    VERBATIM)
  if(TELVIO_WINDOWS)
    set(obj ${CMAKE_CURRENT_BINARY_DIR}/${target}_${rcname}_res.o)
    add_custom_command(
      OUTPUT ${obj}
      COMMAND ${TELVIO_WINDRES} -J res -O coff -i ${res} -o ${obj}
      DEPENDS ${res}
      VERBATIM)
    target_sources(${target} PRIVATE ${obj})
  else()
    set(RES_FILE ${res})
    set(RES_SYM ${target}_res)
    string(MAKE_C_IDENTIFIER ${RES_SYM} RES_SYM)
    set(asm ${CMAKE_CURRENT_BINARY_DIR}/${target}_${rcname}_blob.S)
    configure_file(${CMAKE_SOURCE_DIR}/cmake/res_blob.S.in ${asm} @ONLY)
    set_source_files_properties(${asm} PROPERTIES OBJECT_DEPENDS ${res})
    if(R_EXE)
      set(glue ${CMAKE_CURRENT_BINARY_DIR}/${target}_${rcname}_exe.cpp)
      configure_file(${CMAKE_SOURCE_DIR}/cmake/res_exe.cpp.in ${glue} @ONLY)
    else()
      set(glue ${CMAKE_CURRENT_BINARY_DIR}/${target}_${rcname}_module.cpp)
      configure_file(${CMAKE_SOURCE_DIR}/cmake/res_module.cpp.in ${glue} @ONLY)
    endif()
    target_sources(${target} PRIVATE ${asm} ${glue})
  endif()
endfunction()
