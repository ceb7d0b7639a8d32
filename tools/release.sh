#!/usr/bin/env bash

# SPDX-FileCopyrightText: 2026 The Vistral developers
#
# SPDX-License-Identifier: GPL-3.0-or-later

# Makes a release: sets up what is missing (tools/setup.sh release), builds every
# artifact from a clean tree in build/release and writes them to dist/:
#   vistral_<version>_amd64.deb                the Debian package
#   vistral-<version>-win64.exe, .zip, .msi    the 64-bit Windows program
#   vistral-<version>-win32.exe, .zip, .msi    the 32-bit Windows program
#   vistral-<version>-web.zip                  the static web site
#   SHA256SUMS                                 over all of them
# then prints each file with its size.
#
#   bash tools/release.sh
#
# The same commit gives the same bytes whatever the clone's path, the time, the
# umask, the locale or the time zone: every time in the artifacts is
# SOURCE_DATE_EPOCH, the last commit's time unless the environment gives one.
#
# With VISTRAL_SIGN_PKCS12 and VISTRAL_SIGN_PASSWORD_FILE set, tools/sign.sh signs
# each Vistral.exe before it is packed, and the installers and MSIs once made.
set -euo pipefail
cd "$(dirname "$0")/.."
root=$PWD

bash tools/setup.sh release

export SOURCE_DATE_EPOCH=${SOURCE_DATE_EPOCH:-$(git log -1 --format=%ct)}
if [[ -n $(git status --porcelain --untracked-files=no) ]]; then
    echo "release.sh: the tree has uncommitted changes; no rebuild from the commit gives these bytes" >&2
fi
# What the build cannot fix itself: CPack gives the members of the Debian
# package's ar archive and the folders it makes for the zips the modes the umask
# leaves, and a zip stores its times as local time.
umask 022
export TZ=UTC

jobs=$(nproc)
build=$root/build/release
dist=$root/dist
version=$(sed -n 's/^ *VERSION \([0-9.]*\)$/\1/p' CMakeLists.txt | head -n1)
[[ -n $version ]] || { echo "no version in CMakeLists.txt" >&2; exit 1; }
rm -rf "$build" "$dist"
mkdir -p "$build" "$dist"

sign() {
    if [[ -f tools/sign.sh ]]; then
        bash tools/sign.sh "$@"
    fi
}

configure_and_build() {
    local dir=$1
    shift
    "$@" -S . -B "$dir" -DCMAKE_BUILD_TYPE=Release -DVISTRAL_TESTS=OFF -DVISTRAL_BENCH=OFF \
        >"$dir.configure.log" || { cat "$dir.configure.log"; return 1; }
    cmake --build "$dir" -j"$jobs"
}

echo "=== Debian package"
configure_and_build "$build/linux" cmake
(cd "$build/linux" && cpack -G DEB)
cp "$build/linux/vistral_${version}_$(dpkg --print-architecture).deb" "$dist/"

# windows BITS TOOLCHAIN
windows() {
    local bits=$1 toolchain=$2 dir=$build/win$1 name=vistral-$version-win$1
    echo "=== Windows, $bits-bit"
    configure_and_build "$dir" cmake --toolchain "$toolchain"
    sign "$dir/app/Vistral.exe"
    (cd "$dir" && cpack -G "NSIS;ZIP")
    cmake --build "$dir" --target msi
    sign "$dir/$name.exe" "$dir/$name.msi"
    cp "$dir/$name.exe" "$dir/$name.zip" "$dir/$name.msi" "$dist/"
}
windows 64 cmake/mingw-w64.cmake
windows 32 cmake/mingw-w64-i686.cmake

echo "=== Web site"
configure_and_build "$build/web" emcmake cmake
site_name=vistral-$version-web
(cd "$build/web/site" && find . -type f | LC_ALL=C sort | sed "s|^\./|$site_name/|") >"$build/web/site.list"
ln -s site "$build/web/$site_name"
(cd "$build/web" && cmake -E tar cf "$dist/$site_name.zip" --format=zip --files-from=site.list)

artifacts=("vistral_${version}_$(dpkg --print-architecture).deb")
for bits in 64 32; do
    artifacts+=("vistral-$version-win$bits".{exe,zip,msi})
done
artifacts+=("$site_name.zip")
(cd "$dist" && sha256sum -- "${artifacts[@]}" >SHA256SUMS)
echo
echo "=== $dist"
(cd "$dist" && stat -c '%n %s' -- "${artifacts[@]}" SHA256SUMS |
    awk '{ printf "%-32s %10d bytes\n", $1, $2 }')
