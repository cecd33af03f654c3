# What `cmake --install` puts where, and the packages CPack makes of it:
# Linux .deb and .tar.gz, Windows .zip (scripts/package.sh makes all three).
# Packaging takes what was built: it does not build the tests first.
set(CMAKE_SKIP_INSTALL_ALL_DEPENDENCY ON)
if(WIN32)
  install(TARGETS kelvane RUNTIME DESTINATION .)
  install(FILES README.md DESTINATION . RENAME README.txt)
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
  add_custom_target(manual ALL DEPENDS generated/kelvane.1.gz)
  install(FILES ${CMAKE_BINARY_DIR}/generated/kelvane.1.gz
          DESTINATION ${CMAKE_INSTALL_MANDIR}/man1)

  set(CPACK_GENERATOR DEB TGZ)
  set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
  set(CPACK_DEBIAN_PACKAGE_SECTION utils)
  # Dependencies from the libraries the binary links (dpkg-shlibdeps).
  set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
endif()

set(CPACK_PACKAGE_NAME kelvane)
set(CPACK_PACKAGE_VERSION ${KELVANE_VERSION})
set(CPACK_PACKAGE_VENDOR ${KELVANE_COMPANY})
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY ${PROJECT_DESCRIPTION})
set(CPACK_PACKAGE_CONTACT "The Kelvane developers <kelvane@example.org>")
set(CPACK_PACKAGE_HOMEPAGE_URL "https://kelvane.example.org/")
set(CPACK_STRIP_FILES ON)
include(CPack)
