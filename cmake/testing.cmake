# GoogleTest cross-built from Debian's sources, and the helper that makes one
# Wine-run test executable per subsystem.
set(GTEST_SOURCE_DIR /usr/src/googletest CACHE PATH "GoogleTest sources")
set(INSTALL_GTEST OFF CACHE BOOL "" FORCE)
set(BUILD_GMOCK ON CACHE BOOL "" FORCE)
add_subdirectory(${GTEST_SOURCE_DIR} ${CMAKE_BINARY_DIR}/googletest EXCLUDE_FROM_ALL)
foreach(t gtest gmock)
  if(TARGET ${t})
    target_compile_options(${t} PRIVATE -w)
  endif()
endforeach()

# Windows path of a Linux path as Wine's Z: drive sees it.
function(tess_wine_path out linux_path)
  string(REPLACE "/" "\\" p "${linux_path}")
  set(${out} "Z:${p}" PARENT_SCOPE)
endfunction()

# tess_add_test(<name> SOURCES ... [LIBS ...] [TIMEOUT s])
# A console program (assert() must not open a message box) run through Wine.
function(tess_add_test name)
  cmake_parse_arguments(T "" "TIMEOUT" "SOURCES;LIBS" ${ARGN})
  add_executable(${name} ${T_SOURCES})
  target_link_libraries(${name} PRIVATE tess_test_support ${T_LIBS} gmock gtest)
  if(NOT T_TIMEOUT)
    set(T_TIMEOUT 300)
  endif()
  add_test(NAME ${name}
           COMMAND bash ${CMAKE_SOURCE_DIR}/cmake/run_wine_test.sh ${CMAKE_CROSSCOMPILING_EMULATOR} $<TARGET_FILE:${name}>)
  tess_wine_path(bin_dir "${CMAKE_BINARY_DIR}/bin")
  tess_wine_path(src_dir "${CMAKE_SOURCE_DIR}")
  # Wine's recycle bin is the host's trash under XDG_DATA_HOME, and its menu
  # builder writes there too: each test program gets a folder of its own in
  # the build tree, so no test touches the user's real Trash.
  set(data_home "${CMAKE_BINARY_DIR}/trash/${name}")
  file(MAKE_DIRECTORY "${data_home}/Trash/files" "${data_home}/Trash/info")
  set_tests_properties(${name} PROPERTIES TIMEOUT ${T_TIMEOUT}
    ENVIRONMENT "TESS_BIN_DIR=${bin_dir};TESS_SOURCE_DIR=${src_dir};XDG_DATA_HOME=${data_home}")
endfunction()
