# SPDX-FileCopyrightText: 2026 The Vistral developers
#
# SPDX-License-Identifier: GPL-3.0-or-later

# Installing Vistral and the Debian package.
#
#   cmake --install BUILD [--prefix DIR]      bin/Vistral, the manual pages in
#                                             English and Bulgarian, the copyright
#                                             file and changelog in share/doc/vistral,
#                                             plus what res/ installs: desktop
#                                             entry, AppStream metadata, icons
#   cd BUILD && cpack -G DEB                  vistral_<version>_<arch>.deb
#
# The package's version is the project's; its library dependencies are read off
# the binary by dpkg-shlibdeps. The copyright file is made from the REUSE data,
# the changelog from the version and the release date: neither is kept by hand.
include(GNUInstallDirs)
find_program(GZIP_EXECUTABLE gzip REQUIRED)

set(VISTRAL_MAINTAINER "The Vistral developers <vistral@vistral.invalid>" CACHE STRING
    "Name and mail address of the package's maintainer; the default reaches nobody")

set(doc_dir ${CMAKE_INSTALL_DATAROOTDIR}/doc/vistral)
set(staging ${CMAKE_CURRENT_BINARY_DIR}/packaging)
file(MAKE_DIRECTORY ${staging}/man/bg)

install(TARGETS Vistral RUNTIME DESTINATION ${CMAKE_INSTALL_BINDIR})
# A stripped install (the package's) also drops the compilers' .comment notes, as
# Debian's dh_strip does.
install(CODE "
    if(CMAKE_INSTALL_DO_STRIP)
        execute_process(COMMAND \"${CMAKE_OBJCOPY}\" --remove-section=.comment
            \"\$ENV{DESTDIR}\${CMAKE_INSTALL_PREFIX}/${CMAKE_INSTALL_BINDIR}/Vistral\"
            COMMAND_ERROR_IS_FATAL ANY)
    endif()")

# Compressed as Debian wants it, and the same bytes on every build: gzip -9n
# leaves out the name and time of the input.
function(vistral_gzip input)
    add_custom_command(OUTPUT ${input}.gz
        COMMAND ${GZIP_EXECUTABLE} -9nkf ${input}
        DEPENDS ${input}
        VERBATIM)
endfunction()

# Manual pages: the version and date filled in, then compressed.
configure_file(${PROJECT_SOURCE_DIR}/docs/Vistral.1.in ${staging}/man/Vistral.1 @ONLY)
configure_file(${PROJECT_SOURCE_DIR}/docs/Vistral.bg.1.in ${staging}/man/bg/Vistral.1 @ONLY)
vistral_gzip(${staging}/man/Vistral.1)
vistral_gzip(${staging}/man/bg/Vistral.1)
install(FILES ${staging}/man/Vistral.1.gz DESTINATION ${CMAKE_INSTALL_MANDIR}/man1)
install(FILES ${staging}/man/bg/Vistral.1.gz DESTINATION ${CMAKE_INSTALL_MANDIR}/bg/man1)

# The Debian changelog, one entry per release, newest first. Its date is the
# release day in the form of RFC 5322, in English whatever the locale.
string(REGEX MATCH "^([0-9]+)-([0-9]+)-([0-9]+)$" date "${VISTRAL_RELEASE_DATE}")
set(day ${CMAKE_MATCH_3})
math(EXPR year "${CMAKE_MATCH_1}")
math(EXPR month_index "${CMAKE_MATCH_2} - 1")
# Sakamoto's day of the week, 0 for Sunday: January and February count as the
# end of the year before.
set(month_offsets 0 3 2 5 0 3 5 1 4 6 2 4)
list(GET month_offsets ${month_index} offset)
set(y ${year})
if(month_index LESS 2)
    math(EXPR y "${year} - 1")
endif()
math(EXPR weekday "(${y} + ${y} / 4 - ${y} / 100 + ${y} / 400 + ${offset} + ${day}) % 7")
set(weekdays Sun Mon Tue Wed Thu Fri Sat)
set(months Jan Feb Mar Apr May Jun Jul Aug Sep Oct Nov Dec)
list(GET weekdays ${weekday} weekday)
list(GET months ${month_index} month)
file(WRITE ${staging}/changelog.new
"vistral (${PROJECT_VERSION}) unstable; urgency=medium

  * The first release.

 -- ${VISTRAL_MAINTAINER}  ${weekday}, ${day} ${month} ${year} 12:00:00 +0000
")
file(COPY_FILE ${staging}/changelog.new ${staging}/changelog ONLY_IF_DIFFERENT)
file(REMOVE ${staging}/changelog.new)
vistral_gzip(${staging}/changelog)
install(FILES ${staging}/changelog.gz DESTINATION ${doc_dir})

add_custom_target(vistral_docs ALL
    DEPENDS ${staging}/man/Vistral.1.gz ${staging}/man/bg/Vistral.1.gz ${staging}/changelog.gz)

# The copyright file, made anew at every build from the headers and .reuse/dep5
# (it is rewritten only when it changes), so that it cannot fall behind them.
add_custom_target(vistral_copyright ALL
    COMMAND ${CMAKE_COMMAND} -DSOURCE_DIR=${PROJECT_SOURCE_DIR}
            -DBINARY_DIR=${PROJECT_BINARY_DIR} -DOUTPUT=${staging}/copyright
            -P ${CMAKE_CURRENT_LIST_DIR}/debian_copyright.cmake
    BYPRODUCTS ${staging}/copyright
    COMMENT "Writing the copyright file from the REUSE data"
    VERBATIM)
install(FILES ${staging}/copyright DESTINATION ${doc_dir})

set(CPACK_GENERATOR DEB)
set(CPACK_PACKAGE_NAME vistral)
set(CPACK_PACKAGE_VERSION ${PROJECT_VERSION})
set(CPACK_PACKAGE_VENDOR "The Vistral developers")
set(CPACK_PACKAGE_CONTACT "${VISTRAL_MAINTAINER}")
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "average and total time spent on a web site")
set(CPACK_STRIP_FILES ON)

set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_MAINTAINER "${CPACK_PACKAGE_CONTACT}")
set(CPACK_DEBIAN_PACKAGE_SECTION utils)
set(CPACK_DEBIAN_PACKAGE_PRIORITY optional)
# None when the build is given none (see res/CMakeLists.txt).
set(CPACK_DEBIAN_PACKAGE_HOMEPAGE "${VISTRAL_HOMEPAGE}")
# The long text only: CPack puts the summary before it as the synopsis line.
set(CPACK_DEBIAN_PACKAGE_DESCRIPTION
    "Vistral turns two numbers from a web site's statistics, the average length
of a visit in seconds and the number of visits, into the average time per
visitor and the total time spent on the site, each in hours, minutes and
seconds. Its window is in Bulgarian.")
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
# Liberation Serif stands in for Times New Roman, with the same metrics and
# Cyrillic letters; nothing in the binary tells dpkg-shlibdeps about it.
set(CPACK_DEBIAN_PACKAGE_DEPENDS "fonts-liberation2")
# Qt's Wayland platform: without it the window falls back to XWayland on a Wayland
# desktop.
set(CPACK_DEBIAN_PACKAGE_RECOMMENDS "qt6-wayland")
set(CPACK_DEBIAN_PACKAGE_CONTROL_STRICT_PERMISSION ON)

include(CPack)
