# Shared by the tool's end-to-end scripts: a private work directory (TMPDIR inside it, so the
# tool's leftovers can be looked for), running gibo with the status checked, and the tally.
# Sourced as: . "${BASH_SOURCE%/*}/common.sh" GIBO
set -uo pipefail
gibo=$1
export LC_ALL=C.UTF-8
# Work directories carry the script's process id; those of runs that are gone (killed by a
# timeout, say, when no EXIT trap runs) are removed here.
for old in "${TMPDIR:-/tmp}"/gibo-tool-test-pid*; do
  pid=${old##*/gibo-tool-test-pid} && pid=${pid%%-*}
  if [ -d "$old" ] && ! kill -0 "$pid" 2>/dev/null && [ ! -d "/proc/$pid" ]; then
    chmod -R u+rwx "$old" 2>/dev/null; rm -rf "$old"
  fi
done
work=$(mktemp -d "${TMPDIR:-/tmp}/gibo-tool-test-pid$$-XXXXXX")
trap 'chmod -R u+rwx "$work"; rm -rf "$work"' EXIT
# No file grows to 1 GiB (the largest made here are 300 MiB): a fault that writes without end
# fails at once instead of filling the disk. The tool then reports "File too large"; another
# program is ended by SIGXFSZ (status 153), this shell says so itself.
ulimit -S -f $((1 << 20))
trap 'echo "FAIL: a file reached the tests'"'"' size limit of 1 GiB (ulimit -f)" >&2; exit 1' XFSZ
chmod 755 "$work"
export TMPDIR=$work/tmp
mkdir -p -m 1777 "$TMPDIR"
failures=0

fail() { echo "FAIL: $*" >&2; failures=$((failures + 1)); }
run_cmd() {  # STATUS COMMAND...: runs it, keeps stdout and stderr in $work/out and $work/err
  local want=$1 got; shift; last="$*"
  "$@" >"$work/out" 2>"$work/err"; got=$?
  [ "$got" -ne 153 ] || fail "$* reached the tests' file size limit of 1 GiB"
  [ "$got" -eq "$want" ] || fail "$* exited $got, not $want; stderr: $(head -c 2000 "$work/err")"
}
run() { local want=$1; shift; run_cmd "$want" "$gibo" "$@"; }  # run STATUS GIBO-ARGS...
limited() { (ulimit $1 && shift && exec "$@"); }  # LIMIT COMMAND...: LIMIT as "-f 8", split
said() {  # TEXT...: each TEXT is in what the last run wrote (stdout or stderr)
  local t; for t; do grep -qF -- "$t" "$work/out" "$work/err" || fail "$last: no '$t' in: $(cat "$work/out" "$work/err")"; done
}
# says STATUS TEXT GIBO-ARGS..., prints STATUS LINE GIBO-ARGS...: run, and TEXT was written / LINE printed.
says() { local want=$1 text=$2; shift 2; run "$want" "$@"; said "$text"; }
prints() { local want=$1 text=$2; shift 2; run "$want" "$@"; has_line "$work/out" "$text"; }
# has_line FILE LINE..., has_text FILE TEXT...: each is a line of FILE, or in it.
has_line() { local f=$1 l; shift; for l; do grep -qxF -- "$l" "$f" || fail "no line '$l' in $f for: $(head -c 2000 "$f")"; done; }
has_text() { local f=$1 t; shift; for t; do grep -qF -- "$t" "$f" || fail "no '$t' in $f: $(head -c 2000 "$f")"; done; }
lacks_text() { ! grep -qF -- "$2" "$1" || fail "unexpected '$2' in $1"; }
line() { printf -- "$1"; printf '\r\n'; }  # a record line with its CR LF
finish() {  # NAME: the tally and the exit status
  [ "$failures" -eq 0 ] || { echo "$failures check(s) failed" >&2; exit 1; }
  echo "all $1 checks passed"
}
