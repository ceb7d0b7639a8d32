# SPDX-FileCopyrightText: 2026 The Vistral developers
#
# SPDX-License-Identifier: GPL-3.0-or-later

# Cross-building the 32-bit Windows program, for 32-bit Windows 7 SP1 and later:
#
#   cmake -S . -B build/windows32 --toolchain cmake/mingw-w64-i686.cmake -DCMAKE_BUILD_TYPE=Release
#
# Arithmetic in SSE2, never x87: with x87's 64-bit significands, reading a number
# as S x 10^p or S / 10^p in one operation rounds twice, and some texts would read
# one ulp off the correctly rounded double that every other build reads.
set(VISTRAL_MINGW_PROCESSOR i686)
include(${CMAKE_CURRENT_LIST_DIR}/mingw-w64.cmake)
set(CMAKE_C_FLAGS_INIT "-msse2 -mfpmath=sse")
set(CMAKE_CXX_FLAGS_INIT "-msse2 -mfpmath=sse")
