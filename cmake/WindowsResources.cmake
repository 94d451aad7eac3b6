# The icon and the version block of curve-viewer.exe, which Explorer, the
# taskbar and the file's properties show.
find_program(ICOTOOL icotool REQUIRED)

# Every committed size, the largest kept as PNG, as Windows stores icons of 256 pixels.
set(icon_images "")
set(icon_arguments "")
foreach(size IN LISTS CURVE_VIEWER_ICON_SIZES)
  set(image ${PROJECT_SOURCE_DIR}/data/icons/${CURVE_VIEWER_APP_ID}-${size}.png)
  list(APPEND icon_images ${image})
  if(size GREATER_EQUAL 256)
    list(APPEND icon_arguments --raw=${image})
  else()
    list(APPEND icon_arguments ${image})
  endif()
endforeach()
add_custom_command(OUTPUT ${CURVE_VIEWER_ICON}
  COMMAND ${ICOTOOL} --create --output=${CURVE_VIEWER_ICON} ${icon_arguments}
  DEPENDS ${icon_images} VERBATIM)

# FILEVERSION wants four numbers.
string(REPLACE "." ";" version_numbers "${PROJECT_VERSION}.0.0.0")
list(SUBLIST version_numbers 0 4 version_numbers)
list(JOIN version_numbers "," NUMERIC_VERSION)
configure_file(${PROJECT_SOURCE_DIR}/data/windows/curve-viewer.rc.in curve-viewer.rc @ONLY)
set_source_files_properties(${CMAKE_CURRENT_BINARY_DIR}/curve-viewer.rc PROPERTIES OBJECT_DEPENDS ${CURVE_VIEWER_ICON})
target_sources(curve-viewer PRIVATE ${CMAKE_CURRENT_BINARY_DIR}/curve-viewer.rc ${CURVE_VIEWER_ICON})
