# SPDX-FileCopyrightText: 2026 The Vistral developers
#
# SPDX-License-Identifier: GPL-3.0-or-later

# The hardening every program of the build carries, as its platform expects it,
# and no build path in anything it makes.
#
# Linux: the flags Debian's dpkg-buildflags gives with hardening=+all, read from
# dpkg-buildflags itself (stack protector, _FORTIFY_SOURCE, format checks,
# read-only relocations, immediate binding), with the optimisation, debug and
# prefix-map flags left to the build type and to this file; then stack-clash
# protection and CET's branch protection, which dpkg 1.21 does not give yet; and
# every executable a PIE.
#
# Windows (mingw-w64): the stack protector and _FORTIFY_SOURCE, both through
# gcc's libssp, linked in statically like the rest; ASLR with the relocations it
# needs, high-entropy on 64-bit, DEP and Terminal Server awareness, as the MSVC
# linker sets them by default. No time stamp in the PE header, so that the same
# source links to the same bytes.
#
# _FORTIFY_SOURCE needs optimisation: Debug builds go without it (glibc warns,
# and the warning is an error here).
#
# The web build (emscripten) runs in the browser's sandbox and takes none of it.
option(VISTRAL_HARDENING "Build with the platform's hardening flags" ON)

set(vistral_no_build_path -ffile-prefix-map=${PROJECT_SOURCE_DIR}=.)
cmake_path(IS_PREFIX PROJECT_SOURCE_DIR "${PROJECT_BINARY_DIR}" binary_inside_source)
if(NOT binary_inside_source)
    list(APPEND vistral_no_build_path -ffile-prefix-map=${PROJECT_BINARY_DIR}=build)
endif()
add_compile_options(${vistral_no_build_path})

if(NOT VISTRAL_HARDENING OR EMSCRIPTEN)
    return()
endif()

set(optimised $<NOT:$<CONFIG:Debug>>)

if(WIN32)
    add_compile_options(-fstack-protector-strong $<${optimised}:-D_FORTIFY_SOURCE=2>)
    add_link_options(-fstack-protector-strong
        -Wl,--dynamicbase -Wl,--nxcompat -Wl,--tsaware -Wl,--no-insert-timestamp)
    if(CMAKE_SIZEOF_VOID_P EQUAL 8)
        add_link_options(-Wl,--high-entropy-va)
    endif()
    return()
endif()

find_program(VISTRAL_DPKG_BUILDFLAGS dpkg-buildflags)
if(NOT VISTRAL_DPKG_BUILDFLAGS)
    message(FATAL_ERROR "dpkg-buildflags (Debian's dpkg-dev) gives the hardening flags: "
                        "install it, or configure with -DVISTRAL_HARDENING=OFF")
endif()

# dpkg-buildflags --get KIND, as a list.
function(vistral_buildflags kind out)
    execute_process(
        COMMAND ${CMAKE_COMMAND} -E env DEB_BUILD_MAINT_OPTIONS=hardening=+all
                ${VISTRAL_DPKG_BUILDFLAGS} --get ${kind}
        OUTPUT_VARIABLE flags
        OUTPUT_STRIP_TRAILING_WHITESPACE
        COMMAND_ERROR_IS_FATAL ANY)
    separate_arguments(flags UNIX_COMMAND "${flags}")
    set(${out} ${flags} PARENT_SCOPE)
endfunction()

vistral_buildflags(CPPFLAGS cppflags)
vistral_buildflags(CXXFLAGS cxxflags)
vistral_buildflags(LDFLAGS ldflags)
set(compile_flags)
foreach(flag IN LISTS cppflags cxxflags)
    if(flag MATCHES "^-(g|O.*|ffile-prefix-map=.*|fdebug-prefix-map=.*)$")
        continue()  # the build type's, and this file's
    elseif(flag MATCHES "^-D_FORTIFY_SOURCE")
        list(APPEND compile_flags $<${optimised}:${flag}>)
    else()
        list(APPEND compile_flags ${flag})
    endif()
endforeach()
list(REMOVE_DUPLICATES compile_flags)
add_compile_options(${compile_flags} -fstack-clash-protection -fcf-protection)
add_link_options(${ldflags})

set(CMAKE_POSITION_INDEPENDENT_CODE ON)
include(CheckPIESupported)
check_pie_supported(LANGUAGES CXX)
