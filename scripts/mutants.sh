#!/usr/bin/env bash
# A round of mutation testing over the write side: each mutant of the list is applied to a
# copy of the committed tree, the test programs that reach its file are rebuilt and run, and
# the mutant is KILLED when the build or a test fails (or hangs), SURVIVED otherwise.
#
#   scripts/mutants.sh [--check] [LIST]   LIST: scripts/mutants.txt by default (its head gives
#                                         the format); --check stops once every text is found
#
# The copy and its build live outside this tree, in a folder of their own made for the round
# (mktemp) and removed after it; given MUTANTS_DIR, a folder of the user's own that no other
# account may write in, they are kept between rounds, so that a later round builds only what
# changed (the script builds and runs what it finds there). Its private database server has a
# port of its own (MUTANTS_PORT, 5458), apart from the test runs'.
# MUTANTS_TIMEOUT (seconds, 300 by default) bounds each test program's run.
set -euo pipefail
shopt -u patsub_replacement 2>/dev/null || true  # a "&" in a replacement stays a "&"

here=$(cd "$(dirname "$0")/.." && pwd)
check_only=false
if [ "${1:-}" = --check ]; then check_only=true; shift; fi
list=$(realpath "${1:-$here/scripts/mutants.txt}")
if [ -n "${MUTANTS_DIR:-}" ]; then
  work=$MUTANTS_DIR
  mkdir -p "$work"
  read -r owner mode <<<"$(stat -c '%u %a' "$work")"
  if [ "$owner" != "$(id -u)" ] || [ $((8#$mode & 8#022)) -ne 0 ]; then
    echo "MUTANTS_DIR $work must be yours and writable by you alone (owner $owner, mode $mode)" >&2
    exit 2
  fi
else
  work=$(mktemp -d "${TMPDIR:-/tmp}/brelo-mutants.XXXXXX")
  trap 'rm -rf "$work"' EXIT
fi
port=${MUTANTS_PORT:-5458}
limit=${MUTANTS_TIMEOUT:-300}
src=$work/src
build=$work/build
logs=$work/logs
case "$(realpath -m "$work")/" in
  "$here"/*) echo "MUTANTS_DIR must be outside $here" >&2; exit 2 ;;
esac

say() { printf '%s\n' "$*" >&2; }

# ---- the list -----------------------------------------------------------------------------

files=() originals=() replacements=() descriptions=()
while IFS= read -r line || [ -n "$line" ]; do
  case "$line" in '' | '#'*) continue ;; esac
  rest=$line
  file=${rest%% @@ *}; rest=${rest#"$file @@ "}
  original=${rest%% @@ *}; rest=${rest#"$original @@ "}
  replacement=${rest%% @@ *}; rest=${rest#"$replacement @@ "}
  if [ -z "$file" ] || [ -z "$original" ] || [ "$rest" = "$line" ] || [[ "$rest" == *" @@ "* ]]; then
    say "$list: not four fields: $line"
    exit 2
  fi
  files+=("$file")
  originals+=("${original//<NL>/$'\n'}")
  replacements+=("${replacement//<NL>/$'\n'}")
  descriptions+=("$rest")
done <"$list"
count=${#files[@]}
[ "$count" -gt 0 ] || { say "$list holds no mutant"; exit 2; }

# The test programs whose areas use the file, its own area's first. Sales and the start-up
# tests never reach the write side: they only log in and read.
targets_of() {
  case "$1" in
    db/*) echo "test_quick test_db test_edits test_manager" ;;
    programme/*) echo "test_quick test_programme test_manager" ;;
    followup/*) echo "test_quick test_followup test_edits test_manager" ;;
    planning/*) echo "test_quick test_manager" ;;
    contracts/*) echo "test_quick test_manager" ;;
    edits/*) echo "test_quick test_edits test_manager" ;;
    manager/*) echo "test_manager" ;;
    platform/* | dialog/*) echo "test_platform test_quick test_manager" ;;
    *) say "no test program is known for $1"; exit 2 ;;
  esac
}

# ---- texts in files -----------------------------------------------------------------------

# The whole file, trailing line breaks included (a command substitution alone drops them).
read_file() { local text; text=$(cat "$1"; printf x); printf '%s' "${text%x}"; }

occurrences() {  # TEXT NEEDLE
  local without=${1//"$2"/}
  echo $(((${#1} - ${#without}) / ${#2}))
}

# Fails loudly unless mutant I's text occurs exactly once in its file of the copy.
check() {
  local i=$1 path="$src/${files[$1]}" found
  [ -f "$path" ] || { say "mutant $((i + 1)): no file ${files[$i]}"; return 1; }
  found=$(occurrences "$(read_file "$path")" "${originals[$i]}")
  if [ "$found" -ne 1 ]; then
    say "mutant $((i + 1)): its text occurs $found times in ${files[$i]}, not once:"
    say "${originals[$i]}"
    return 1
  fi
}

apply() {
  local i=$1 path="$src/${files[$1]}" text
  check "$i" || return 1
  text=$(read_file "$path")
  printf '%s' "${text/"${originals[$i]}"/"${replacements[$i]}"}" >"$path"
}

restore() { git -C "$src" checkout -q -- "$1"; }

# ---- the copy -----------------------------------------------------------------------------

head=$(git -C "$here" rev-parse HEAD)
mkdir -p "$work" "$logs"
if [ -d "$src/.git" ]; then
  git -C "$src" fetch -q "$here" "$head"
  git -C "$src" checkout -q --force --detach "$head"
  git -C "$src" clean -qfdx
else
  git clone -q --no-checkout "$here" "$src"
  git -C "$src" checkout -q --detach "$head"
fi
say "copy of $head in $src"

# Every text is checked before the long run of builds starts.
for ((i = 0; i < count; i++)); do check "$i" || exit 1; done
say "$count mutants, each text found once"
if $check_only; then exit 0; fi

all_targets="test_platform test_quick test_db test_programme test_followup test_edits test_manager"
if [ ! -f "$build/CMakeCache.txt" ]; then
  "$src/scripts/configure-local.sh" "$build" "$port" -DBRELO_BENCH=OFF >"$logs/configure.log" 2>&1 ||
    { cat "$logs/configure.log"; exit 1; }
fi
say "building $all_targets (the first time takes a while on two cores)"
# shellcheck disable=SC2086
cmake --build "$build" -j2 --target $all_targets >"$logs/build.log" 2>&1 || { tail -40 "$logs/build.log"; exit 1; }

# A file left mutated by an interrupted run would spoil the next round's copy.
current=""
stop() {
  [ -n "$current" ] && restore "$current"
  "$src/scripts/localdb.sh" stop "$build" >/dev/null 2>&1 || true
}
trap 'stop; [ -n "${MUTANTS_DIR:-}" ] || rm -rf "$work"' EXIT
"$src/scripts/localdb.sh" start "$build" >"$logs/localdb.log" 2>&1 || { cat "$logs/localdb.log"; exit 1; }

# Runs one test program as ctest does: from the build's tests folder, offscreen. The braces
# send the shell's own notice of a crash to the log too.
run_test() {  # TARGET LOG
  { (cd "$build/tests" && QT_QPA_PLATFORM=offscreen timeout -k 10 "$limit" "./$1" --gtest_brief=1); } >>"$2" 2>&1
}

# An unmutated tree must pass, or every mutant would count as killed.
say "running the unmutated tests"
: >"$logs/baseline.log"
for target in $all_targets; do
  run_test "$target" "$logs/baseline.log" || { say "$target fails unmutated (see $logs/baseline.log)"; exit 1; }
done

# ---- the round ----------------------------------------------------------------------------

killed=0
results=()
for ((i = 0; i < count; i++)); do
  n=$(printf '%02d' $((i + 1)))
  log="$logs/mutant-$n.log"
  : >"$log"
  current=${files[$i]}
  apply "$i"
  verdict=SURVIVED how=""
  targets=$(targets_of "${files[$i]}")
  # shellcheck disable=SC2086
  if ! cmake --build "$build" -j2 --target $targets >>"$log" 2>&1; then
    verdict=KILLED how="build"
  else
    for target in $targets; do
      status=0
      run_test "$target" "$log" || status=$?
      case $status in
        0) continue ;;
        124 | 137) how="$target timed out" ;;
        13[0-9] | 1[4-9][0-9]) how="$target crashed, signal $((status - 128))" ;;
        *) how="$target" ;;
      esac
      verdict=KILLED
      break
    done
  fi
  restore "${files[$i]}"
  current=""
  if [ "$verdict" = KILLED ]; then killed=$((killed + 1)); fi
  results+=("$(printf '%-8s %s %-34s %s%s' "$verdict" "$n" "${files[$i]}" "${descriptions[$i]}" "${how:+ [$how]}")")
  say "${results[-1]}"
done

# The restored files rebuilt, so that the copy's programs are those of the tree again.
# shellcheck disable=SC2086
cmake --build "$build" -j2 --target $all_targets >>"$logs/build.log" 2>&1 || say "the restored tree did not build"

printf '%s\n' "${results[@]}" | tee "$work/results.txt"
echo "mutants: $killed of $count killed" | tee -a "$work/results.txt"
