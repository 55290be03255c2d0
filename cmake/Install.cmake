# Where `cmake --install` puts Vane, and the Debian package `cpack -G DEB` makes of the same.
# Included from the top CMakeLists.txt once every target exists.

install(TARGETS vane vane-desk RUNTIME DESTINATION ${CMAKE_INSTALL_BINDIR})
# vane-desk also looks for plug-ins here, relative to itself (VANE_INSTALLED_PLUGINS): every
# plug-in the build ships, and not the example plug-in of the host.
get_property(vane_shipped_plugins GLOBAL PROPERTY VANE_SHIPPED_PLUGINS)
install(TARGETS ${vane_shipped_plugins} LIBRARY DESTINATION ${VANE_INSTALL_PLUGINDIR})
install(FILES packaging/vane-desk.desktop DESTINATION ${CMAKE_INSTALL_DATADIR}/applications)
install(FILES packaging/vane-desk.svg
        DESTINATION ${CMAKE_INSTALL_DATADIR}/icons/hicolor/scalable/apps)

# The man page is vane's own --help and --version, made when vane is built.
find_program(HELP2MAN help2man)
if(HELP2MAN)
  set(vane_man_page ${PROJECT_BINARY_DIR}/vane.1)
  add_custom_command(
    OUTPUT ${vane_man_page}
    # A sanitizer build's vane must not fail the page over a leak report at exit.
    COMMAND ${CMAKE_COMMAND} -E env ASAN_OPTIONS=detect_leaks=0
            ${HELP2MAN} --no-info --section=1
            "--name=relate bat activity to wind speed, temperature and turbine state"
            --output=${vane_man_page} $<TARGET_FILE:vane>
    DEPENDS vane
    COMMENT "Writing the man page vane.1 from vane --help")
  add_custom_target(vane_man_page ALL DEPENDS ${vane_man_page})
  install(FILES ${vane_man_page} DESTINATION ${CMAKE_INSTALL_MANDIR}/man1)
else()
  message(WARNING "help2man not found: no man page for vane (scripts/setup.sh installs it)")
endif()

set(CPACK_PACKAGE_NAME vane)
set(CPACK_PACKAGE_VENDOR "Vane")
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY
    "Bat activity related to wind speed, temperature and turbine state")
set(CPACK_PACKAGE_DESCRIPTION
    "Vane counts time-stamped bat recordings in 10-minute activity bins, matches them with a \
turbine's or logger's readings and shows the cumulative share of activity over wind speed or \
temperature, per operating state, and the yearly picture of activity between sunset and \
sunrise. It has a command line (vane) and a desktop program (vane-desk).")
set(CPACK_PACKAGE_CONTACT "Vane developers <vane@localhost>")
set(CPACK_PACKAGING_INSTALL_PREFIX /usr)
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_STRIP_FILES ON)
set(CPACK_DEBIAN_PACKAGE_SECTION science)
# The libraries the programs link come from dpkg-shlibdeps; Qt's platform and picture plug-ins
# are loaded at run time, so they are named here (TIFF, WebP and others are saved through the
# image-format plug-ins). FFTW is named too, as the spectrogram cannot be drawn without it.
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
set(CPACK_DEBIAN_PACKAGE_DEPENDS "qt6-qpa-plugins, qt6-image-formats-plugins, libfftw3-single3")
include(CPack)
