# SPDX-FileCopyrightText: 2026 The Vistral developers
#
# SPDX-License-Identifier: GPL-3.0-or-later

# The web build: the same C++ compiled to WebAssembly with Debian's emscripten,
# configured through emcmake:
#
#   emcmake cmake -S . -B build/web -DCMAKE_BUILD_TYPE=Release && cmake --build build/web
#
# writes the static site to build/web/site (app/web), and the core tests, which
# ctest runs under node.

# Errors are C++ exceptions (an overflow leaves a click as one); without
# -fexceptions every throw aborts the program.
add_compile_options(-fexceptions)
add_link_options(-fexceptions)

# emscripten's link step runs its JavaScript optimizer under node, which finds
# Debian's acorn only on this path.
set(CMAKE_CXX_LINKER_LAUNCHER ${CMAKE_COMMAND} -E env NODE_PATH=/usr/share/nodejs)

# emcmake names node with --experimental-wasm-threads as the emulator, an option
# today's node refuses; the tests need nothing but node itself.
find_program(VISTRAL_NODE NAMES node nodejs REQUIRED)
set(CMAKE_CROSSCOMPILING_EMULATOR ${VISTRAL_NODE} CACHE FILEPATH
    "Runs the target's programs (node)" FORCE)
