# How a program's image is laid out in its file.
#
# Sections start on page boundaries in the file, so that Wine maps a
# program's pages from the file (shared, read when touched) instead of reading
# every section into the process's own memory, as it must for sections at
# 512-byte file offsets. Windows maps an image from its file either way.
add_link_options(-Wl,--file-alignment=4096)

# The program's DWARF debug information moves into PROGRAM.exe.debug beside
# it, found by name (.gnu_debuglink): debug sections are part of the image,
# and Wine reads them into the process's memory with the rest (the client's
# 47 MB file held 40 MB of them).
function(calverin_split_debug_info target)
  set(program $<TARGET_FILE:${target}>)
  add_custom_command(TARGET ${target} POST_BUILD
    COMMAND ${CMAKE_OBJCOPY} --only-keep-debug ${program} ${program}.debug
    COMMAND ${CMAKE_OBJCOPY} --strip-debug --add-gnu-debuglink=${program}.debug ${program}
    VERBATIM)
endfunction()
