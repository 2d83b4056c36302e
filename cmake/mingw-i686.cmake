# Cross toolchain: 32-bit Windows with MinGW-w64, win32 threads model.
# The shipped programs are built with it: the posix threads runtime
# (winpthreads) imports GetTickCount64, AddVectoredExceptionHandler,
# TryEnterCriticalSection, GetHandleInformation and the process affinity
# functions, which Windows 98/Me and NT 4.0 lack, so a program linked with it
# would not load there.  GCC 12's win32 model has no std::thread or
# std::mutex; the test programs, which need them (GoogleTest), are built with
# mingw-i686-posix.cmake instead (preset win32-tests).
set(CMAKE_SYSTEM_NAME Windows)
set(CMAKE_SYSTEM_PROCESSOR i686)
set(CMAKE_C_COMPILER i686-w64-mingw32-gcc-win32)
set(CMAKE_CXX_COMPILER i686-w64-mingw32-g++-win32)
set(CMAKE_RC_COMPILER i686-w64-mingw32-windres)
set(CMAKE_FIND_ROOT_PATH /usr/i686-w64-mingw32)
set(CMAKE_FIND_ROOT_PATH_MODE_PROGRAM NEVER)
set(CMAKE_FIND_ROOT_PATH_MODE_LIBRARY ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_INCLUDE ONLY)
# Every win32 program started by ctest runs under Wine in a prefix owned by the build tree.
set(CMAKE_CROSSCOMPILING_EMULATOR ${CMAKE_CURRENT_LIST_DIR}/wine-run)
