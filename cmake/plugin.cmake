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
  # The plug-in's frame, serial and poll-engine sources once more as a static
  # library, so tests and the benchmark call them directly; their host
  # functions resolve through a stand-in host that the caller starts.
  add_library(telvio_plugin_for_tests STATIC EXCLUDE_FROM_ALL
    ${CMAKE_SOURCE_DIR}/host/driver.cpp
    ${CMAKE_SOURCE_DIR}/host/host.cpp
    ${CMAKE_SOURCE_DIR}/host/help.cpp
    ${CMAKE_SOURCE_DIR}/host/numbers.cpp
    ${CMAKE_SOURCE_DIR}/host/rounding.cpp
    ${CMAKE_SOURCE_DIR}/host/notation.cpp
    ${CMAKE_SOURCE_DIR}/host/datetime.cpp
    ${CMAKE_SOURCE_DIR}/host/texts.cpp
    ${CMAKE_SOURCE_DIR}/host/choosers.cpp
    ${CMAKE_SOURCE_DIR}/host/recordhelp.cpp
    ${CMAKE_SOURCE_DIR}/host/linear.cpp
    ${CMAKE_SOURCE_DIR}/host/ticks.cpp
    ${CMAKE_SOURCE_DIR}/host/warnings.cpp
    ${CMAKE_SOURCE_DIR}/frame/moduletest.cpp
    ${CMAKE_SOURCE_DIR}/frame/messparam.cpp
    ${CMAKE_SOURCE_DIR}/frame/chanbar.cpp
    ${CMAKE_SOURCE_DIR}/frame/setupdlg.cpp
    ${CMAKE_SOURCE_DIR}/serial/sercomm.cpp
    ${CMAKE_SOURCE_DIR}/serial/ports.cpp
    ${CMAKE_SOURCE_DIR}/serial/portdialog.cpp
    ${CMAKE_SOURCE_DIR}/serial/monitor.cpp
    ${CMAKE_SOURCE_DIR}/serial/modtable.cpp
    ${CMAKE_SOURCE_DIR}/serial/scan.cpp
    ${CMAKE_SOURCE_DIR}/serial/engine.cpp
    ${CMAKE_SOURCE_DIR}/serial/watchdog.cpp)
  target_include_directories(telvio_plugin_for_tests PUBLIC ${CMAKE_SOURCE_DIR}
    ${CMAKE_SOURCE_DIR}/resources ${CMAKE_BINARY_DIR}/resources)
  target_link_libraries(telvio_plugin_for_tests PUBLIC winapi)
endif()
