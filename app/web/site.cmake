# SPDX-FileCopyrightText: 2026 The Vistral developers
#
# SPDX-License-Identifier: GPL-3.0-or-later

# Writes the service worker of the site in SITE from sw.js.in: the files it
# stores (FILES, a list) and the name of its cache, made of VERSION and a digest
# of those files, so that every build with other files has a cache of its own.
#
#   cmake -DSITE=... -DVERSION=... -DFILES=a;b -DTEMPLATE=.../sw.js.in -P site.cmake
set(digests "")
set(VISTRAL_CACHE_FILES "'./'")
foreach(file IN LISTS FILES)
    file(SHA256 ${SITE}/${file} digest)
    string(APPEND digests "${file} ${digest}\n")
    string(APPEND VISTRAL_CACHE_FILES ", '${file}'")
endforeach()
string(SHA256 digest "${digests}")
string(SUBSTRING ${digest} 0 16 digest)
set(VISTRAL_CACHE_VERSION "${VERSION}-${digest}")
configure_file(${TEMPLATE} ${SITE}/sw.js @ONLY)
