# The plug-in: every source of the host binding, the serial code, the frame
# and the block types.
file(GLOB TELVIO_SOURCES CONFIGURE_DEPENDS
  ${CMAKE_SOURCE_DIR}/host/*.cpp
  ${CMAKE_SOURCE_DIR}/frame/*.cpp
  ${CMAKE_SOURCE_DIR}/serial/*.cpp
  ${CMAKE_SOURCE_DIR}/modules/analog/*.cpp
  ${CMAKE_SOURCE_DIR}/modules/digital/*.cpp
  ${CMAKE_SOURCE_DIR}/modules/multi/*.cpp
  ${CMAKE_SOURCE_DIR}/modules/*.cpp)

add_library(Telvio SHARED ${TELVIO_SOURCES})
set_target_properties(Telvio PROPERTIES PREFIX "" OUTPUT_NAME Telvio)
target_include_directories(Telvio PRIVATE ${CMAKE_SOURCE_DIR} ${CMAKE_SOURCE_DIR}/resources
  ${CMAKE_BINARY_DIR}/resources)
telvio_add_resources(Telvio ${CMAKE_SOURCE_DIR}/resources/telvio.rc DEPENDS ${TELVIO_RESOURCE_DEPENDS})

if(TELVIO_WINDOWS)
  target_sources(Telvio PRIVATE ${CMAKE_SOURCE_DIR}/modules/Telvio.def)
  target_link_libraries(Telvio PRIVATE user32 gdi32 comdlg32 kernel32)
  target_link_options(Telvio PRIVATE -Wl,--enable-stdcall-fixup)
else()
  # Only the exports the .def file names on Windows are visible.
  set_target_properties(Telvio PROPERTIES CXX_VISIBILITY_PRESET hidden VISIBILITY_INLINES_HIDDEN ON)
  target_link_libraries(Telvio PRIVATE winapi)
  target_link_options(Telvio PRIVATE -Wl,--no-undefined)
endif()

if(NOT TELVIO_WINDOWS)
  # The plug-in's layers below the block types (host, serial, frame) once
  # more as a static library, so tests and the benchmark call them directly;
  # their host functions resolve through a stand-in host that the caller
  # starts. The registration of block types is left out: a test registers
  # its classes from the host side.
  file(GLOB TELVIO_TESTED_LAYERS CONFIGURE_DEPENDS
    ${CMAKE_SOURCE_DIR}/host/*.cpp
    ${CMAKE_SOURCE_DIR}/serial/*.cpp
    ${CMAKE_SOURCE_DIR}/frame/*.cpp)
  list(REMOVE_ITEM TELVIO_TESTED_LAYERS ${CMAKE_SOURCE_DIR}/host/registration.cpp)
  add_library(telvio_plugin_for_tests STATIC EXCLUDE_FROM_ALL ${TELVIO_TESTED_LAYERS})
  target_include_directories(telvio_plugin_for_tests PUBLIC ${CMAKE_SOURCE_DIR}
    ${CMAKE_SOURCE_DIR}/resources ${CMAKE_BINARY_DIR}/resources)
  target_link_libraries(telvio_plugin_for_tests PUBLIC winapi)
endif()
