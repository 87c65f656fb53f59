# End-to-end checks of recordings: the Wine recording tests write AVI files,
# ffprobe and ffmpeg read them back.
add_test(NAME record_files
  COMMAND bash ${CMAKE_CURRENT_SOURCE_DIR}/record_files.sh ${CMAKE_BINARY_DIR})
add_test(NAME record_kill
  COMMAND bash ${CMAKE_CURRENT_SOURCE_DIR}/record_kill.sh ${CMAKE_BINARY_DIR})
add_test(NAME record_audio_formats
  COMMAND bash ${CMAKE_CURRENT_SOURCE_DIR}/record_audio_formats.sh ${CMAKE_BINARY_DIR})
