# End-to-end checks of the application shell: the import table of morva.exe,
# and real start/close runs under Wine with the settings file they leave.
add_test(NAME shell_imports
  COMMAND bash ${CMAKE_CURRENT_SOURCE_DIR}/shell_imports.sh $<TARGET_FILE_DIR:morva>)
add_test(NAME shell_run
  COMMAND bash ${CMAKE_CURRENT_SOURCE_DIR}/shell_run.sh ${CMAKE_BINARY_DIR})
