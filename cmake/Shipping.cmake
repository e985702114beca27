# The programs that go onto a package disc.
#
#   fi_ship_stripped(TARGET)
#       After each link, TARGET's debug information is copied into
#       <file>.debug beside it in the build tree, and the file itself is
#       stripped of its debug sections and symbols and given a
#       .gnu_debuglink to the .debug file, where gdb finds it. The static
#       C++ runtime brings half a megabyte and more of debug sections, which
#       would otherwise double the size of install.exe on the disc.
if(NOT WIN32)
  return()
endif()

function(fi_ship_stripped target)
  set(file $<TARGET_FILE:${target}>)
  add_custom_command(TARGET ${target} POST_BUILD
    COMMAND ${CMAKE_OBJCOPY} --only-keep-debug ${file} ${file}.debug
    COMMAND ${CMAKE_OBJCOPY} --strip-all --add-gnu-debuglink=${file}.debug ${file}
    VERBATIM)
endfunction()
