# End-to-end check of the self-timer and the Options dialog: morva.exe with
# the real capture service, driven from outside by self_timer_probe.exe and
# command_driver.exe (commands.cmake).
add_executable(self_timer_probe ${CMAKE_CURRENT_SOURCE_DIR}/self_timer_probe.cpp)
morva_warnings(self_timer_probe)
morva_win32_runtime(self_timer_probe)
add_test(NAME self_timer
  COMMAND bash ${CMAKE_CURRENT_SOURCE_DIR}/self_timer.sh ${CMAKE_BINARY_DIR})
