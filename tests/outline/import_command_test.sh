#!/usr/bin/env bash
# `mindmap import` on a text outline holding invalid UTF-8: the map is written, the status is
# success, and standard error holds exactly one line naming the file and the count of bad
# sequences read as U+FFFD. A clean file says nothing.
# Usage: import_command_test.sh MINDMAP
set -euo pipefail
mindmap=$1
dir=$(mktemp -d)
trap 'rm -rf "$dir"' EXIT

fail() { echo "FAIL: $*" >&2; exit 1; }

# Under LeakSanitizer the program's exit also lists the suppressed leaks of the system's font
# library on standard error; this test is about the program's own lines.
export LSAN_OPTIONS="${LSAN_OPTIONS:+$LSAN_OPTIONS:}print_suppressions=0"

printf -- '- a\x80\n    - b\xff\xfe\n' > "$dir/bad.md"
"$mindmap" import "$dir/bad.md" "$dir/out.mind" 2> "$dir/err" || fail "import exited with $?"
[ -s "$dir/out.mind" ] || fail "no map written"
[ "$(wc -l < "$dir/err")" -eq 1 ] || fail "expected one line, got: $(cat "$dir/err")"
want="mindmap: '$dir/bad.md': 3 sequences of invalid UTF-8 read as U+FFFD"
[ "$(cat "$dir/err")" = "$want" ] || fail "got '$(cat "$dir/err")', want '$want'"

printf -- 'Title\n=====\n- a\n' > "$dir/good.md"
"$mindmap" import "$dir/good.md" "$dir/good.mind" 2> "$dir/err" || fail "clean import exited with $?"
[ ! -s "$dir/err" ] || fail "a clean import printed: $(cat "$dir/err")"
echo "import command: ok"
