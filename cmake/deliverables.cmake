# The shipped files carry no debug sections (the loader would map them for
# nothing); their symbols go to <file>.debug beside them, which a debugger
# finds through the .gnu_debuglink section.
# Their sections also start on page boundaries in the file, so the loader
# can map them from the file and only the pages in use take memory; with
# the linker's default 512-byte alignment Wine reads the whole image into
# private memory.
find_program(TESS_OBJCOPY NAMES ${TOOLCHAIN_PREFIX}-objcopy objcopy REQUIRED)

function(tess_deliverable target)
  target_link_options(${target} PRIVATE -Wl,--file-alignment,0x1000)
  set(out $<TARGET_FILE:${target}>)
  add_custom_command(TARGET ${target} POST_BUILD
    COMMAND ${TESS_OBJCOPY} --only-keep-debug ${out} ${out}.debug
    COMMAND ${TESS_OBJCOPY} --strip-debug --add-gnu-debuglink=${out}.debug ${out}
    WORKING_DIRECTORY $<TARGET_FILE_DIR:${target}>
    COMMENT "Splitting the debug symbols of ${target} off")
endfunction()
