# SPDX-FileCopyrightText: 2026 The Vistral developers
#
# SPDX-License-Identifier: GPL-3.0-or-later

# Cross-building the 64-bit Windows program on Debian with mingw-w64 (the posix
# thread model, whose C++ runtime links statically like the rest):
#
#   cmake -S . -B build/windows --toolchain cmake/mingw-w64.cmake -DCMAKE_BUILD_TYPE=Release
#
# cmake/mingw-w64-i686.cmake builds the 32-bit one with the same settings.
#
# Executables built here run on this machine through wine, so tests cross-built
# with this toolchain run under ctest as they would on Windows: in a wine prefix
# of the build tree, made on first use (tests/windows/wine_run.sh).
if(NOT DEFINED VISTRAL_MINGW_PROCESSOR)
    set(VISTRAL_MINGW_PROCESSOR x86_64)
endif()
set(CMAKE_SYSTEM_NAME Windows)
set(CMAKE_SYSTEM_PROCESSOR ${VISTRAL_MINGW_PROCESSOR})

set(mingw_prefix ${VISTRAL_MINGW_PROCESSOR}-w64-mingw32)
set(CMAKE_C_COMPILER ${mingw_prefix}-gcc-posix)
set(CMAKE_CXX_COMPILER ${mingw_prefix}-g++-posix)
set(CMAKE_RC_COMPILER ${mingw_prefix}-windres)

set(CMAKE_FIND_ROOT_PATH /usr/${mingw_prefix})
set(CMAKE_FIND_ROOT_PATH_MODE_PROGRAM NEVER)
set(CMAKE_FIND_ROOT_PATH_MODE_LIBRARY ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_INCLUDE ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_PACKAGE ONLY)

# wine64 runs 64-bit programs and, with Debian's wine32 installed, 32-bit ones in
# the same 64-bit prefix, as 64-bit Windows does.
find_program(VISTRAL_WINE64 NAMES wine64 PATHS /usr/lib/wine NO_CMAKE_FIND_ROOT_PATH)
if(VISTRAL_WINE64)
    set(CMAKE_CROSSCOMPILING_EMULATOR
        ${CMAKE_CURRENT_LIST_DIR}/../tests/windows/wine_run.sh ${CMAKE_BINARY_DIR}/wine)
endif()
