# libsodium for the download check. Linux: Debian's libsodium-dev. Windows:
# Debian's libsodium source package, compiled here into the static exe. The check never calls sodium_init: that
# would pull in every CPU variant of every primitive; the portable code the
# check needs runs without it.
if(WIN32)
  execute_process(COMMAND bash ${CMAKE_SOURCE_DIR}/scripts/fetch-libsodium.sh
                          ${CMAKE_BINARY_DIR}/libsodium-source
                  OUTPUT_VARIABLE SODIUM_TREE OUTPUT_STRIP_TRAILING_WHITESPACE
                  RESULT_VARIABLE SODIUM_FETCHED)
  if(NOT SODIUM_FETCHED EQUAL 0)
    message(FATAL_ERROR "Debian's libsodium source package could not be fetched")
  endif()
  enable_language(C)
  set(S ${SODIUM_TREE}/src/libsodium)
  # All of it as a static library: the linker takes the objects that the
  # check's calls reach, and drops every function that nothing calls.
  file(GLOB_RECURSE SODIUM_SOURCES ${S}/*.c)
  add_library(sodium STATIC ${SODIUM_SOURCES})
  set(VERSION 1.0.18)
  set(SODIUM_LIBRARY_VERSION_MAJOR 10)
  set(SODIUM_LIBRARY_VERSION_MINOR 3)
  set(SODIUM_LIBRARY_MINIMAL_DEF "#define SODIUM_LIBRARY_MINIMAL 1")
  # Beside the headers that it includes (the tree is the build folder's).
  configure_file(${S}/include/sodium/version.h.in ${S}/include/sodium/version.h @ONLY)
  target_include_directories(sodium PUBLIC ${S}/include PRIVATE ${S}/include/sodium)
  target_compile_definitions(sodium PUBLIC SODIUM_STATIC
                             PRIVATE CONFIGURED=1 NATIVE_LITTLE_ENDIAN=1 HAVE_WEAK_SYMBOLS=1)
  # Not our code; no unwind tables: they would keep every function alive.
  target_compile_options(sodium PRIVATE -w -fno-asynchronous-unwind-tables -fno-unwind-tables)
  target_link_libraries(kelvane_core PUBLIC sodium)
else()
  find_package(PkgConfig REQUIRED)
  pkg_check_modules(SODIUM REQUIRED IMPORTED_TARGET libsodium)
  target_link_libraries(kelvane_core PUBLIC PkgConfig::SODIUM)
endif()
