# Compiles for 64-bit Windows with clang, against MinGW-w64's headers and
# libstdc++ (Debian's g++-mingw-w64 POSIX flavour). Used by tools/run-lint for
# its compile database: the compile and analysis steps, not for linking.
set(CMAKE_SYSTEM_NAME Windows)
set(CMAKE_SYSTEM_PROCESSOR x86_64)

set(ZARV_MINGW_TRIPLE x86_64-w64-mingw32)
set(CMAKE_C_COMPILER   clang-14)
set(CMAKE_CXX_COMPILER clang++-14)
set(CMAKE_C_COMPILER_TARGET   ${ZARV_MINGW_TRIPLE})
set(CMAKE_CXX_COMPILER_TARGET ${ZARV_MINGW_TRIPLE})
set(CMAKE_RC_COMPILER  ${ZARV_MINGW_TRIPLE}-windres)
# Nothing is linked: the compiler checks build static libraries.
set(CMAKE_TRY_COMPILE_TARGET_TYPE STATIC_LIBRARY)

set(CMAKE_FIND_ROOT_PATH /usr/${ZARV_MINGW_TRIPLE})
set(CMAKE_FIND_ROOT_PATH_MODE_PROGRAM NEVER)
set(CMAKE_FIND_ROOT_PATH_MODE_LIBRARY ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_INCLUDE ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_PACKAGE ONLY)

# clang finds MinGW-w64's headers by itself but not the cross g++'s libstdc++:
# take its folders from g++ (not g++'s own intrinsics folders, which clang
# replaces with its own).
execute_process(COMMAND ${ZARV_MINGW_TRIPLE}-g++-posix -x c++ -E -v -
                INPUT_FILE /dev/null OUTPUT_QUIET ERROR_VARIABLE report RESULT_VARIABLE failed)
if(failed)
  message(FATAL_ERROR "${ZARV_MINGW_TRIPLE}-g++-posix did not report its header folders")
endif()
string(REGEX REPLACE ".*#include <...> search starts here:\n(.*)\nEnd of search list.*" "\\1" folders "${report}")
string(REGEX REPLACE "[ \t]*\n[ \t]*" ";" folders "${folders}")
set(CMAKE_CXX_FLAGS_INIT "")
foreach(folder ${folders})
  string(STRIP "${folder}" folder)
  if(folder MATCHES "/include/c\\+\\+")
    string(APPEND CMAKE_CXX_FLAGS_INIT " -isystem ${folder}")
  endif()
endforeach()
