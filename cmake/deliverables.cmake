# The shipped files carry no debug sections (the loader would map them for
# nothing); their symbols go to <file>.debug beside them, which a debugger
# finds through the .gnu_debuglink section.
find_program(TESS_OBJCOPY NAMES ${TOOLCHAIN_PREFIX}-objcopy objcopy REQUIRED)

function(tess_split_debug_info target)
  set(out $<TARGET_FILE:${target}>)
  add_custom_command(TARGET ${target} POST_BUILD
    COMMAND ${TESS_OBJCOPY} --only-keep-debug ${out} ${out}.debug
    COMMAND ${TESS_OBJCOPY} --strip-debug --add-gnu-debuglink=${out}.debug ${out}
    WORKING_DIRECTORY $<TARGET_FILE_DIR:${target}>
    COMMENT "Splitting the debug symbols of ${target} off")
endfunction()
