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

# The programs run on the i486.  Compiling for it is not enough: Debian's C
# runtime, libgcc and libstdc++ are built for the i686 (CMOV, FCOMI), so the
# link takes the ones scripts/build-runtime builds for the i486.  -B puts its
# folder first for the start files (crt2.o, crtbegin.o) and the libraries.
# The folder is -DINSTALIX_RUNTIME or $INSTALIX_RUNTIME, else the one
# build-runtime --check names, looked up at each configure so that a rebuilt
# runtime is taken up.
set(CMAKE_C_FLAGS_INIT "-march=i486 -mtune=generic")
set(CMAKE_CXX_FLAGS_INIT "-march=i486 -mtune=generic")
if(DEFINED ENV{INSTALIX_RUNTIME} AND NOT "$ENV{INSTALIX_RUNTIME}" STREQUAL "")
    set(INSTALIX_RUNTIME "$ENV{INSTALIX_RUNTIME}")
elseif(NOT INSTALIX_RUNTIME)
    execute_process(COMMAND ${CMAKE_CURRENT_LIST_DIR}/../scripts/build-runtime --check
                    OUTPUT_VARIABLE INSTALIX_RUNTIME OUTPUT_STRIP_TRAILING_WHITESPACE
                    ERROR_QUIET RESULT_VARIABLE instalix_runtime_rc)
    if(NOT instalix_runtime_rc EQUAL 0)
        set(INSTALIX_RUNTIME "")
    endif()
endif()
if(NOT EXISTS "${INSTALIX_RUNTIME}/.complete")
    message(FATAL_ERROR "The runtime built for the i486 is not there: run scripts/build-runtime"
                        " (INSTALIX_RUNTIME='${INSTALIX_RUNTIME}')")
endif()
add_link_options("-B${INSTALIX_RUNTIME}/lib/")
# try_compile projects read this file again: they get the folder as it is.
list(APPEND CMAKE_TRY_COMPILE_PLATFORM_VARIABLES INSTALIX_RUNTIME)
