# Included by the native tree: builds the fuzz targets with clang in
# build/native/fuzz and gives each a smoke run among the tests (a few
# thousand executions from its seed corpus and its regression inputs).
# `make fuzz` runs them longer (fuzz/run.sh).
find_program(FI_CLANGXX NAMES clang++ clang++-14)
if(NOT FI_CLANGXX)
  message(WARNING "clang++ not found (tools/setup.sh installs it): no fuzz targets")
  return()
endif()

include(ExternalProject)
set(FI_FUZZ_DIR ${CMAKE_BINARY_DIR}/fuzz)
ExternalProject_Add(fuzzers
  SOURCE_DIR ${CMAKE_SOURCE_DIR}/fuzz
  BINARY_DIR ${FI_FUZZ_DIR}
  CMAKE_ARGS -DCMAKE_CXX_COMPILER=${FI_CLANGXX} -DCMAKE_BUILD_TYPE=Debug
  INSTALL_COMMAND ""
  BUILD_ALWAYS ON)

foreach(target container fontfile nameprofile namemap strmap)
  add_test(NAME fuzz.${target}.smoke
           COMMAND sh ${CMAKE_SOURCE_DIR}/fuzz/run.sh ${FI_FUZZ_DIR} --runs 3000 ${target})
  set_tests_properties(fuzz.${target}.smoke PROPERTIES TIMEOUT 120)
endforeach()
