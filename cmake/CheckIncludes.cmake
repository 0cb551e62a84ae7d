# Run as a script (cmake -DSRC_DIR=... -P CheckIncludes.cmake) on every build: an include
# in src/ that names a header by a path leaving its folder ("../forms/metrics.h") or by an
# absolute path would be found beside the including file, past the include roots that
# keep each layer to the headers it may see. Such an include fails the build.
file(GLOB_RECURSE sources ${SRC_DIR}/*.h ${SRC_DIR}/*.cpp ${SRC_DIR}/*.h.in)
set(bad)
foreach(source IN LISTS sources)
  file(STRINGS ${source} lines REGEX "^[ \t]*#[ \t]*include[ \t]*[\"<]")
  foreach(line IN LISTS lines)
    if(line MATCHES "include[ \t]*[\"<]([^\">]*)[\">]")
      set(name ${CMAKE_MATCH_1})
      if(name MATCHES "(^|/)\\.\\.(/|$)" OR name MATCHES "^/")
        file(RELATIVE_PATH rel ${SRC_DIR} ${source})
        list(APPEND bad "  src/${rel}: ${line}")
      endif()
    endif()
  endforeach()
endforeach()
if(bad)
  list(JOIN bad "\n" text)
  message(FATAL_ERROR "includes must name headers from their layer's root "
                      "(\"os/window.h\"), not by a relative or absolute path:\n${text}")
endif()
