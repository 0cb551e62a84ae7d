# tavro_glob(VAR dir...): the .cpp files of the given folders, re-globbed on each build so
# that adding a file needs no edit of a list.
function(tavro_glob out)
  set(files)
  foreach(dir IN LISTS ARGN)
    file(GLOB found CONFIGURE_DEPENDS ${CMAKE_SOURCE_DIR}/${dir}/*.cpp)
    list(APPEND files ${found})
  endforeach()
  list(SORT files)
  set(${out} ${files} PARENT_SCOPE)
endfunction()

# tavro_library(name dir...): a static library of the folders' sources (a folder still
# being filled gets an empty translation unit so the tree always configures).
function(tavro_library name)
  tavro_glob(sources ${ARGN})
  if(NOT sources)
    set(empty ${CMAKE_BINARY_DIR}/empty_${name}.cpp)
    file(WRITE ${empty} "// no sources yet\n")
    set(sources ${empty})
  endif()
  add_library(${name} STATIC ${sources})
endfunction()
