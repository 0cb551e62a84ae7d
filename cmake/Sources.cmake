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

# tavro_library(name dir...): a static library of the folders' sources.
function(tavro_library name)
  tavro_glob(sources ${ARGN})
  add_library(${name} STATIC ${sources})
endfunction()

# Include roots: one folder per target under <build>/include holding symbolic links to
# exactly the headers that target grants, at their path below src/ ("os/window.h").
set(TAVRO_INCLUDE_ROOT ${CMAKE_BINARY_DIR}/include)

# tavro_header_root(root header...): makes root anew with links to the given headers.
function(tavro_header_root root)
  file(REMOVE_RECURSE ${root})
  foreach(header IN LISTS ARGN)
    file(RELATIVE_PATH rel ${CMAKE_SOURCE_DIR}/src ${header})
    get_filename_component(parent ${root}/${rel} DIRECTORY)
    file(MAKE_DIRECTORY ${parent})
    file(CREATE_LINK ${header} ${root}/${rel} SYMBOLIC)
  endforeach()
endfunction()

# tavro_layer(name DIRS dir... [HIDE header...]): the static library of one layer or
# subsystem of src/. Its own sources see every header of its folders; what links it sees
# only its public headers: all but *_internal.h and the HIDE ones (paths below src/). So a
# header of a layer that a target does not link, or an internal one, fails to include.
function(tavro_layer name)
  cmake_parse_arguments(PARSE_ARGV 1 arg "" "" "DIRS;HIDE")
  tavro_library(${name} ${arg_DIRS})
  set(all)
  foreach(dir IN LISTS arg_DIRS)
    file(GLOB headers CONFIGURE_DEPENDS ${CMAKE_SOURCE_DIR}/${dir}/*.h)
    list(APPEND all ${headers})
  endforeach()
  set(public ${all})
  list(FILTER public EXCLUDE REGEX "_internal\\.h$")
  foreach(hidden IN LISTS arg_HIDE)
    list(REMOVE_ITEM public ${CMAKE_SOURCE_DIR}/src/${hidden})
  endforeach()
  tavro_header_root(${TAVRO_INCLUDE_ROOT}/${name}-private ${all})
  tavro_header_root(${TAVRO_INCLUDE_ROOT}/${name} ${public})
  target_include_directories(${name} PRIVATE ${TAVRO_INCLUDE_ROOT}/${name}-private
                             PUBLIC ${TAVRO_INCLUDE_ROOT}/${name})
endfunction()
