# The Linux program: FLTK for the window, libcurl for fetching.
find_package(CURL REQUIRED)
find_package(X11 REQUIRED)
find_program(FLTK_CONFIG fltk-config REQUIRED)
execute_process(COMMAND ${FLTK_CONFIG} --cxxflags OUTPUT_VARIABLE FLTK_CXXFLAGS
                OUTPUT_STRIP_TRAILING_WHITESPACE)
execute_process(COMMAND ${FLTK_CONFIG} --ldflags OUTPUT_VARIABLE FLTK_LDFLAGS
                OUTPUT_STRIP_TRAILING_WHITESPACE)
separate_arguments(FLTK_CXXFLAGS)
separate_arguments(FLTK_LDFLAGS)

file(GLOB LINUX_SOURCES CONFIGURE_DEPENDS src/platform/linux/*.cc)
list(FILTER LINUX_SOURCES EXCLUDE REGEX "main\\.cc$")
add_library(kelvane_linux STATIC ${LINUX_SOURCES})
target_link_libraries(kelvane_linux PUBLIC kelvane_core CURL::libcurl ${FLTK_LDFLAGS} X11::Xext
                      X11::X11)
target_compile_options(kelvane_linux PUBLIC ${FLTK_CXXFLAGS})

add_executable(kelvane src/platform/linux/main.cc)
target_link_libraries(kelvane PRIVATE kelvane_linux)
set_target_properties(kelvane PROPERTIES RUNTIME_OUTPUT_DIRECTORY ${CMAKE_BINARY_DIR})
