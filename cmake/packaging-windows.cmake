# SPDX-FileCopyrightText: 2026 The Vistral developers
#
# SPDX-License-Identifier: GPL-3.0-or-later

# Packing the Windows program, cross-built with cmake/mingw-w64.cmake:
#
#   cd BUILD && cpack -G NSIS    vistral-<version>-win64.exe, a 64-bit installer
#                                (Debian's nsis; its script is NSIS.template.in)
#   cd BUILD && cpack -G ZIP     vistral-<version>-win64.zip, to run unpacked
#
# and win32 in place of win64 for the 32-bit program (cmake/mingw-w64-i686.cmake),
# whose installer is a 32-bit one that installs where 32-bit programs go.
#
# Both hold Vistral.exe beside the licence: LICENSE.txt (Windows opens a file by
# its extension) and LICENSES/GPL-3.0-or-later.txt.
install(TARGETS Vistral RUNTIME DESTINATION .)
install(FILES ${PROJECT_SOURCE_DIR}/LICENSE DESTINATION . RENAME LICENSE.txt)
install(FILES ${PROJECT_SOURCE_DIR}/LICENSES/GPL-3.0-or-later.txt DESTINATION LICENSES)

set(CPACK_GENERATOR NSIS ZIP)
set(CPACK_PACKAGE_NAME vistral)
set(CPACK_PACKAGE_VERSION ${PROJECT_VERSION})
set(CPACK_PACKAGE_VENDOR "The Vistral developers")
if(CMAKE_SIZEOF_VOID_P EQUAL 8)
    set(CPACK_PACKAGE_FILE_NAME ${CPACK_PACKAGE_NAME}-${PROJECT_VERSION}-win64)
    set(CPACK_NSIS_VISTRAL_TARGET amd64-unicode)
    set(CPACK_NSIS_VISTRAL_PROGRAM_FILES "$PROGRAMFILES64")
else()
    set(CPACK_PACKAGE_FILE_NAME ${CPACK_PACKAGE_NAME}-${PROJECT_VERSION}-win32)
    set(CPACK_NSIS_VISTRAL_TARGET x86-unicode)
    set(CPACK_NSIS_VISTRAL_PROGRAM_FILES "$PROGRAMFILES")
endif()
# A Release build is linked stripped (app/win32): stripping it again would only
# write a new PE time stamp and checksum, and break a signature made before
# packing. Other builds carry symbols, which the packages leave out.
if(NOT CMAKE_BUILD_TYPE STREQUAL Release)
    set(CPACK_STRIP_FILES ON)
endif()

# What the installer's script reads, besides the name, version and vendor.
set(CPACK_MODULE_PATH ${CMAKE_CURRENT_LIST_DIR})
set(CPACK_PACKAGE_INSTALL_DIRECTORY Vistral)
set(CPACK_PACKAGE_INSTALL_REGISTRY_KEY Vistral)
set(CPACK_NSIS_DISPLAY_NAME Vistral)
set(CPACK_NSIS_COMPRESSOR "/SOLID lzma")

include(CPack)
