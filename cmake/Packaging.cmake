# The installed tree packed by CPack: on Linux as a Debian package (`make
# package`), on Windows as an installer and a portable zip (`make windows-package`).

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

set(CPACK_PACKAGE_NAME curve-viewer)
set(CPACK_PACKAGE_CONTACT "${CURVE_VIEWER_MAINTAINER}")
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "viewer of six parametric plane curves")
set(CPACK_STRIP_FILES ON)

if(WIN32)
  # Installed into Program Files\Curve Viewer: the program and its licence,
  # a Start Menu link and an uninstaller.
  set(CPACK_GENERATOR NSIS ZIP)
  string(REGEX REPLACE " <.*" "" CPACK_PACKAGE_VENDOR "${CURVE_VIEWER_MAINTAINER}")
  set(CPACK_PACKAGE_INSTALL_DIRECTORY "${CURVE_VIEWER_NAME}")
  set(CPACK_PACKAGE_INSTALL_REGISTRY_KEY "${CURVE_VIEWER_NAME}")
  set(CPACK_NSIS_INSTALL_ROOT "$PROGRAMFILES64")
  set(CPACK_NSIS_MENU_LINKS curve-viewer.exe "${CURVE_VIEWER_NAME}")
  set(CPACK_NSIS_INSTALLED_ICON_NAME curve-viewer.exe)
  set(CPACK_NSIS_MUI_ICON ${CURVE_VIEWER_ICON})
  set(CPACK_NSIS_MUI_UNIICON ${CURVE_VIEWER_ICON})
  set(CPACK_NSIS_CONTACT "${CURVE_VIEWER_MAINTAINER}")
  set(CPACK_RESOURCE_FILE_LICENSE ${PROJECT_SOURCE_DIR}/LICENSE)
  install(FILES ${PROJECT_SOURCE_DIR}/LICENSE DESTINATION . RENAME LICENSE.txt)
  # NSIS makes a 32-bit installer unless told otherwise, which cannot run
  # where Windows (or Wine) has no 32-bit part. It would keep the time each
  # file was staged at, which differs from build to build. CPack's uninstaller
  # leaves the vendor's registry key behind, empty. CPack reads this text once
  # more as a CMake string: hence the doubled backslash.
  set(CPACK_NSIS_DEFINES "
  Target amd64-unicode
  SetDateSave off
  Function un.onUninstSuccess
    DeleteRegKey /ifempty SHCTX 'Software\\\\${CPACK_PACKAGE_VENDOR}'
  FunctionEnd")
else()
  set(CPACK_GENERATOR DEB)
  # Debian wraps no description lines: these are the lines of the package's.
  set(CPACK_PACKAGE_DESCRIPTION [[
Curve Viewer draws a parametric plane curve in white on a blue window,
over the x and y axes, with its formulas in the upper left corner.
Any character key shows the next of six curves: two sine waves, two
circles, a sine wave lifted above the x axis and a six-lobed rosette.
Escape ends the program.]])
  set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
  set(CPACK_DEBIAN_PACKAGE_SECTION math)
  set(CPACK_OBJCOPY ${CMAKE_OBJCOPY})
  if(CMAKE_CROSSCOMPILING)
    # The cross-built program needs the sysroot's libraries, of its architecture.
    set(CPACK_DEBIAN_PACKAGE_ARCHITECTURE ${CROSS_DEBIAN_ARCH})
    set(CPACK_CURVE_VIEWER_LIBRARY_DIRS ${CROSS_SYSROOT}/lib/${CROSS_TRIPLET} ${CROSS_SYSROOT}/usr/lib/${CROSS_TRIPLET})
  endif()
  set(CPACK_PRE_BUILD_SCRIPTS ${CMAKE_CURRENT_LIST_DIR}/RemoveUnneededSections.cmake
    ${CMAKE_CURRENT_LIST_DIR}/PackageDependencies.cmake)
endif()
include(CPack)
