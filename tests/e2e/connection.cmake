# End-to-end checks of the driver connection with the real capture service:
# morva.exe started as a user starts it shows the default synthetic camera's
# moving picture centred in the video frame window, and a camera list whose
# driver 0 fails brings it up on driver 1, remembered at exit.
add_executable(connection_probe ${CMAKE_CURRENT_SOURCE_DIR}/connection_probe.cpp)
morva_warnings(connection_probe)
morva_win32_runtime(connection_probe)
add_test(NAME connection_picture
  COMMAND bash ${CMAKE_CURRENT_SOURCE_DIR}/connection_picture.sh ${CMAKE_BINARY_DIR})
add_test(NAME connection_fallback
  COMMAND bash ${CMAKE_CURRENT_SOURCE_DIR}/connection_fallback.sh ${CMAKE_BINARY_DIR})
