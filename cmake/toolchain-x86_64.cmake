# 64-bit Windows: the same sources, for machines that cannot run 32-bit programs.
set(CMAKE_SYSTEM_PROCESSOR x86_64)
set(TOOLCHAIN_PREFIX x86_64-w64-mingw32)
# By its full path: a loader started under the name "wine" falls back to 32-bit.
set(TESS_WINE_LOADER /usr/lib/wine/wine64)
include(${CMAKE_CURRENT_LIST_DIR}/toolchain-common.cmake)
