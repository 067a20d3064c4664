# MinGW-w64 as most projects use it: without -static, so that whatever a program needs of MinGW's
# runtime libraries is a DLL it must find beside it. The C programs need none of them.
include(${CMAKE_CURRENT_LIST_DIR}/../../cmake/mingw-w64.cmake)
set(CMAKE_EXE_LINKER_FLAGS_INIT "")
