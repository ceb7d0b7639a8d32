# SPDX-FileCopyrightText: 2026 The Vistral developers
#
# SPDX-License-Identifier: GPL-3.0-or-later

# Packing the Windows program, cross-built with cmake/mingw-w64.cmake:
#
#   cd BUILD && cpack -G NSIS    vistral-<version>-win64.exe, a 64-bit installer
#                                (Debian's nsis; its script is NSIS.template.in)
#   cd BUILD && cpack -G ZIP     vistral-<version>-win64.zip, to run unpacked
#   cmake --build BUILD --target msi
#                                BUILD/vistral-<version>-win64.msi, the Windows
#                                Installer package (Debian's wixl; its source is
#                                vistral.wxs.in)
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

# The Windows Installer package packs the program as `cmake --install` installs
# it, into a folder of the build tree: the Vistral.exe of the build tree as it is
# at that moment, which a release has signed by then, so the target neither
# builds nor strips it (a Release build is linked stripped).
find_package(Python3 REQUIRED COMPONENTS Interpreter)
find_program(VISTRAL_WIXL wixl DOC "Debian's wixl (msitools), which builds the MSI")
# Fixed forever: the 64-bit and the 32-bit package are two products, each of
# which upgrades only itself. Everything else is a name-based UUID in Vistral's
# namespace: the ProductCode is new with each version and width, the component
# GUIDs keep to their file and width across versions.
set(vistral_msi_namespace CB5EB6D9-B3C1-45FB-B2DB-F4A121A92095)
if(CMAKE_SIZEOF_VOID_P EQUAL 8)
    set(VISTRAL_MSI_UPGRADE_CODE 4B47DF83-20C3-404F-8A45-5CB6A12C74F8)
    set(VISTRAL_MSI_PROGRAM_FILES ProgramFiles64Folder)
    set(VISTRAL_MSI_WIN64 yes)
    set(vistral_msi_arch x64)
    set(vistral_msi_width win64)
else()
    set(VISTRAL_MSI_UPGRADE_CODE 02ACF04E-3892-48F0-B263-8A567525F60E)
    set(VISTRAL_MSI_PROGRAM_FILES ProgramFilesFolder)
    set(VISTRAL_MSI_WIN64 no)
    set(vistral_msi_arch x86)
    set(vistral_msi_width win32)
endif()
macro(vistral_msi_uuid variable name)
    string(UUID ${variable} NAMESPACE ${vistral_msi_namespace} NAME "${name} ${vistral_msi_width}"
           TYPE SHA1 UPPER)
endmacro()
vistral_msi_uuid(VISTRAL_MSI_PRODUCT_CODE "ProductCode ${PROJECT_VERSION}")
vistral_msi_uuid(VISTRAL_MSI_GUID_PROGRAM "Component Vistral.exe")
vistral_msi_uuid(VISTRAL_MSI_GUID_LICENSE "Component LICENSE.txt")
vistral_msi_uuid(VISTRAL_MSI_GUID_LICENSE_TEXT "Component LICENSES/GPL-3.0-or-later.txt")
configure_file(${CMAKE_CURRENT_LIST_DIR}/vistral.wxs.in vistral.wxs @ONLY)

# The icon of Add/Remove Programs is the program's own (drawn in app/win32).
set(vistral_msi_stage ${PROJECT_BINARY_DIR}/msi-stage)
set(vistral_msi ${PROJECT_BINARY_DIR}/vistral-${PROJECT_VERSION}-${vistral_msi_width}.msi)
add_custom_target(msi
    COMMAND ${CMAKE_COMMAND} -E rm -rf ${vistral_msi_stage}
    COMMAND ${CMAKE_COMMAND} --install ${PROJECT_BINARY_DIR} --prefix ${vistral_msi_stage}
    COMMAND Python3::Interpreter ${CMAKE_CURRENT_LIST_DIR}/make_msi.py ${VISTRAL_WIXL}
            ${PROJECT_BINARY_DIR}/vistral.wxs ${vistral_msi_arch} ${vistral_msi_stage}
            ${PROJECT_BINARY_DIR}/app/win32/vistral.ico ${vistral_msi}
    BYPRODUCTS ${vistral_msi}
    COMMENT "Packing vistral-${PROJECT_VERSION}-${vistral_msi_width}.msi"
    VERBATIM)
