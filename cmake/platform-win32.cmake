# The Windows program: Win32 API only, fully static.
file(GLOB WIN32_SOURCES CONFIGURE_DEPENDS src/platform/win32/*.cc)
list(FILTER WIN32_SOURCES EXCLUDE REGEX "/main\\.cc$")
add_library(kelvane_win32 STATIC ${WIN32_SOURCES})
target_link_libraries(kelvane_win32 PUBLIC kelvane_core wininet ws2_32 shell32 comctl32 gdi32 uxtheme
                      user32 advapi32)
target_compile_definitions(kelvane_win32 PUBLIC UNICODE _UNICODE WIN32_LEAN_AND_MEAN NOMINMAX
                           _WIN32_WINNT=0x0601)

file(GLOB WIN32_RESOURCES CONFIGURE_DEPENDS src/platform/win32/*.rc)
add_executable(kelvane WIN32 src/platform/win32/main.cc ${WIN32_RESOURCES})
target_link_libraries(kelvane PRIVATE kelvane_win32)
target_link_options(kelvane PRIVATE -municode)
set_target_properties(kelvane PROPERTIES RUNTIME_OUTPUT_DIRECTORY ${CMAKE_BINARY_DIR})

# The manifest carries the version too; the resource compiler finds it on
# the include path next to version.h.
configure_file(src/platform/win32/kelvane.manifest.in generated/kelvane.manifest @ONLY)
set_source_files_properties(src/platform/win32/kelvane.rc PROPERTIES OBJECT_DEPENDS
                            ${CMAKE_BINARY_DIR}/generated/kelvane.manifest)
set_source_files_properties(src/platform/win32/icon.rc PROPERTIES OBJECT_DEPENDS
                            ${CMAKE_SOURCE_DIR}/src/platform/win32/kelvane.ico)
