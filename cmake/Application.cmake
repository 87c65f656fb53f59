# The application's sources. morva_portable (no windows.h) builds in both
# worlds; the Win32 shell library and morva.exe only in the cross build.
add_library(morva_portable STATIC
  ${CMAKE_SOURCE_DIR}/app/leading_integer.cpp
  ${CMAKE_SOURCE_DIR}/ui/file_name_parts.cpp ${CMAKE_SOURCE_DIR}/capture/frame_rate.cpp
)
target_include_directories(morva_portable PUBLIC ${CMAKE_SOURCE_DIR})
morva_warnings(morva_portable)
