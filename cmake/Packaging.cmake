# `make package`: a Debian package of the installed tree, built by CPack.

# The changelog, kept in Debian's format, names the release, its date and its
# maintainer: the package, the man page and the AppStream data take them from it.
file(STRINGS ${PROJECT_SOURCE_DIR}/data/changelog CHANGELOG_RELEASE LIMIT_COUNT 1)
string(REGEX MATCH "\\(([^)]*)\\)" _ "${CHANGELOG_RELEASE}")
if(NOT CMAKE_MATCH_1 STREQUAL PROJECT_VERSION)
  message(FATAL_ERROR "data/changelog starts with release ${CMAKE_MATCH_1}, the project is ${PROJECT_VERSION}")
endif()
file(STRINGS ${PROJECT_SOURCE_DIR}/data/changelog CHANGELOG_SIGNATURE REGEX "^ -- ")
list(GET CHANGELOG_SIGNATURE 0 CHANGELOG_SIGNATURE)
string(REGEX REPLACE "^ -- (.*>)  .*" "\\1" CURVE_VIEWER_MAINTAINER "${CHANGELOG_SIGNATURE}")
string(REGEX MATCH ", ([0-9][0-9]) ([A-Z][a-z][a-z]) ([0-9][0-9][0-9][0-9]) " _ "${CHANGELOG_SIGNATURE}")
set(MONTH_NAMES Jan Feb Mar Apr May Jun Jul Aug Sep Oct Nov Dec)
set(MONTH_NUMBERS 01 02 03 04 05 06 07 08 09 10 11 12)
list(FIND MONTH_NAMES ${CMAKE_MATCH_2} month)
list(GET MONTH_NUMBERS ${month} RELEASE_MONTH)
set(CURVE_VIEWER_RELEASE_DATE ${CMAKE_MATCH_3}-${RELEASE_MONTH}-${CMAKE_MATCH_1})

set(CPACK_GENERATOR DEB)
set(CPACK_PACKAGE_NAME curve-viewer)
set(CPACK_PACKAGE_CONTACT "${CURVE_VIEWER_MAINTAINER}")
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "viewer of six parametric plane curves")
# Debian wraps no description lines: these are the lines of the package's.
set(CPACK_PACKAGE_DESCRIPTION [[
Curve Viewer draws a parametric plane curve in white on a blue window,
over the x and y axes, with its formulas in the upper left corner.
Any character key shows the next of six curves: two sine waves, two
circles, a sine wave lifted above the x axis and a six-lobed rosette.
Escape ends the program.]])
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_SECTION math)
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
set(CPACK_STRIP_FILES ON)
set(CPACK_OBJCOPY ${CMAKE_OBJCOPY})
set(CPACK_PRE_BUILD_SCRIPTS ${CMAKE_CURRENT_LIST_DIR}/RemoveUnneededSections.cmake)
include(CPack)
