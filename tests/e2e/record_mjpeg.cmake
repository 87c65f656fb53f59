# End-to-end check of a recording compressed by Morva's Motion JPEG codec,
# chosen in morva.exe's compression dialog.
add_test(NAME record_mjpeg
  COMMAND bash ${CMAKE_CURRENT_SOURCE_DIR}/record_mjpeg.sh ${CMAKE_BINARY_DIR})
# The shipped (32-bit) codec imports system DLLs only; MORVA_SHIPPED_BIN
# comes from shell.cmake.
add_test(NAME codec_imports
  COMMAND bash ${CMAKE_CURRENT_SOURCE_DIR}/codec_imports.sh ${MORVA_SHIPPED_BIN})
