# Test helpers shared by every subsystem.
#
#   fi_add_native_gtest(NAME SOURCES ... [LIBS ...])
#       A GoogleTest program of portable code, built only natively (where the
#       native preset adds AddressSanitizer and UndefinedBehaviorSanitizer);
#       each test case becomes one CTest test.
#
#   fi_add_wine_gtest(NAME SOURCES ... [LIBS ...] VERSIONS win98 win10 ...
#                     [RESOURCES file.rc ...] [GUI])
#       A GoogleTest program of Windows code, built only for Windows and run
#       under Wine once per listed Windows version, as NAME.VERSION.
#       With FI_RUN_WINDOWS_TESTS off the program is built but not run (the
#       32-bit tree on machines that cannot execute 32-bit code).

option(FI_RUN_WINDOWS_TESTS "Run the Windows test programs under Wine" ON)

if(NOT TARGET gtest)
  set(BUILD_GMOCK OFF CACHE BOOL "" FORCE)
  set(INSTALL_GTEST OFF CACHE BOOL "" FORCE)
  add_subdirectory(/usr/src/googletest ${CMAKE_BINARY_DIR}/googletest EXCLUDE_FROM_ALL)
  if(TARGET gtest)
    target_compile_options(gtest PRIVATE -w)
    target_compile_options(gtest_main PRIVATE -w)
  endif()
endif()
include(GoogleTest)

set(FI_WINE_DIR "${CMAKE_BINARY_DIR}/wine")
set(FI_TOOLS_DIR "${CMAKE_SOURCE_DIR}/tools")

function(fi_add_native_gtest name)
  cmake_parse_arguments(A "" "" "SOURCES;LIBS" ${ARGN})
  if(WIN32)
    return()
  endif()
  add_executable(${name} ${A_SOURCES})
  target_link_libraries(${name} PRIVATE ${A_LIBS} gtest_main)
  gtest_discover_tests(${name} TEST_PREFIX "${name}." DISCOVERY_TIMEOUT 60)
endfunction()

function(fi_add_wine_gtest name)
  cmake_parse_arguments(A "GUI" "" "SOURCES;LIBS;VERSIONS;RESOURCES" ${ARGN})
  if(NOT WIN32)
    return()
  endif()
  add_executable(${name} ${A_SOURCES} ${A_RESOURCES})
  target_link_libraries(${name} PRIVATE ${A_LIBS} gtest_main)
  if(NOT FI_RUN_WINDOWS_TESTS)
    return()
  endif()
  foreach(ver IN LISTS A_VERSIONS)
    add_test(NAME ${name}.${ver}
             COMMAND ${FI_TOOLS_DIR}/wine-run.sh --version ${ver} $<TARGET_FILE:${name}>)
    set_tests_properties(${name}.${ver} PROPERTIES
      FIXTURES_REQUIRED wine
      ENVIRONMENT "FI_WINE_DIR=${FI_WINE_DIR}"
      RESOURCE_LOCK wineprefix
      TIMEOUT 300)
  endforeach()
endfunction()

# A command run in the Wine environment (for tests driven by a script).
function(fi_add_wine_script_test name)
  if(NOT WIN32 OR NOT FI_RUN_WINDOWS_TESTS)
    return()
  endif()
  add_test(NAME ${name} COMMAND ${ARGN})
  set_tests_properties(${name} PROPERTIES
    FIXTURES_REQUIRED wine
    ENVIRONMENT "FI_WINE_DIR=${FI_WINE_DIR};FI_TOOLS_DIR=${FI_TOOLS_DIR}"
    RESOURCE_LOCK wineprefix
    TIMEOUT 600)
endfunction()

function(fi_add_wine_fixture)
  if(NOT WIN32 OR NOT FI_RUN_WINDOWS_TESTS)
    return()
  endif()
  add_test(NAME wine.setup COMMAND ${FI_TOOLS_DIR}/wine-harness.sh setup ${FI_WINE_DIR} ${WINE_LOADER})
  add_test(NAME wine.cleanup COMMAND ${FI_TOOLS_DIR}/wine-harness.sh cleanup ${FI_WINE_DIR})
  set_tests_properties(wine.setup PROPERTIES FIXTURES_SETUP wine TIMEOUT 120)
  set_tests_properties(wine.cleanup PROPERTIES FIXTURES_CLEANUP wine)
endfunction()
