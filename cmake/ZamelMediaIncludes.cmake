# Programs reach the headers as <zamelmedia/...>: installed, the include path is the prefix's
# include/ folder, which holds only zamelmedia/, so no folder named media/ or platform/ can meet a
# program's own. The installed headers include each other by paths relative to themselves
# ("../core/geometry.h"): the compiler looks beside the including file first, so the same text
# works in the source tree and under any prefix, with nothing rewritten at install time. In the
# build tree include/zamelmedia/ is a mirror of links to the sources (made below), so the examples
# and tests spell their includes exactly as an installed program does.
include(GNUInstallDirs)
set(ZAMELMEDIA_BUILD_INCLUDE ${PROJECT_BINARY_DIR}/include)
file(MAKE_DIRECTORY ${ZAMELMEDIA_BUILD_INCLUDE}/zamelmedia)
foreach(entry media platform zamelmedia.h)
  set(source ${PROJECT_SOURCE_DIR}/${entry})
  if(entry STREQUAL "zamelmedia.h")
    set(source ${PROJECT_SOURCE_DIR}/include/zamelmedia/zamelmedia.h)
  endif()
  file(CREATE_LINK ${source} ${ZAMELMEDIA_BUILD_INCLUDE}/zamelmedia/${entry} SYMBOLIC)
endforeach()
foreach(library media platform)
  target_include_directories(${library} INTERFACE $<BUILD_INTERFACE:${ZAMELMEDIA_BUILD_INCLUDE}>
                                                  $<INSTALL_INTERFACE:${CMAKE_INSTALL_INCLUDEDIR}>)
endforeach()
