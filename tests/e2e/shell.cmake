# End-to-end checks of the application shell: the import table of morva.exe,
# and real start/close runs under Wine with the settings file they leave.
# The shipped morva.exe is the 32-bit one: a 64-bit test tree checks the
# 32-bit tree's program beside it (scripts/build.sh builds both there).
if(CMAKE_SYSTEM_PROCESSOR STREQUAL "x86_64")
  set(MORVA_SHIPPED_BIN ${CMAKE_BINARY_DIR}/../win32/bin)
else()
  set(MORVA_SHIPPED_BIN $<TARGET_FILE_DIR:morva>)
endif()
add_test(NAME shell_imports
  COMMAND bash ${CMAKE_CURRENT_SOURCE_DIR}/shell_imports.sh ${MORVA_SHIPPED_BIN})
add_test(NAME shell_run
  COMMAND bash ${CMAKE_CURRENT_SOURCE_DIR}/shell_run.sh ${CMAKE_BINARY_DIR})
