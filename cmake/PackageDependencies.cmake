# Run by CPack on the staged tree before it packs it: the package depends on
# what dpkg-shlibdeps computes from the libraries the program needs. Where it
# finds no dependency information for one of them, the packaging fails and
# names it; CPack's own run of dpkg-shlibdeps would leave that library out,
# down to a package that depends on nothing at all.
file(GLOB_RECURSE staged_programs "${CPACK_TEMPORARY_INSTALL_DIRECTORY}/*/bin/*")
# dpkg-shlibdeps reads the package's debian/control, which needs no content here.
set(work "${CPACK_TEMPORARY_INSTALL_DIRECTORY}.shlibdeps")
file(MAKE_DIRECTORY "${work}/debian")
file(TOUCH "${work}/debian/control")
list(TRANSFORM CPACK_CURVE_VIEWER_LIBRARY_DIRS PREPEND -l OUTPUT_VARIABLE library_dirs)
set(host_architecture "")
if(CPACK_DEBIAN_PACKAGE_ARCHITECTURE)
  set(host_architecture DEB_HOST_ARCH=${CPACK_DEBIAN_PACKAGE_ARCHITECTURE})
endif()
execute_process(COMMAND ${CMAKE_COMMAND} -E env LC_ALL=C ${host_architecture}
    dpkg-shlibdeps ${library_dirs} -O ${staged_programs}
  WORKING_DIRECTORY "${work}"
  OUTPUT_VARIABLE substitution_variables ERROR_VARIABLE shlibdeps_said RESULT_VARIABLE shlibdeps_status)
file(REMOVE_RECURSE "${work}")
string(REGEX MATCH "shlibs:Depends=([^\n]*)" _ "${substitution_variables}")
if(NOT shlibdeps_status EQUAL 0 OR NOT CMAKE_MATCH_1)
  message(FATAL_ERROR "The package's dependencies are unknown: dpkg-shlibdeps said\n${shlibdeps_said}")
endif()
set(CPACK_DEBIAN_PACKAGE_DEPENDS "${CMAKE_MATCH_1}")
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS OFF)
