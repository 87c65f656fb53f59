# Compiler warnings for every target of ours; MORVA_WERROR (set by CI) makes them fatal.
option(MORVA_WERROR "Treat warnings as errors" OFF)

function(morva_warnings target)
  target_compile_options(${target} PRIVATE -Wall -Wextra -Wformat=2 -Wshadow -Wno-cast-function-type)
  if(MORVA_WERROR)
    target_compile_options(${target} PRIVATE -Werror)
  endif()
endfunction()

# Windows targets: static language runtimes so that only system DLLs are imported.
function(morva_win32_runtime target)
  target_link_options(${target} PRIVATE -static -static-libgcc -static-libstdc++)
endfunction()
