# End-to-end checks of the cameras read through ffmpeg (its test source):
# recordings read back against ffmpeg's own frames, no ffmpeg left after a kill.
add_test(NAME ffmpeg_camera
  COMMAND bash ${CMAKE_CURRENT_SOURCE_DIR}/ffmpeg_camera.sh ${CMAKE_BINARY_DIR})
