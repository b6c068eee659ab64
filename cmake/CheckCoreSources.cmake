# Fails the build when a .cpp under browser/, tools/ or templates/ is not
# compiled into the core: a glob that misses a folder drops a file without a
# word, and the commands in it vanish with it.
# Run as: cmake -DSOURCE_DIR=... -DSOURCES_FILE=... -P CheckCoreSources.cmake
cmake_minimum_required(VERSION 3.20)
file(GLOB_RECURSE core_files ${SOURCE_DIR}/browser/*.cpp ${SOURCE_DIR}/tools/*.cpp ${SOURCE_DIR}/templates/*.cpp)
file(STRINGS ${SOURCES_FILE} listed)
set(compiled "")
foreach(source IN LISTS listed)
  get_filename_component(source ${source} ABSOLUTE BASE_DIR ${SOURCE_DIR})
  list(APPEND compiled ${source})
endforeach()
set(missing "")
foreach(file IN LISTS core_files)
  if(NOT file IN_LIST compiled)
    list(APPEND missing ${file})
  endif()
endforeach()
if(missing)
  list(JOIN missing "\n" missing)
  message(FATAL_ERROR "Not compiled into velmora_core:\n${missing}")
endif()
