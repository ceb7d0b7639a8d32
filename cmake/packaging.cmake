# SPDX-FileCopyrightText: 2026 The Vistral developers
#
# SPDX-License-Identifier: GPL-3.0-or-later

# Installing Vistral and the Debian package.
#
#   cmake --install BUILD [--prefix DIR]      bin/Vistral plus what res/ installs:
#                                             desktop entry, AppStream metadata, icons
#   cd BUILD && cpack -G DEB                  vistral_<version>_<arch>.deb
#
# The package's version is the project's; its library dependencies are read off
# the binary by dpkg-shlibdeps.
include(GNUInstallDirs)

install(TARGETS Vistral RUNTIME DESTINATION ${CMAKE_INSTALL_BINDIR})

set(CPACK_GENERATOR DEB)
set(CPACK_PACKAGE_NAME vistral)
set(CPACK_PACKAGE_VERSION ${PROJECT_VERSION})
set(CPACK_PACKAGE_VENDOR "The Vistral developers")
set(CPACK_PACKAGE_CONTACT "Vistral developers <vistral@users.noreply.github.com>")
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "average and total time spent on a web site")
set(CPACK_STRIP_FILES ON)

set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_MAINTAINER "${CPACK_PACKAGE_CONTACT}")
set(CPACK_DEBIAN_PACKAGE_SECTION utils)
set(CPACK_DEBIAN_PACKAGE_PRIORITY optional)
set(CPACK_DEBIAN_PACKAGE_HOMEPAGE "${VISTRAL_HOMEPAGE}")
set(CPACK_DEBIAN_PACKAGE_DESCRIPTION
    "average and total time spent on a web site
 Vistral turns two numbers from a web site's statistics, the average length
 of a visit in seconds and the number of visits, into the average time per
 visitor and the total time spent on the site, each in hours, minutes and
 seconds. Its window is in Bulgarian.")
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
# Liberation Serif stands in for Times New Roman, with the same metrics and
# Cyrillic letters; nothing in the binary tells dpkg-shlibdeps about it.
set(CPACK_DEBIAN_PACKAGE_DEPENDS "fonts-liberation2")
set(CPACK_DEBIAN_PACKAGE_CONTROL_STRICT_PERMISSION ON)

include(CPack)
