#!/usr/bin/env bash
# End-to-end properties of the gibo tool that its pinned transcripts (pins.sh) do not show by
# themselves: the samples are what make-examples writes, JSON is JSON, raw output is the GBK of
# the converted one, the progress line, and the manual page agrees with the help texts.
# Usage: tests/tool/tool_test.sh path/to/gibo path/to/source-tree
. "${BASH_SOURCE%/*}/common.sh" "$1"
src=$2

samples=$work/samples
"$src/examples/make-examples" "$samples"
for f in "$src"/examples/*.gib; do
  cmp -s "$samples/${f##*/}" "$f" || fail "examples/${f##*/} is not what make-examples writes"
done

# --- every JSON line is JSON; raw output is the GBK bytes of the UTF-8 output, which a C locale
# gets as well.
run 0 show --json "$samples"/*.gib "$src"/tests/tool/pins/records/*.gib
! command -v python3 >/dev/null || python3 -c 'import json,sys; [json.loads(l) for l in sys.stdin]' \
  <"$work/out" || fail "show --json is not JSON"
for f in letters compact references; do
  "$gibo" show --raw "$samples/$f.gib" | iconv -f GBK -t UTF-8 >"$work/raw.txt" || fail "raw output of $f is not GBK"
  "$gibo" show "$samples/$f.gib" >"$work/utf8.txt"
  cmp -s "$work/raw.txt" "$work/utf8.txt" || fail "raw and UTF-8 output of $f differ"
  LC_ALL=C "$gibo" show "$samples/$f.gib" | cmp -s - "$work/utf8.txt" || fail "the C locale does not get UTF-8"
done

# --- the progress line: on a terminal only, and gone when the batch is done.
mkdir -p "$work/many" && for i in $(seq 1 12); do cp "$samples/letters.gib" "$work/many/r$i.gib"; done
run 0 show -r "$work/many"
[ ! -s "$work/err" ] || fail "progress written to a stderr that is not a terminal"
if command -v script >/dev/null; then
  script -qec "'$gibo' show -r '$work/many' >/dev/null" /dev/null >"$work/pty" </dev/null
  has_text "$work/pty" "[12/12] $work/many/r9.gib"
  [ "$(tail -c 4 "$work/pty" | od -An -tx1 | tr -d ' \n')" = 0d1b5b4b ] || fail "the progress line is not cleared"
fi

# --- the manual page describes exactly the subcommands and options of the help texts.
options() { grep -oE -- '(^|[][ (,|])--?[a-zA-Z][a-zA-Z-]*' | grep -oE -- '--?[a-zA-Z-]+' | sort -u; }
commands=$("$gibo" --help | awk '/^Commands:/ { on = 1; next } on && /^  [a-z]/ { print $1 }')
man_text=$(sed -n '/^\.SH COMMANDS/,/^\.SH ENVIRONMENT/p' "$src/tools/gibo.1" | sed 's/\\-/-/g; s/\\f[BIR]//g')
[ "$(printf '%s\n' "$man_text" | sed -n 's/^\.B \([a-z-]*\) .*/\1/p')" = "$commands" ] ||
  fail "the subcommands of gibo.1 are not those of gibo --help"
help_options=$({ "$gibo" --help; for c in $commands; do "$gibo" "$c" --help; done; } | options)
diff <(printf '%s\n' "$man_text" | options) <(printf '%s\n' "$help_options") >"$work/man.diff" ||
  fail "gibo.1 and the help texts name different options: $(cat "$work/man.diff")"
version=$(sed -n 's/^project(gibo VERSION \([0-9.]*\).*/\1/p' "$src/CMakeLists.txt")
for flag in --version -V; do prints 0 "gibo $version" "$flag"; has_text "$work/out" "libgibo $version"; done

[ -z "$(ls -A "$TMPDIR")" ] || fail "private directories left in TMPDIR: $(ls -A "$TMPDIR")"
finish tool
