# Generated inputs of the installer's resource script.
#
#   fi_use_installer_resources(TARGET)
#       TARGET compiles resources/install.rc: it gets the folder of the
#       generated files on its include path and is built after them.
#
# tools/mkart is compiled with the build machine's own compiler (the rest of
# a Windows tree is cross-compiled) and draws the bitmaps and the icon; the
# name maps are kept as UTF-8 and converted to their code pages with iconv.
if(NOT WIN32)
  return()
endif()

set(FI_ART_DIR "${CMAKE_BINARY_DIR}/art")
find_program(FI_HOST_CXX NAMES g++ c++ REQUIRED)
find_program(FI_ICONV iconv REQUIRED)

set(_mkart "${FI_ART_DIR}/mkart")
set(_art_files checkbox.bmp layout.bmp badge.bmp sample_missing.bmp sample_test.bmp program.ico)
list(TRANSFORM _art_files PREPEND "${FI_ART_DIR}/" OUTPUT_VARIABLE FI_ART_FILES)

add_custom_command(OUTPUT ${_mkart}
  COMMAND ${CMAKE_COMMAND} -E make_directory ${FI_ART_DIR}
  COMMAND ${FI_HOST_CXX} -std=c++17 -O1 -Wall -Wextra -o ${_mkart} ${CMAKE_SOURCE_DIR}/tools/mkart/mkart.cpp
  DEPENDS ${CMAKE_SOURCE_DIR}/tools/mkart/mkart.cpp
  COMMENT "Building the art tool for the build machine")
add_custom_command(OUTPUT ${FI_ART_FILES}
  COMMAND ${_mkart} ${FI_ART_DIR}
  DEPENDS ${_mkart}
  COMMENT "Drawing the installer's bitmaps and icon")
add_custom_command(OUTPUT ${FI_ART_DIR}/namemap_1033.csv ${FI_ART_DIR}/namemap_1041.csv
  COMMAND ${CMAKE_COMMAND} -E make_directory ${FI_ART_DIR}
  COMMAND ${FI_ICONV} -f UTF-8 -t ASCII -o ${FI_ART_DIR}/namemap_1033.csv ${CMAKE_SOURCE_DIR}/resources/namemap_1033.csv
  COMMAND ${FI_ICONV} -f UTF-8 -t SHIFT_JIS -o ${FI_ART_DIR}/namemap_1041.csv ${CMAKE_SOURCE_DIR}/resources/namemap_1041.csv
  DEPENDS ${CMAKE_SOURCE_DIR}/resources/namemap_1033.csv ${CMAKE_SOURCE_DIR}/resources/namemap_1041.csv
  COMMENT "Converting the installer's name maps")
list(APPEND FI_ART_FILES ${FI_ART_DIR}/namemap_1033.csv ${FI_ART_DIR}/namemap_1041.csv)
add_custom_target(installer_art DEPENDS ${FI_ART_FILES})

file(GLOB FI_INSTALL_RC_SOURCES ${CMAKE_SOURCE_DIR}/resources/*)

function(fi_use_installer_resources target)
  add_dependencies(${target} installer_art)
  target_include_directories(${target} PRIVATE ${FI_ART_DIR})
  set_source_files_properties(${CMAKE_SOURCE_DIR}/resources/install.rc TARGET_DIRECTORY ${target}
    PROPERTIES OBJECT_DEPENDS "${FI_INSTALL_RC_SOURCES};${FI_ART_FILES}")
endfunction()
