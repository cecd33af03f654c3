# What `cmake --install` puts where, and the packages CPack makes of it:
# Linux .deb and .tar.gz, Windows .zip (scripts/package.sh makes all three).
# Packaging takes what was built: it does not build the tests first.
set(CMAKE_SKIP_INSTALL_ALL_DEPENDENCY ON)
if(WIN32)
  install(TARGETS kelvane RUNTIME DESTINATION .)
  # Plain text for Notepad (CR LF, no pictures), made from README.md; the
  # licences likewise.
  find_package(Python3 REQUIRED COMPONENTS Interpreter)
  set(readme_tool ${CMAKE_SOURCE_DIR}/packaging/win32/plain_text.py)
  add_custom_command(
    OUTPUT generated/README.txt generated/LICENSE.txt
    COMMAND Python3::Interpreter ${readme_tool} --markdown ${CMAKE_SOURCE_DIR}/README.md
            generated/README.txt
    COMMAND Python3::Interpreter ${readme_tool} ${CMAKE_SOURCE_DIR}/packaging/copyright
            generated/LICENSE.txt
    DEPENDS ${readme_tool} README.md packaging/copyright VERBATIM)
  add_custom_target(docs ALL DEPENDS generated/README.txt generated/LICENSE.txt)
  install(FILES ${CMAKE_BINARY_DIR}/generated/README.txt ${CMAKE_BINARY_DIR}/generated/LICENSE.txt
          DESTINATION .)
  set(CPACK_GENERATOR ZIP)
else()
  include(GNUInstallDirs)
  install(TARGETS kelvane RUNTIME DESTINATION ${CMAKE_INSTALL_BINDIR})
  install(FILES packaging/linux/kelvane.desktop
          DESTINATION ${CMAKE_INSTALL_DATADIR}/applications)
  foreach(size 16 32 48 256)
    install(FILES packaging/linux/icons/kelvane-${size}.png
            DESTINATION ${CMAKE_INSTALL_DATADIR}/icons/hicolor/${size}x${size}/apps
            RENAME kelvane.png)
  endforeach()

  # The manual page, with the version filled in and compressed as Debian
  # keeps them (-n: the same bytes on every build).
  configure_file(packaging/linux/kelvane.1 generated/kelvane.1 @ONLY)
  add_custom_command(OUTPUT generated/kelvane.1.gz COMMAND gzip -9nkf kelvane.1
                     WORKING_DIRECTORY ${CMAKE_BINARY_DIR}/generated
                     DEPENDS ${CMAKE_BINARY_DIR}/generated/kelvane.1 VERBATIM)
  install(FILES ${CMAKE_BINARY_DIR}/generated/kelvane.1.gz
          DESTINATION ${CMAKE_INSTALL_MANDIR}/man1)

  # The licences of the program and of what it links, and the package's
  # history, where Debian keeps them.
  set(docdir ${CMAKE_INSTALL_DATADIR}/doc/kelvane)
  install(FILES packaging/copyright DESTINATION ${docdir})
  add_custom_command(OUTPUT generated/changelog.Debian.gz
                     COMMAND gzip -9nc ${CMAKE_SOURCE_DIR}/packaging/linux/changelog
                             > generated/changelog.Debian.gz
                     DEPENDS packaging/linux/changelog)
  add_custom_target(docs ALL DEPENDS generated/kelvane.1.gz generated/changelog.Debian.gz)
  install(FILES ${CMAKE_BINARY_DIR}/generated/changelog.Debian.gz DESTINATION ${docdir})
  install(FILES packaging/linux/lintian-overrides
          DESTINATION ${CMAKE_INSTALL_DATADIR}/lintian/overrides RENAME kelvane)

  set(CPACK_GENERATOR DEB TGZ)
  set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
  # The first build of this version as a Debian package: 1.4b-1. Its
  # history is packaging/linux/changelog, whose first entry names it.
  set(CPACK_DEBIAN_PACKAGE_RELEASE 1)
  set(CPACK_DEBIAN_PACKAGE_SECTION utils)
  # Dependencies from the libraries the binary links (dpkg-shlibdeps).
  set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
endif()

set(CPACK_PACKAGE_NAME kelvane)
set(CPACK_PACKAGE_VERSION ${KELVANE_VERSION})
set(CPACK_PACKAGE_VENDOR ${KELVANE_COMPANY})
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY ${PROJECT_DESCRIPTION})
# The .deb's long description; CPack puts the summary above it.
set(CPACK_DEBIAN_PACKAGE_DESCRIPTION "Kelvane is started by a program that wants to be replaced by a newer build
of itself. It shows one small window, waits until the program has ended,
downloads the new file next to it, keeps the two previous versions as
backups, puts the new file in place and starts the program again with its
parameters. Release notes that lie next to the download are shown in the
window. A script file can name several files to replace in one run.")
set(CPACK_PACKAGE_CONTACT "The Kelvane developers <kelvane@example.org>")
set(CPACK_PACKAGE_HOMEPAGE_URL ${KELVANE_HOMEPAGE})
set(CPACK_STRIP_FILES ON)
include(CPack)
