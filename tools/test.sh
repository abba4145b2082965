#!/bin/bash
# The whole test suite: installs what is missing (as root), builds both trees and runs every test:
# the unit tests natively and under Wine, then the network-lab and end-to-end tests, which run
# only inside network namespaces that the lab creates for them.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)

"$root/tools/setup.sh"
"$root/tools/build.sh"

echo "== Windows build: unit tests under Wine"
(cd "$root/build/windows" && ctest --output-on-failure)
echo "== Linux build: unit, lab and end-to-end tests"
# The lab and end-to-end suites time replies against real receive windows on a machine that may
# be busy: one failed suite is run once more before it counts as failed.
(cd "$root/build/linux" && ctest --output-on-failure --repeat until-pass:2)
echo "== Sanitizer build: unit tests and fuzz corpora under ASan/UBSan, then bounded fuzzing"
"$root/fuzz/run.sh"
