# Installation layout and the Debian package (scripts/package runs cpack in build/).
# Only the Qt program on Linux is packaged.
if(NOT ULVO_WITH_QT OR NOT CMAKE_SYSTEM_NAME STREQUAL "Linux" OR NOT TARGET ulvo
   OR NOT TARGET ulvo-sim OR NOT TARGET ulvo-cli)
  return()
endif()

include(GNUInstallDirs)

# cpack installs only what the package holds instead of building every test first.
set(CMAKE_SKIP_INSTALL_ALL_DEPENDENCY ON)

# ulvo-sim's --help as its manual page.
find_program(ULVO_HELP2MAN help2man)
find_program(ULVO_GZIP gzip)
set(ULVO_SIM_MAN ${CMAKE_BINARY_DIR}/ulvo-sim.1.gz)
if(ULVO_HELP2MAN AND ULVO_GZIP)
  add_custom_command(
    OUTPUT ${ULVO_SIM_MAN}
    COMMAND ${ULVO_HELP2MAN} --no-info --section=1 --locale=C.UTF-8
            "--name=emulator drukarek fiskalnych ULVO" --output=${CMAKE_BINARY_DIR}/ulvo-sim.1
            $<TARGET_FILE:ulvo-sim>
    COMMAND ${ULVO_GZIP} -9nf ${CMAKE_BINARY_DIR}/ulvo-sim.1
    DEPENDS ulvo-sim
    COMMENT "Strona podręcznika ulvo-sim.1"
    VERBATIM)
  set(ULVO_CLI_MAN ${CMAKE_BINARY_DIR}/ulvo-cli.1.gz)
  add_custom_command(
    OUTPUT ${ULVO_CLI_MAN}
    COMMAND ${ULVO_HELP2MAN} --no-info --section=1 --locale=C.UTF-8
            "--name=drukarki fiskalne ULVO z wiersza poleceń" --output=${CMAKE_BINARY_DIR}/ulvo-cli.1
            $<TARGET_FILE:ulvo-cli>
    COMMAND ${ULVO_GZIP} -9nf ${CMAKE_BINARY_DIR}/ulvo-cli.1
    DEPENDS ulvo-cli
    COMMENT "Strona podręcznika ulvo-cli.1"
    VERBATIM)
  add_custom_target(ulvo_man DEPENDS ${ULVO_SIM_MAN} ${ULVO_CLI_MAN})
  install(FILES ${ULVO_SIM_MAN} ${ULVO_CLI_MAN} DESTINATION ${CMAKE_INSTALL_MANDIR}/man1)
else()
  message(STATUS "help2man or gzip missing: the package will have no manual page")
  add_custom_target(ulvo_man)
endif()

install(TARGETS ulvo ulvo-sim ulvo-cli RUNTIME DESTINATION ${CMAKE_INSTALL_BINDIR})
install(FILES ${CMAKE_SOURCE_DIR}/packaging/ulvo.desktop
        DESTINATION ${CMAKE_INSTALL_DATADIR}/applications)
install(FILES ${CMAKE_SOURCE_DIR}/packaging/ulvo.svg
        DESTINATION ${CMAKE_INSTALL_DATADIR}/icons/hicolor/scalable/apps)
# The dissector goes where Debian's Wireshark looks for global Lua plugins, and DLT_USER0 is
# given to it in the global user_dlts (a user's own user_dlts, where there is one, wins).
if(TARGET ulvo_dissector)
  install(FILES ${ULVO_DISSECTOR}
          DESTINATION lib/${CMAKE_LIBRARY_ARCHITECTURE}/wireshark/plugins)
  install(FILES ${CMAKE_SOURCE_DIR}/packaging/wireshark/user_dlts
          DESTINATION ${CMAKE_INSTALL_DATADIR}/wireshark)
endif()
install(FILES ${CMAKE_SOURCE_DIR}/README.md DESTINATION ${CMAKE_INSTALL_DOCDIR})
install(FILES ${CMAKE_SOURCE_DIR}/sim/README.md DESTINATION ${CMAKE_INSTALL_DOCDIR}
        RENAME README.ulvo-sim.md)
# The licence goes where Debian looks for it, under the name Debian gives it.
foreach(licence LICENSE LICENSE.md LICENSE.txt COPYING)
  if(EXISTS ${CMAKE_SOURCE_DIR}/${licence})
    install(FILES ${CMAKE_SOURCE_DIR}/${licence} DESTINATION ${CMAKE_INSTALL_DOCDIR}
            RENAME copyright)
    break()
  endif()
endforeach()

set(CPACK_GENERATOR DEB)
set(CPACK_PACKAGE_NAME ulvo)
set(CPACK_PACKAGE_VENDOR ULVO)
set(CPACK_PACKAGE_VERSION ${PROJECT_VERSION})
set(CPACK_PACKAGE_CONTACT "ULVO <serwis@ulvo.example.org>")
set(CPACK_PACKAGING_INSTALL_PREFIX /usr)
set(CPACK_STRIP_FILES ON)
set(CPACK_PACKAGE_DIRECTORY ${CMAKE_BINARY_DIR})
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)  # ulvo_<version>_<arch>.deb
set(CPACK_DEBIAN_PACKAGE_SECTION misc)
set(CPACK_DEBIAN_PACKAGE_PRIORITY optional)
set(CPACK_DEBIAN_PACKAGE_HOMEPAGE https://ulvo.example.org/program-uzytkownika)
# The libraries the two programs link, found by dpkg-shlibdeps.
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY
    "program serwisowy i użytkownika drukarek fiskalnych ULVO")
# The summary line comes from CPACK_PACKAGE_DESCRIPTION_SUMMARY.
set(CPACK_DEBIAN_PACKAGE_DESCRIPTION
    "Programuje drukarki fiskalne ULVO (Alta, Alta Plus, Alta Pro, Mavito),
prowadzi paragony i raporty, odczytuje dane drukarki i jej pamięć fiskalną
przez port szeregowy. Pakiet zawiera też emulator drukarki ulvo-sim.
.
Porty szeregowe (/dev/ttyS*, /dev/ttyUSB*, /dev/ttyACM*) są dostępne dla
członków grupy dialout: sudo adduser UŻYTKOWNIK dialout, potem ponowne
zalogowanie.")
include(CPack)
