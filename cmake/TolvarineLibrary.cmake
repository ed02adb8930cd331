# tolvarine_library(NAME DEPS ... [EXCLUDE file ...]): one static library per source folder.
# Sources are gathered from the folder so that adding a file needs no edit here.
function(tolvarine_library name)
  cmake_parse_arguments(ARG "" "" "DEPS;EXCLUDE" ${ARGN})
  file(GLOB_RECURSE sources CONFIGURE_DEPENDS
       ${CMAKE_CURRENT_SOURCE_DIR}/*.cpp ${CMAKE_CURRENT_SOURCE_DIR}/*.h
       ${CMAKE_CURRENT_SOURCE_DIR}/*.ui ${CMAKE_CURRENT_SOURCE_DIR}/*.qrc)
  foreach(excluded ${ARG_EXCLUDE})
    list(REMOVE_ITEM sources ${CMAKE_CURRENT_SOURCE_DIR}/${excluded})
  endforeach()
  set(compiled ${sources})
  list(FILTER compiled INCLUDE REGEX "\\.cpp$")
  if(NOT compiled)
    # A layer whose code is not written yet still links, so the layers above build.
    set(placeholder ${CMAKE_CURRENT_BINARY_DIR}/${name}_empty.cpp)
    file(WRITE ${placeholder} "// ${name} has no sources yet\n")
    list(APPEND sources ${placeholder})
  endif()
  add_library(${name} STATIC ${sources})
  # The Qt code generator reruns only when a file it scanned last time changes, so a new
  # .ui or header in an existing build folder would go unnoticed: when the folder's file
  # list differs from the last configure, its stamp is removed and the generator reruns.
  string(SHA1 listed "${sources}")
  if(NOT listed STREQUAL "${TOLVARINE_SOURCES_${name}}")
    file(REMOVE ${CMAKE_CURRENT_BINARY_DIR}/${name}_autogen/timestamp)
    set(TOLVARINE_SOURCES_${name} ${listed} CACHE INTERNAL "")
  endif()
  target_include_directories(${name} PUBLIC ${PROJECT_SOURCE_DIR}/src)
  target_link_libraries(${name} PUBLIC ${ARG_DEPS})
endfunction()
