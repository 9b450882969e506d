#!/usr/bin/env bash
# The bash completions of escape_play and escape_levels: every option a
# program's --help lists is offered, options are not offered twice, and values
# are completed where they can be.
# Run as: completions_test.sh COMPLETIONS_DIR ESCAPE_PLAY ESCAPE_LEVELS
set -u
completions=$1 escape_play=$2 escape_levels=$3
failures=0
scratch=$(mktemp -d)
trap 'rm -rf "$scratch"' EXIT
cd "$scratch" && mkdir levels && touch level_file

# The words completed for the command line "$@", the last word being completed, sorted.
completed() {
  COMP_WORDS=("$@")
  COMP_CWORD=$(($# - 1))
  COMPREPLY=()
  "_${1}"
  if [ ${#COMPREPLY[@]} -gt 0 ]; then
    printf '%s\n' "${COMPREPLY[@]}" | sort | tr '\n' ' '
  fi
}

expect() {
  local want=$1 got=$2 what=$3
  if [ "$got" != "$want" ]; then
    echo "FAILED: $what: expected '$want', got '$got'"
    failures=$((failures + 1))
  fi
}

# shellcheck source=/dev/null
source "$completions/escape_levels"
# shellcheck source=/dev/null
source "$completions/escape_play"

for program in escape_levels escape_play; do
  path=${!program}
  listed=$("$path" --help | grep -oE -- '--[a-z][a-z-]*' | sort -u | tr '\n' ' ')
  expect "$listed" "$(completed "$program" --)" "$program offers every option of --help"
done
expect "--moves " "$(completed escape_levels --mo)" "escape_levels completes an option"
expect "" "$(completed escape_levels --moves 5 --mov)" "escape_levels offers an option once"
expect "" "$(completed escape_levels --seed "")" "escape_levels offers nothing for a number"
expect "levels " "$(completed escape_levels --out "")" "escape_levels --out offers directories"
expect "6 60 " "$(completed escape_play --campaign 6)" "escape_play --campaign offers levels"
expect "--daily " "$(completed escape_play --campaign --da)" "escape_play --campaign goes alone"
expect "levels " "$(completed escape_play --no-save l)" "escape_play offers directories"
expect "--level --lines " "$(completed escape_play --no-save --l)" "escape_play completes an option"
expect "" "$(completed escape_play --new --moves "")" "escape_play offers nothing for a number"

if [ "$failures" -gt 0 ]; then
  exit 1
fi
echo "completions: all as expected"
