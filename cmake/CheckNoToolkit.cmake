# Fails the build when a core source includes a Qt header: the core is the
# program without its windows, and must build and be tested without them.
# Run as: cmake -DSOURCE_DIR=... -P CheckNoToolkit.cmake
file(GLOB_RECURSE core_files ${SOURCE_DIR}/browser/* ${SOURCE_DIR}/tools/* ${SOURCE_DIR}/templates/*)
foreach(file IN LISTS core_files)
  file(STRINGS ${file} toolkit_includes REGEX "^[ \t]*#[ \t]*include[ \t]*[<\"](Q[A-Za-z]|qt)")
  if(toolkit_includes)
    message(FATAL_ERROR "${file} includes a Qt header; the core must not: ${toolkit_includes}")
  endif()
endforeach()
