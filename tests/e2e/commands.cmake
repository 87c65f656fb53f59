# End-to-end check of the commands: morva.exe with the real capture service,
# driven from another process by command_driver.exe; the files it writes and
# the clipboard are read back by ImageMagick, ffprobe and ffmpeg.
add_executable(command_driver ${CMAKE_CURRENT_SOURCE_DIR}/command_driver.cpp)
morva_warnings(command_driver)
morva_win32_runtime(command_driver)
add_test(NAME commands
  COMMAND bash ${CMAKE_CURRENT_SOURCE_DIR}/commands.sh ${CMAKE_BINARY_DIR})
