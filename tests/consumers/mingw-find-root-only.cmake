# A MinGW toolchain file of the usual strict kind: packages are looked for only under the target's
# root, so a host tool's package is found through <Package>_DIR alone.
include(${CMAKE_CURRENT_LIST_DIR}/../../cmake/mingw-w64.cmake)
set(CMAKE_FIND_ROOT_PATH_MODE_PACKAGE ONLY)
