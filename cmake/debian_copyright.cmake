# SPDX-FileCopyrightText: 2026 The Vistral developers
#
# SPDX-License-Identifier: GPL-3.0-or-later

# Writes the Debian package's copyright file (machine-readable format 1.0) from
# the facts REUSE keeps, so that they are written down only once:
#   - the copyright and licence header of every file of the source tree,
#   - .reuse/dep5 for the files that cannot hold a header,
#   - LICENSES/<id>.txt for every licence named.
#
#   cmake -DSOURCE_DIR=DIR -DOUTPUT=FILE [-DBINARY_DIR=DIR] -P debian_copyright.cmake
#
# The files are those git tracks or, outside a git checkout, every file below
# SOURCE_DIR except .git and BINARY_DIR. The most common header becomes
# "Files: *", other headers get paragraphs of their own, and the paragraphs of
# .reuse/dep5 follow as they are. A file with no header that no dep5 paragraph
# names, or a licence without its text in LICENSES/, stops the build, as it
# would fail `reuse lint`. OUTPUT is rewritten only when its content changes.
cmake_minimum_required(VERSION 3.25)

foreach(var SOURCE_DIR OUTPUT)
    if(NOT DEFINED ${var})
        message(FATAL_ERROR "debian_copyright.cmake: ${var} not given")
    endif()
endforeach()

# The header tags, spelt in two parts so that REUSE does not read them as the
# tags of this file.
string(CONCAT copyright_tag "SPDX-" "FileCopyrightText:")
string(CONCAT license_tag "SPDX-" "License-Identifier:")

