#!/usr/bin/env bash
# A short demonstration without a display: vellumar-cli builds an index over the sample
# documents in a temporary home, searches it and shows where the hits are.
set -euo pipefail
cd "$(dirname "$0")/.."
cli=build/src/cli/vellumar-cli
home=$(mktemp -d "${TMPDIR:-/tmp}/vellumar-demo.XXXXXX")
trap 'rm -rf "$home"' EXIT
samples=$(pwd)/data/samples

run() {
  echo "\$ vellumar-cli $*"
  "$cli" --home "$home" "$@"
  echo
}
run create samples "$samples/+<*.txt,*.html,*.xml,*.rtf>"
run list
run search samples "apple"
run search samples "fishing boats" --hits
run search samples "boats & !fog"
run search samples "//title[apple]"
run words samples "LIGHT*"
