# Cross-compiles for 64-bit Windows with Debian's MinGW-w64 compilers (the posix thread model,
# which std::thread and the C++ runtime's mutexes need).
set(CMAKE_SYSTEM_NAME Windows)
set(CMAKE_SYSTEM_PROCESSOR x86_64)

set(VARNEX_MINGW_TRIPLE x86_64-w64-mingw32)
set(CMAKE_C_COMPILER ${VARNEX_MINGW_TRIPLE}-gcc-posix)
set(CMAKE_CXX_COMPILER ${VARNEX_MINGW_TRIPLE}-g++-posix)
set(CMAKE_RC_COMPILER ${VARNEX_MINGW_TRIPLE}-windres)

# Libraries and headers come from the MinGW root and from the cross-built Qt only, never from the
# machine's own /usr; programs (the host Qt tools among them) from the machine.
list(APPEND CMAKE_FIND_ROOT_PATH /usr/${VARNEX_MINGW_TRIPLE})
if(DEFINED ENV{VARNEX_WINDOWS_QT})
  list(APPEND CMAKE_FIND_ROOT_PATH $ENV{VARNEX_WINDOWS_QT})
endif()
set(CMAKE_FIND_ROOT_PATH_MODE_PROGRAM NEVER)
set(CMAKE_FIND_ROOT_PATH_MODE_LIBRARY ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_INCLUDE ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_PACKAGE ONLY)
