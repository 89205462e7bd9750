# Cross-compiling for 64-bit Windows with Debian's MinGW-w64 (the POSIX thread model, which
# Qt needs for std::thread and std::mutex).
set(CMAKE_SYSTEM_NAME Windows)
set(CMAKE_SYSTEM_PROCESSOR x86_64)

set(ZAV_MINGW x86_64-w64-mingw32)
set(CMAKE_C_COMPILER ${ZAV_MINGW}-gcc-posix)
set(CMAKE_CXX_COMPILER ${ZAV_MINGW}-g++-posix)
set(CMAKE_RC_COMPILER ${ZAV_MINGW}-windres)

# Libraries and headers from the MinGW root only; programs (moc, rcc, the picture generator)
# from the host.
set(CMAKE_FIND_ROOT_PATH /usr/${ZAV_MINGW})
set(CMAKE_FIND_ROOT_PATH_MODE_PROGRAM NEVER)
set(CMAKE_FIND_ROOT_PATH_MODE_LIBRARY ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_INCLUDE ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_PACKAGE ONLY)
