# Libraries a program loads at its first call into them instead of at
# process start: the start pays for every imported library and its own
# imports (OLE alone brings RPC and COM), though the first picture may
# need none of them.
#   tess_delay_load(<target> <library> ...)   e.g. tess_delay_load(App ole32)
# The delay-import library is made from the system import library's list of
# functions, so any function of the library goes through it; the linker
# takes it before the ordinary import library, which the layers still name.
find_program(TESS_DLLTOOL NAMES ${TOOLCHAIN_PREFIX}-dlltool REQUIRED)
find_program(TESS_NM NAMES ${TOOLCHAIN_PREFIX}-nm REQUIRED)

function(tess_delay_import_library library out_var)
  set(out ${CMAKE_BINARY_DIR}/delay/lib${library}_delay.a)
  if(NOT TARGET tess_delay_${library})
    find_file(import_lib lib${library}.a PATHS ${CMAKE_FIND_ROOT_PATH}/lib NO_DEFAULT_PATH
              NO_CACHE REQUIRED)
    execute_process(COMMAND ${TESS_NM} -g --defined-only ${import_lib}
                    OUTPUT_VARIABLE symbols COMMAND_ERROR_IS_FATAL ANY)
    # " T name" lines are the functions; i686 names carry a leading
    # underscore and keep their @n, which --kill-at drops from the names
    # the loader looks up.
    string(REGEX MATCHALL "[ \t]T [^\r\n]+" lines "${symbols}")
    set(def "LIBRARY ${library}.dll\nEXPORTS\n")
    foreach(line IN LISTS lines)
      string(REGEX REPLACE "^[ \t]T " "" name "${line}")
      if(CMAKE_SYSTEM_PROCESSOR STREQUAL "i686")
        string(REGEX REPLACE "^_" "" name "${name}")
      endif()
      string(APPEND def "  ${name}\n")
    endforeach()
    set(def_file ${CMAKE_BINARY_DIR}/delay/${library}.def)
    file(WRITE ${def_file} "${def}")
    set(kill_at "")
    if(CMAKE_SYSTEM_PROCESSOR STREQUAL "i686")
      set(kill_at --kill-at)
    endif()
    add_custom_command(OUTPUT ${out}
      COMMAND ${TESS_DLLTOOL} --input-def ${def_file} --dllname ${library}.dll ${kill_at}
              --output-delaylib ${out}
      DEPENDS ${def_file}
      COMMENT "Delay-import library for ${library}.dll")
    add_custom_target(tess_delay_${library} DEPENDS ${out})
  endif()
  set(${out_var} ${out} PARENT_SCOPE)
endfunction()

function(tess_delay_load target)
  foreach(library IN LISTS ARGN)
    tess_delay_import_library(${library} archive)
    add_dependencies(${target} tess_delay_${library})
    target_link_libraries(${target} PRIVATE ${archive})
  endforeach()
  # The helper the thunks call (__delayLoadHelper2) comes with the MinGW
  # runtime (libmingwex), which every program links.
endfunction()
