#!/usr/bin/env bash

# SPDX-FileCopyrightText: 2026 The Vistral developers
#
# SPDX-License-Identifier: GPL-3.0-or-later

# Compares two release folders (tools/release.sh's dist/). When their SHA256SUMS
# match, says so; otherwise names each artifact that differs, the first one
# first, and, unpacked, the first file inside it whose content differs and the
# first difference in its listing (names, modes, owners, times). Debian packages are unpacked with ar and
# tar, zips with unzip, MSIs with msiextract and msidump; an NSIS installer is
# compared as a whole.
#
#   compare.sh DIST_A DIST_B
#
# Exit status: 0 identical, 1 different.
set -uo pipefail
export LC_ALL=C

a=$(cd "$1" && pwd)
b=$(cd "$2" && pwd)
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT

if [[ -f $a/SHA256SUMS ]] && cmp -s "$a/SHA256SUMS" "$b/SHA256SUMS"; then
    echo "identical: $(wc -l <"$a/SHA256SUMS") artifacts, the same SHA256SUMS"
    exit 0
fi

# unpack ARTIFACT DIR: DIR/tree holds what the artifact holds, DIR/listing one
# line a member with its metadata.
unpack() {
    local file=$1 dir=$2 member
    mkdir -p "$dir/tree"
    : >"$dir/listing"
    case $file in
        *.deb)
            (cd "$dir/tree" && ar x "$file") || return
            ar tv "$file" | sed 's/^/ar: /' >>"$dir/listing"
            for member in "$dir"/tree/*.tar.*; do
                local name=${member##*/}
                mkdir -p "$dir/tree/$name.d"
                tar -xf "$member" -C "$dir/tree/$name.d" || return
                tar -tvf "$member" --full-time | sed "s|^|$name: |" >>"$dir/listing"
            done
            ;;
        *.zip)
            unzip -q "$file" -d "$dir/tree" || return
            zipinfo -l "$file" | sed -n '2,$p' >>"$dir/listing"
            ;;
        *.msi)
            if command -v msiextract >/dev/null; then
                (cd "$dir/tree" && msiextract "$file" >/dev/null) || return
            fi
            # Its tables and streams (the summary information among them).
            if command -v msidump >/dev/null; then
                # It writes the binary columns' streams into the current folder,
                # whatever -d says.
                mkdir -p "$dir/tree/(tables)"
                (cd "$dir/tree/(tables)" && msidump --tables --streams -d . "$file" >/dev/null 2>&1)
            fi
            ;;
    esac
    # The file sizes and modes of the unpacked tree, for what the listing lacks.
    (cd "$dir/tree" && find . -printf '%M %s %p\n' | LC_ALL=C sort -k3) | sed 's/^/tree: /' >>"$dir/listing"
}

status=0
for artifact in $( (cd "$a" && ls; cd "$b" && ls) | LC_ALL=C sort -u); do
    [[ $artifact == SHA256SUMS ]] && continue
    if [[ ! -f $a/$artifact || ! -f $b/$artifact ]]; then
        echo "$artifact: only in one of the two"
        status=1
        continue
    fi
    cmp -s "$a/$artifact" "$b/$artifact" && continue
    rm -rf "$work/a" "$work/b"
    heading="also differs"
    ((status)) || heading="first artifact that differs"
    status=1
    echo "$heading: $artifact ($(stat -c %s "$a/$artifact") and $(stat -c %s "$b/$artifact") bytes)"
    case $artifact in
        *.deb | *.zip | *.msi) ;;
        *)
            echo "  the installer itself differs (no tool here unpacks it)"
            continue
            ;;
    esac
    unpack "$a/$artifact" "$work/a" && unpack "$b/$artifact" "$work/b" ||
        { echo "  could not unpack it"; continue; }
    found=
    while IFS= read -r path; do
        if [[ ! -f $work/a/tree/$path || ! -f $work/b/tree/$path ]] ||
            ! cmp -s "$work/a/tree/$path" "$work/b/tree/$path"; then
            if [[ -f $work/a/tree/$path && -f $work/b/tree/$path ]]; then
                echo "  first file that differs inside it: ${path#./}" \
                    "($(cmp "$work/a/tree/$path" "$work/b/tree/$path" | sed 's/.*differ: //'))"
            else
                echo "  first file that differs inside it: ${path#./} (only in one of the two)"
            fi
            found=1
            break
        fi
    done < <( (cd "$work/a/tree" && find . -type f; cd "$work/b/tree" && find . -type f) |
        LC_ALL=C sort -u | awk -F/ '{ print NF, $0 }' | sort -k1,1nr -k2 | cut -d' ' -f2-)
    # The first line that differs, as each of the two has it.
    listing=$(diff "$work/a/listing" "$work/b/listing" | awk '/^</ && !a { a = $0 } /^>/ && !b { b = $0 }
        END { if (a) print a; if (b) print b }')
    if [[ -n $listing ]]; then
        echo "  first difference in its listing:"
        sed 's/^/    /' <<<"$listing"
    elif [[ -z $found ]]; then
        echo "  the same files and listing: the container itself differs (its headers or compression)"
    fi
done
exit $((status > 0))
