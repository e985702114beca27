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
#       under Wine once per listed Windows version, as NAME.VERSION, in the
#       Wine prefix of that version's kind (see below).
#       With FI_RUN_WINDOWS_TESTS off the program is built but not run (the
#       32-bit tree on machines that cannot execute 32-bit code).
#
#   fi_add_wine_script_test(NAME [VERSION ver] [COMMAND] ...)
#       A command run in the Wine environment (tests driven by a script), in
#       the prefix of ver (default win10); FI_WINE_DIR names that prefix.
#
# Each emulated version runs in the kind of system it was. Windows 95/98/Me,
# NT 3.51, NT 4.0, 2000 and XP were 32-bit systems: they run in a 32-bit
# prefix ("legacy"). Windows 7 and 10 run in a 64-bit prefix ("current"),
# where 32-bit programs see the registry through its 32-bit view, as on a
# real 64-bit Windows. The 64-bit tree, for machines that cannot run 32-bit
# code, uses a 64-bit prefix for both. The two prefixes are independent, so a
# test of each can run at the same time.

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
if(CMAKE_SYSTEM_PROCESSOR STREQUAL "i686")
  set(FI_WINE_LEGACY_ARCH win32)
else()
  set(FI_WINE_LEGACY_ARCH win64)
endif()

# The prefix ("legacy" or "current") in which Windows version ver runs.
function(fi_wine_prefix_of ver out)
  if(ver MATCHES "^(win95|win98|winme|nt351|nt40|win2k|winxp)$")
    set(${out} legacy PARENT_SCOPE)
  elseif(ver MATCHES "^(win7|win8|win81|win10)$")
    set(${out} current PARENT_SCOPE)
  else()
    message(FATAL_ERROR "no Wine prefix for Windows version '${ver}'")
  endif()
endfunction()

# Test properties that put a test into the prefix of ver.
function(fi_wine_test_in_prefix test ver)
  fi_wine_prefix_of(${ver} prefix)
  set_tests_properties(${test} PROPERTIES
    FIXTURES_REQUIRED wine.${prefix}
    ENVIRONMENT "FI_WINE_DIR=${FI_WINE_DIR}/${prefix};FI_TOOLS_DIR=${FI_TOOLS_DIR}"
    RESOURCE_LOCK wine.${prefix})
endfunction()

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
    fi_wine_test_in_prefix(${name}.${ver} ${ver})
    set_tests_properties(${name}.${ver} PROPERTIES TIMEOUT 300)
  endforeach()
endfunction()

function(fi_add_wine_script_test name)
  cmake_parse_arguments(A "" "VERSION" "COMMAND" ${ARGN})
  if(NOT WIN32 OR NOT FI_RUN_WINDOWS_TESTS)
    return()
  endif()
  if(NOT A_VERSION)
    set(A_VERSION win10)
  endif()
  if(NOT A_COMMAND)
    set(A_COMMAND ${A_UNPARSED_ARGUMENTS})
  endif()
  add_test(NAME ${name} COMMAND ${A_COMMAND})
  fi_wine_test_in_prefix(${name} ${A_VERSION})
  set_tests_properties(${name} PROPERTIES TIMEOUT 600)
endfunction()

function(fi_add_wine_fixture)
  if(NOT WIN32 OR NOT FI_RUN_WINDOWS_TESTS)
    return()
  endif()
  foreach(prefix legacy current)
    if(prefix STREQUAL "legacy")
      set(arch ${FI_WINE_LEGACY_ARCH})
    else()
      set(arch win64)
    endif()
    add_test(NAME wine.${prefix}.setup
             COMMAND ${FI_TOOLS_DIR}/wine-harness.sh setup ${FI_WINE_DIR}/${prefix} ${WINE_LOADER} ${arch}
                     $<TARGET_FILE:window_probe>)
    add_test(NAME wine.${prefix}.cleanup
             COMMAND ${FI_TOOLS_DIR}/wine-harness.sh cleanup ${FI_WINE_DIR}/${prefix})
    set_tests_properties(wine.${prefix}.setup PROPERTIES FIXTURES_SETUP wine.${prefix} TIMEOUT 180)
    set_tests_properties(wine.${prefix}.cleanup PROPERTIES FIXTURES_CLEANUP wine.${prefix})
  endforeach()
endfunction()
