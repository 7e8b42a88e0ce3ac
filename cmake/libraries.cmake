# Every folder of the project is one library that shows its users its own headers and nothing
# else: its include root holds only a link to the folder, under the folder's path from the
# repository's root, so `#include "app/model/node.h"` reads the same everywhere while a
# library that does not link mm_model cannot include it.

# The repository's root, also for a build that adds this project as a subfolder of its own.
get_filename_component(MM_SOURCE_ROOT ${CMAKE_CURRENT_LIST_DIR}/.. ABSOLUTE)
set(MM_SOURCE_ROOT ${MM_SOURCE_ROOT} CACHE INTERNAL "The repository's root")
set(MM_INCLUDE_ROOTS ${CMAKE_CURRENT_BINARY_DIR}/include_roots CACHE INTERNAL "Generated include roots")

# mm_include_root(<target> <PUBLIC|PRIVATE|INTERFACE> [<folder>]): makes <folder> (default: the
# current source folder) includable by its path from the repository's root.
function(mm_include_root target scope)
  set(folder ${CMAKE_CURRENT_SOURCE_DIR})
  if(ARGC GREATER 2)
    set(folder ${ARGV2})
  endif()
  file(RELATIVE_PATH rel ${MM_SOURCE_ROOT} ${folder})
  string(REPLACE "/" "_" tag ${rel})
  set(root ${MM_INCLUDE_ROOTS}/${tag})
  get_filename_component(parent ${root}/${rel} DIRECTORY)
  file(MAKE_DIRECTORY ${parent})
  if(NOT IS_SYMLINK ${root}/${rel})
    file(CREATE_LINK ${folder} ${root}/${rel} RESULT linked SYMBOLIC)
    # A Windows host without the right to make links: the whole tree is visible, and the
    # layering check of the test command still holds the layers.
    if(NOT linked EQUAL 0)
      set(root ${MM_SOURCE_ROOT})
    endif()
  endif()
  target_include_directories(${target} ${scope} ${root})
endfunction()

# mm_library(<name> <sources...>): a static library of the project's own code in the current
# folder.
function(mm_library name)
  add_library(${name} STATIC ${ARGN})
  mm_include_root(${name} PUBLIC)
  mm_warnings(${name})
endfunction()

# mm_header_library(<name>): a library of headers only, in the current folder.
function(mm_header_library name)
  add_library(${name} INTERFACE)
  mm_include_root(${name} INTERFACE)
endfunction()

# mm_link(<name> <deps...>): what the library's own headers and sources include.
function(mm_link name)
  target_link_libraries(${name} PUBLIC ${ARGN})
endfunction()
