#!/usr/bin/env bash

# SPDX-FileCopyrightText: 2026 The Vistral developers
#
# SPDX-License-Identifier: GPL-3.0-or-later

# Every file of the source tree states its copyright and licence, in a header
# or in .reuse/dep5, and every licence named has its text in LICENSES/: what
# `reuse lint` checks, and what the package's copyright file is made from.
#
#   reuse_lint.sh SOURCE_DIR
#
# Exit status: 0 compliant, 1 not, 77 skipped (reuse missing outside CI).
set -uo pipefail
here=$(cd "$(dirname "$0")" && pwd)
# shellcheck source=e2e/xsession.sh
source "$here/e2e/xsession.sh"

need_tools reuse
reuse --root "$1" lint
