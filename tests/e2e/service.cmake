# End-to-end checks of the capture service: Wine programs write files, and
# independent readers (ImageMagick, ffprobe) check them.
add_test(NAME service_bmp
  COMMAND bash ${CMAKE_CURRENT_SOURCE_DIR}/service_bmp.sh ${CMAKE_BINARY_DIR})