# Licences whose text Debian ships in /usr/share/common-licenses: the file there
# and the notice that stands in for the text.
set(common_GPL-3.0-or-later GPL-3)
set(notice_GPL-3.0-or-later
    "This program is free software: you can redistribute it and/or modify it
under the terms of the GNU General Public License as published by the Free
Software Foundation, either version 3 of the License, or (at your option) any
later version.

This program is distributed in the hope that it will be useful, but WITHOUT
ANY WARRANTY; without even the implied warranty of MERCHANTABILITY or FITNESS
FOR A PARTICULAR PURPOSE. See the GNU General Public License for more details.")
set(common_CC0-1.0 CC0-1.0)
set(notice_CC0-1.0
    "To the extent possible under law, the authors have dedicated all copyright
and related and neighboring rights to this software to the public domain
worldwide. This software is distributed without any warranty.")

# Text as the body of a field: every line indented by one blank, empty lines as " .".
function(as_field_body text out)
    string(STRIP "${text}" text)
    string(REGEX REPLACE "\n[ \t]*\n" "\n.\n" text "${text}")
    string(REGEX REPLACE "\n[ \t]*\n" "\n.\n" text "${text}")
    string(REPLACE "\n" "\n " text "${text}")
    set(${out} " ${text}" PARENT_SCOPE)
endfunction()

# A DEP-5 file pattern as a regular expression: "*" and "?" also match "/".
function(pattern_regex pattern out)
    string(REGEX REPLACE "([][.+^$()|\\\\])" "\\\\\\1" regex "${pattern}")
    string(REPLACE "*" ".*" regex "${regex}")
    string(REPLACE "?" "." regex "${regex}")
    set(${out} "^${regex}$" PARENT_SCOPE)
endfunction()

# .reuse/dep5: the header paragraph and the Files paragraphs with their patterns.
file(READ "${SOURCE_DIR}/.reuse/dep5" dep5)
string(STRIP "${dep5}" dep5)
if(dep5 MATCHES ";")
    message(FATAL_ERROR ".reuse/dep5: a semicolon, which this script cannot carry over")
endif()
string(REGEX REPLACE "\n[ \t]*\n" ";" dep5_paragraphs "${dep5}")
list(POP_FRONT dep5_paragraphs header)
set(dep5_regexes)
set(dep5_licenses)
foreach(paragraph IN LISTS dep5_paragraphs)
    if(NOT paragraph MATCHES "^Files:([^\n]*(\n[ \t][^\n]*)*)")
        message(FATAL_ERROR ".reuse/dep5: a paragraph without Files:\n${paragraph}")
    endif()
    string(REGEX REPLACE "[ \t\n]+" ";" patterns "${CMAKE_MATCH_1}")
    foreach(pattern IN LISTS patterns)
        if(pattern)
            pattern_regex("${pattern}" regex)
            list(APPEND dep5_regexes "${regex}")
        endif()
    endforeach()
    if(paragraph MATCHES "\nLicense:[ \t]*([^\n]+)")
        list(APPEND dep5_licenses "${CMAKE_MATCH_1}")
    endif()
endforeach()

# The files of the source tree.
find_package(Git QUIET)
set(files)
if(GIT_FOUND AND EXISTS "${SOURCE_DIR}/.git")
    # The files of the release: a scratch file not yet added does not stop the build.
    execute_process(COMMAND "${GIT_EXECUTABLE}" -C "${SOURCE_DIR}" ls-files
                    OUTPUT_VARIABLE listing RESULT_VARIABLE status)
    if(status EQUAL 0)
        string(REGEX REPLACE "\n$" "" listing "${listing}")
        string(REPLACE "\n" ";" files "${listing}")
    endif()
endif()
if(NOT files)
    file(GLOB_RECURSE files RELATIVE "${SOURCE_DIR}" "${SOURCE_DIR}/*")
    list(FILTER files EXCLUDE REGEX "^\\.git/")
    if(BINARY_DIR)
        file(RELATIVE_PATH binary "${SOURCE_DIR}" "${BINARY_DIR}")
        if(NOT binary MATCHES "^\\.\\.")
            list(FILTER files EXCLUDE REGEX "^${binary}/")
        endif()
    endif()
endif()
# Licence texts and the REUSE data itself are not covered by a header.
list(FILTER files EXCLUDE REGEX "^(LICENSES|\\.reuse)/")

# Files grouped by their header: the copyright lines and the licence.
set(groups)
foreach(file IN LISTS files)
    if(NOT EXISTS "${SOURCE_DIR}/${file}")
        continue() # deleted, not yet committed
    endif()
    file(STRINGS "${SOURCE_DIR}/${file}" lines LIMIT_COUNT 30 REGEX "SPDX-")
    set(copyrights)
    set(license)
    foreach(line IN LISTS lines)
        if(line MATCHES "${copyright_tag}[ \t]*(.*)$")
            set(value "${CMAKE_MATCH_1}")
        elseif(line MATCHES "${license_tag}[ \t]*(.*)$")
            set(value "${CMAKE_MATCH_1}")
        else()
            continue()
        endif()
        string(STRIP "${value}" value)
        if(value MATCHES "^(.*)(-->|\\*/)$")
            string(STRIP "${CMAKE_MATCH_1}" value)
        endif()
        if(line MATCHES "${copyright_tag}")
            list(APPEND copyrights "${value}")
        else()
            set(license "${value}")
        endif()
    endforeach()
    set(covered FALSE)
    foreach(regex IN LISTS dep5_regexes)
        if(file MATCHES "${regex}")
            set(covered TRUE)
        endif()
    endforeach()
    if(NOT copyrights AND NOT license)
        if(NOT covered)
            message(FATAL_ERROR "${file}: no copyright and licence header, and not in .reuse/dep5")
        endif()
        continue()
    endif()
    if(NOT copyrights OR NOT license OR covered)
        message(FATAL_ERROR
            "${file}: needs both a copyright line and a licence in its header, or "
            "an entry in .reuse/dep5, not both")
    endif()
    list(SORT copyrights)
    list(REMOVE_DUPLICATES copyrights)
    string(JOIN "\n" key ${copyrights})
    string(APPEND key "\n${license}")
    string(MD5 id "${key}")
    if(NOT id IN_LIST groups)
        list(APPEND groups ${id})
        set(group_key_${id} "${key}")
    endif()
    list(APPEND group_files_${id} "${file}")
endforeach()

# The group with the most files is "Files: *" and comes first.
set(largest "")
set(largest_count 0)
foreach(id IN LISTS groups)
    list(LENGTH group_files_${id} count)
    if(count GREATER largest_count)
        set(largest ${id})
        set(largest_count ${count})
    endif()
endforeach()
list(REMOVE_ITEM groups ${largest})
list(PREPEND groups ${largest})

set(text "${header}\n")
set(licenses ${dep5_licenses})
foreach(id IN LISTS groups)
    string(REGEX MATCH "[^\n]*$" license "${group_key_${id}}")
    string(REGEX REPLACE "\n[^\n]*$" "" copyrights "${group_key_${id}}")
    string(REPLACE "\n" "\n " copyrights "${copyrights}")
    if(id STREQUAL largest)
        set(names "*")
    else()
        list(SORT group_files_${id})
        string(JOIN "\n " names ${group_files_${id}})
    endif()
    string(APPEND text "\nFiles: ${names}\nCopyright: ${copyrights}\nLicense: ${license}\n")
    list(APPEND licenses "${license}")
endforeach()
foreach(paragraph IN LISTS dep5_paragraphs)
    string(APPEND text "\n${paragraph}\n")
endforeach()

# One stand-alone License paragraph for every licence named, in the order named.
string(REGEX REPLACE "[()]" " " licenses "${licenses}")
string(REGEX REPLACE "[ \t]+" ";" licenses "${licenses}")
list(FILTER licenses EXCLUDE REGEX "^(|and|or|with|AND|OR|WITH)$")
list(REMOVE_DUPLICATES licenses)
foreach(license IN LISTS licenses)
    if(NOT EXISTS "${SOURCE_DIR}/LICENSES/${license}.txt")
        message(FATAL_ERROR "licence ${license} is named, but LICENSES/${license}.txt is missing")
    endif()
    if(DEFINED common_${license})
        as_field_body("${notice_${license}}\n\nOn Debian systems, the complete text of the licence is in\n\"/usr/share/common-licenses/${common_${license}}\"." body)
    else()
        file(READ "${SOURCE_DIR}/LICENSES/${license}.txt" full_text)
        as_field_body("${full_text}" body)
    endif()
    string(APPEND text "\nLicense: ${license}\n${body}\n")
endforeach()

file(WRITE "${OUTPUT}.new" "${text}")
file(COPY_FILE "${OUTPUT}.new" "${OUTPUT}" ONLY_IF_DIFFERENT)
file(REMOVE "${OUTPUT}.new")
