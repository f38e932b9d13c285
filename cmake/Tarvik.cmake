# Helpers that turn a folder of sources into a target, so that adding a file
# never means editing a list.

# tarvik_library(name DIRS d1 [d2...] [EXCLUDE file...] LIBS lib...)
# Builds a static library from every .cpp in the folders and their subfolders; no target when
# there are none.
function(tarvik_library name)
  cmake_parse_arguments(ARG "" "" "DIRS;EXCLUDE;LIBS" ${ARGN})
  set(sources)
  foreach(dir IN LISTS ARG_DIRS)
    file(GLOB_RECURSE found CONFIGURE_DEPENDS ${CMAKE_SOURCE_DIR}/${dir}/*.cpp ${CMAKE_SOURCE_DIR}/${dir}/*.h)
    foreach(ex IN LISTS ARG_EXCLUDE)
      list(FILTER found EXCLUDE REGEX "/${ex}$")
    endforeach()
    list(APPEND sources ${found})
  endforeach()
  set(cpp ${sources})
  list(FILTER cpp INCLUDE REGEX "\\.cpp$")
  if(NOT cpp)
    return()
  endif()
  add_library(${name} STATIC ${sources})
  target_include_directories(${name} PUBLIC ${CMAKE_SOURCE_DIR})
  foreach(lib IN LISTS ARG_LIBS)
    if(TARGET ${lib} OR lib MATCHES "::")
      target_link_libraries(${name} PUBLIC ${lib})
    endif()
  endforeach()
  target_compile_options(${name} PRIVATE ${TARVIK_WARNINGS})
endfunction()

# tarvik_program(name main.cpp library): the program, when its main and library exist.
function(tarvik_program name main lib)
  if(EXISTS ${CMAKE_SOURCE_DIR}/${main} AND TARGET ${lib})
    add_executable(${name} ${CMAKE_SOURCE_DIR}/${main})
    target_link_libraries(${name} PRIVATE ${lib})
    target_compile_options(${name} PRIVATE ${TARVIK_WARNINGS})
  endif()
endfunction()
