# Shared by the tool's end-to-end scripts: a private work directory (TMPDIR inside it, so the
# tool's leftovers can be looked for), running gibo with the status checked, and the tally.
# Sourced as: . "${BASH_SOURCE%/*}/common.sh" GIBO
set -uo pipefail
gibo=$1
export LC_ALL=C.UTF-8
work=$(mktemp -d)
trap 'chmod -R u+rwx "$work"; rm -rf "$work"' EXIT
chmod 755 "$work"
export TMPDIR=$work/tmp
mkdir -p -m 1777 "$TMPDIR"
failures=0

fail() { echo "FAIL: $*" >&2; failures=$((failures + 1)); }
# run_cmd STATUS COMMAND...: runs it, keeps stdout and stderr in $work/out and $work/err.
run_cmd() {
  local want=$1; shift
  "$@" >"$work/out" 2>"$work/err"
  local got=$?
  [ "$got" -eq "$want" ] || fail "$* exited $got, not $want; stderr: $(head -c 2000 "$work/err")"
}
run() { local want=$1; shift; run_cmd "$want" "$gibo" "$@"; }  # run STATUS GIBO-ARGS...
# says STATUS TEXT GIBO-ARGS...: run, and TEXT is in what it wrote (stdout or stderr).
says() {
  local want=$1 text=$2; shift 2
  run "$want" "$@"
  grep -qF -- "$text" "$work/out" "$work/err" || fail "gibo $*: no '$text' in: $(cat "$work/out" "$work/err")"
}
# prints STATUS LINE GIBO-ARGS...: run, and LINE is a line of its stdout.
prints() { local want=$1 text=$2; shift 2; run "$want" "$@"; has_line "$work/out" "$text"; }
has_line() { grep -qxF -- "$2" "$1" || fail "no line '$2' in $1 for: $(head -c 2000 "$1")"; }
has_text() { grep -qF -- "$2" "$1" || fail "no '$2' in $1: $(head -c 2000 "$1")"; }
has_lines() { local f=$1 l; shift; for l in "$@"; do has_line "$f" "$l"; done; }  # FILE LINE...
has_texts() { local f=$1 t; shift; for t in "$@"; do has_text "$f" "$t"; done; }  # FILE TEXT...
lacks_text() { ! grep -qF -- "$2" "$1" || fail "unexpected '$2' in $1"; }
line() { printf -- "$1"; printf '\r\n'; }  # a record line with its CR LF
finish() {  # NAME: the tally and the exit status
  if [ "$failures" -gt 0 ]; then
    echo "$failures check(s) failed" >&2
    exit 1
  fi
  echo "all $1 checks passed"
}
