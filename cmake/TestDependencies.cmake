# What the tests, the benchmark and the gallery tool need beyond the program's
# own build; when any is missing, the configure stops naming the packages to install.
find_package(GTest QUIET)
find_package(X11 QUIET)
find_program(XVFB_EXECUTABLE Xvfb)
# The desktops the end-to-end tests run the viewer under, beside the bare server.
find_program(OPENBOX_EXECUTABLE openbox)
find_program(WESTON_EXECUTABLE weston)
find_program(XWAYLAND_EXECUTABLE Xwayland)
set(REQUIREMENTS GTest_FOUND:libgtest-dev X11_FOUND:libx11-dev X11_Xtst_FOUND:libxtst-dev XVFB_EXECUTABLE:xvfb
  OPENBOX_EXECUTABLE:openbox WESTON_EXECUTABLE:weston XWAYLAND_EXECUTABLE:xwayland)
if(CURVE_VIEWER_SANITIZE AND CMAKE_CXX_COMPILER_ID STREQUAL "Clang")
  # clang's sanitizers name the frames of their reports with it, and say so
  # on standard error when it is missing.
  find_program(LLVM_SYMBOLIZER llvm-symbolizer)
  list(APPEND REQUIREMENTS LLVM_SYMBOLIZER:llvm)
endif()
set(MISSING_PACKAGES "")
foreach(requirement IN LISTS REQUIREMENTS)
  string(REPLACE ":" ";" requirement ${requirement})
  list(GET requirement 0 found)
  list(GET requirement 1 package)
  if(NOT ${found})
    list(APPEND MISSING_PACKAGES ${package})
  endif()
endforeach()
if(MISSING_PACKAGES)
  list(JOIN MISSING_PACKAGES " " MISSING_PACKAGES)
  message(FATAL_ERROR "The tests need these missing packages: ${MISSING_PACKAGES}. "
    "Install them (make test does), or configure with -DBUILD_TESTING=OFF.")
endif()
