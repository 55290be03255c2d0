# Installs the build in BINARY_DIR into a fresh PREFIX and checks that every file people and the
# desktop look for is where it belongs, and that the installed plug-ins load. Run by ctest as the test "install_puts_files_in_place".
file(REMOVE_RECURSE "${PREFIX}")
execute_process(COMMAND "${CMAKE_COMMAND}" --install "${BINARY_DIR}" --prefix "${PREFIX}"
                RESULT_VARIABLE status OUTPUT_QUIET)
if(NOT status EQUAL 0)
  message(FATAL_ERROR "cmake --install failed: ${status}")
endif()
string(REPLACE "|" ";" EXPECTED "${EXPECTED}")  # one argument through ctest
foreach(file IN LISTS EXPECTED)
  if(NOT EXISTS "${PREFIX}/${file}")
    message(FATAL_ERROR "not installed: ${file}")
  endif()
endforeach()
file(READ "${PREFIX}/share/applications/vane-desk.desktop" entry)
if(NOT entry MATCHES "\nExec=vane-desk " OR NOT entry MATCHES "\nIcon=vane-desk\n")
  message(FATAL_ERROR "the desktop entry does not start vane-desk with its icon")
endif()
file(READ "${PREFIX}/share/man/man1/vane.1" page)
if(NOT page MATCHES "\\.TH VANE \"1\"" OR NOT page MATCHES "analyse")
  message(FATAL_ERROR "the man page is not vane's help")
endif()
# The installed vane-desk finds every shipped plug-in and loads it, and only those are there. An
# empty data folder of its own keeps the user's plug-ins out of the count.
file(MAKE_DIRECTORY "${PREFIX}/data")
execute_process(COMMAND "${CMAKE_COMMAND}" -E env QT_QPA_PLATFORM=offscreen
                        "XDG_DATA_HOME=${PREFIX}/data" "${PREFIX}/bin/vane-desk" --list-plugins
                RESULT_VARIABLE status OUTPUT_VARIABLE names ERROR_VARIABLE failures)
string(STRIP "${names}" names)
string(REPLACE "\n" ";" names "${names}")
list(LENGTH names loaded)
if(NOT status EQUAL 0 OR NOT loaded EQUAL PLUGIN_COUNT)
  message(FATAL_ERROR "the installed plug-ins load as ${loaded} of ${PLUGIN_COUNT} (${names}): "
                      "${failures}")
endif()
file(REMOVE_RECURSE "${PREFIX}")
message(STATUS "installed: ${EXPECTED}; plug-ins: ${names}")
