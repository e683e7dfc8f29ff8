# The main program's code except WinMain comes in layers, lowest first. A
# layer uses (includes and calls) its own folder and the layers below it,
# never one above: what a lower layer needs from a higher one is passed down
# to it (a setting it owns, a table of calls such as BarHostServices).
set(TESS_LAYERS util skins model shell types)

# tess_add_layer(<folder> <sources>...): the library tess_<folder>.
# - It links the layer just below it PUBLIC (and through that one all lower
#   layers), nothing above.
# - It compiles against an include root of its own: a folder in the build
#   tree with links to the source folders of this layer and those below, so
#   "#include" of a higher layer's header is not found.
# - Below the top layer, a check DLL links the whole library and the layers
#   under it: a call into a higher layer stays unresolved and fails that link.
function(tess_add_layer folder)
  list(FIND TESS_LAYERS ${folder} index)
  if(index LESS 0)
    message(FATAL_ERROR "tess_add_layer: ${folder} is not one of ${TESS_LAYERS}")
  endif()
  set(name tess_${folder})
  add_library(${name} STATIC ${ARGN})

  set(root ${CMAKE_BINARY_DIR}/layers/include/${folder})
  file(MAKE_DIRECTORY ${root})
  foreach(i RANGE ${index})
    list(GET TESS_LAYERS ${i} visible)
    file(CREATE_LINK ${CMAKE_SOURCE_DIR}/${visible} ${root}/${visible} SYMBOLIC)
  endforeach()
  # In place of the source root every other target compiles against.
  set_property(TARGET ${name} PROPERTY INCLUDE_DIRECTORIES ${root})

  if(index GREATER 0)
    math(EXPR below "${index} - 1")
    list(GET TESS_LAYERS ${below} lower)
    target_link_libraries(${name} PUBLIC tess_${lower})
  endif()

  list(LENGTH TESS_LAYERS count)
  math(EXPR top "${count} - 1")
  if(index LESS top)
    add_library(${name}_link_check SHARED ${CMAKE_SOURCE_DIR}/cmake/layer_link_check.c)
    target_link_libraries(${name}_link_check PRIVATE
      -Wl,--whole-archive ${name} -Wl,--no-whole-archive)
    set_target_properties(${name}_link_check PROPERTIES
      PREFIX "" RUNTIME_OUTPUT_DIRECTORY ${CMAKE_BINARY_DIR}/layers
      LIBRARY_OUTPUT_DIRECTORY ${CMAKE_BINARY_DIR}/layers
      ARCHIVE_OUTPUT_DIRECTORY ${CMAKE_BINARY_DIR}/layers)
  endif()
endfunction()
