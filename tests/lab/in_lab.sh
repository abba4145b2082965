#!/bin/bash
# Runs a command only when the lab guard passes: netlab.sh and labsim.sh start everything they
# run inside the lab's namespaces through this wrapper.
#   in_lab.sh COMMAND ARGS...      (exit code 97 when the guard refuses)
lab_dir=$(cd "$(dirname "${BASH_SOURCE[0]}")" && pwd)
# shellcheck source=lab_guard.sh
. "$lab_dir/lab_guard.sh"
lab_guard || exit 97
exec "$@"
