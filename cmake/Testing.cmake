# GoogleTest for both targets and one helper to declare a test program.
# Natively the system's GoogleTest is used; for Windows it is built from the
# source that Debian's googletest package ships.
include(GoogleTest)

if(CMAKE_CROSSCOMPILING)
  set(gtest_force_shared_crt OFF CACHE BOOL "" FORCE)
  set(INSTALL_GTEST OFF CACHE BOOL "" FORCE)
  add_subdirectory(/usr/src/googletest ${CMAKE_BINARY_DIR}/googletest EXCLUDE_FROM_ALL SYSTEM)
else()
  find_package(GTest REQUIRED)
endif()

# corvane_add_gtest(NAME src... LIBS lib... [LABELS label...] [PROPERTIES prop value ...])
# Builds a GoogleTest program and registers its tests with CTest.
function(corvane_add_gtest name)
  cmake_parse_arguments(ARG "" "" "SOURCES;LIBS;LABELS;PROPERTIES" ${ARGN})
  add_executable(${name} ${ARG_SOURCES} ${ARG_UNPARSED_ARGUMENTS})
  target_link_libraries(${name} PRIVATE GTest::gtest_main ${ARG_LIBS} corvane_warnings)
  if(CMAKE_CROSSCOMPILING)
    # One CTest test per program: every Wine start costs time, so the program
    # runs all its tests in one go (CTest adds the Wine emulator itself).
    add_test(NAME windows.${name} COMMAND ${name} --gtest_color=no)
    set_tests_properties(windows.${name} PROPERTIES LABELS "windows;${ARG_LABELS}" ${ARG_PROPERTIES})
  else()
    # Discovered tests take one label (a list would not survive the discovery
    # script); the platform shows in the "linux." name prefix.
    set(label linux)
    if(ARG_LABELS)
      list(GET ARG_LABELS 0 label)
    endif()
    gtest_discover_tests(${name}
      TEST_PREFIX "linux."
      PROPERTIES LABELS "${label}" ${ARG_PROPERTIES})
  endif()
endfunction()
