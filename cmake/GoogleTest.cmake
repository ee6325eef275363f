# GoogleTest from Debian's source package, built with the same compiler as the code (native g++ or mingw-w64).
set(VANTARO_GTEST_SOURCE /usr/src/googletest CACHE PATH "GoogleTest sources")
set(INSTALL_GTEST OFF CACHE BOOL "" FORCE)
set(BUILD_GMOCK ON CACHE BOOL "" FORCE)
set(gtest_force_shared_crt ON CACHE BOOL "" FORCE)
add_subdirectory(${VANTARO_GTEST_SOURCE} ${CMAKE_BINARY_DIR}/googletest EXCLUDE_FROM_ALL)

# vantaro_add_gtest(name SOURCES ... LIBS ...): one test executable, one ctest entry. Under the Windows build ctest
# runs it through the cross-compiling emulator (wine with the Chinese locale).
function(vantaro_add_gtest name)
  cmake_parse_arguments(T "" "" "SOURCES;LIBS" ${ARGN})
  add_executable(${name} ${T_SOURCES})
  target_link_libraries(${name} PRIVATE ${T_LIBS} GTest::gtest GTest::gtest_main GTest::gmock)
  vantaro_warnings(${name})
  add_test(NAME ${name} COMMAND ${name} --gtest_color=no)
endfunction()
