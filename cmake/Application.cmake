# The application's sources. morva_portable (no windows.h) builds in both
# worlds; the Win32 shell library, the resource object and morva.exe only in
# the cross build.

# Portable pieces of app/ and ui/, listed one by one: everything else in those
# folders talks to Windows and goes into morva_shell.
set(MORVA_PORTABLE_SOURCES
  ${CMAKE_SOURCE_DIR}/app/leading_integer.cpp
  ${CMAKE_SOURCE_DIR}/ui/layout_arithmetic.cpp
  ${CMAKE_SOURCE_DIR}/ui/file_name_parts.cpp ${CMAKE_SOURCE_DIR}/capture/frame_rate.cpp
  ${CMAKE_SOURCE_DIR}/capture/command_arithmetic.cpp
  ${CMAKE_SOURCE_DIR}/capture/countdown_arithmetic.cpp ${CMAKE_SOURCE_DIR}/ui/option_values.cpp
)
add_library(morva_portable STATIC ${MORVA_PORTABLE_SOURCES})
target_include_directories(morva_portable PUBLIC ${CMAKE_SOURCE_DIR})
morva_warnings(morva_portable)

if(WIN32)
  file(GLOB morva_shell_sources CONFIGURE_DEPENDS
    ${CMAKE_SOURCE_DIR}/app/*.cpp
    ${CMAKE_SOURCE_DIR}/capture/*.cpp
    ${CMAKE_SOURCE_DIR}/ui/*.cpp
  )
  list(REMOVE_ITEM morva_shell_sources ${CMAKE_SOURCE_DIR}/app/main.cpp ${MORVA_PORTABLE_SOURCES})
  add_library(morva_shell STATIC ${morva_shell_sources})
  target_include_directories(morva_shell PUBLIC ${CMAKE_SOURCE_DIR} ${CMAKE_SOURCE_DIR}/resources)
  target_compile_definitions(morva_shell PUBLIC STRICT NOMINMAX)
  # The system import library: whichever avicap32.dll sits beside the program
  # (the real service in bin/, the test double in bin/apptests) is loaded.
  target_link_libraries(morva_shell PUBLIC morva_portable
    -lavicap32 -lcomctl32 -lcomdlg32 -lmsacm32 -lgdi32 -luser32 -lwinmm)
  morva_warnings(morva_shell)

  # The resources, as an object library so that every program linking them
  # keeps them (a static library member nobody references would be dropped).
  if(EXISTS ${CMAKE_SOURCE_DIR}/resources/morva.rc)
    add_library(morva_resources OBJECT ${CMAKE_SOURCE_DIR}/resources/morva.rc)
    target_include_directories(morva_resources PRIVATE ${CMAKE_SOURCE_DIR}/resources ${CMAKE_SOURCE_DIR})
    set(MORVA_RESOURCE_OBJECTS $<TARGET_OBJECTS:morva_resources>)
  else()
    set(MORVA_RESOURCE_OBJECTS)
  endif()

  add_executable(morva WIN32 ${CMAKE_SOURCE_DIR}/app/main.cpp ${MORVA_RESOURCE_OBJECTS})
  set_target_properties(morva PROPERTIES OUTPUT_NAME morva)
  target_link_libraries(morva PRIVATE morva_shell)
  morva_warnings(morva)
  morva_win32_runtime(morva)
endif()
