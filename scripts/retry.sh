#!/usr/bin/env bash
# pelmar_retry for Python (scripts/roots.py): COMMAND up to TRIES times, each within SECONDS,
# its try's number in PELMAR_TRY; ends with 1 when every try failed.
#   retry.sh TRIES NAME SECONDS COMMAND...
set -euo pipefail
here=$(cd "$(dirname "$0")" && pwd)
# shellcheck source=scripts/lib/common.sh
source "$here/lib/common.sh"
pelmar_init
pelmar_retry "$@"
