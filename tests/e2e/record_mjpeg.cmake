# End-to-end check of a recording compressed by Morva's Motion JPEG codec,
# chosen in morva.exe's compression dialog.
add_test(NAME record_mjpeg
  COMMAND bash ${CMAKE_CURRENT_SOURCE_DIR}/record_mjpeg.sh ${CMAKE_BINARY_DIR})
