# End-to-end checks of the capture service: Wine programs write files, and
# independent readers (ImageMagick, ffprobe) check them.
add_test(NAME service_bmp
  COMMAND bash ${CMAKE_CURRENT_SOURCE_DIR}/service_bmp.sh ${CMAKE_BINARY_DIR})
add_test(NAME service_wide_names
  COMMAND bash ${CMAKE_CURRENT_SOURCE_DIR}/service_wide_names.sh ${CMAKE_BINARY_DIR})
