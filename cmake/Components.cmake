# Every folder of src/ is a component: its sources are globbed, so adding a file needs no CMake edit.

# Collects the sources below the given folders (relative to CMAKE_CURRENT_SOURCE_DIR).
function(pelune_collect_sources out)
  set(found)
  foreach(dir IN LISTS ARGN)
    file(GLOB_RECURSE srcs CONFIGURE_DEPENDS
      "${CMAKE_CURRENT_SOURCE_DIR}/${dir}/*.cpp" "${CMAKE_CURRENT_SOURCE_DIR}/${dir}/*.c")
    list(APPEND found ${srcs})
  endforeach()
  set(${out} ${found} PARENT_SCOPE)
endfunction()

# A static library made of the given folders; an interface library while none of them has sources yet.
function(pelune_library name)
  cmake_parse_arguments(ARG "" "" "DIRS;LINK" ${ARGN})
  pelune_collect_sources(srcs ${ARG_DIRS})
  if(srcs)
    add_library(${name} STATIC ${srcs})
    target_include_directories(${name} PUBLIC ${PROJECT_SOURCE_DIR}/src)
    target_link_libraries(${name} PUBLIC ${ARG_LINK})
    target_compile_definitions(${name} PUBLIC PELUNE_VERSION="${PELUNE_VERSION}")
  else()
    add_library(${name} INTERFACE)
    target_include_directories(${name} INTERFACE ${PROJECT_SOURCE_DIR}/src)
    target_link_libraries(${name} INTERFACE ${ARG_LINK})
    target_compile_definitions(${name} INTERFACE PELUNE_VERSION="${PELUNE_VERSION}")
  endif()
endfunction()
