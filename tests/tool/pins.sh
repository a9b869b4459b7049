#!/usr/bin/env bash
# Pins what every command does: runs the command lines of a list in one scratch folder, in order,
# and compares a transcript of each run (status, stdout, stderr, the files it added, changed or
# removed) with the stored one, byte for byte. A line "! CMD" prepares files and is not pinned.
# Usage: tests/tool/pins.sh GIBO SOURCE-TREE LIST [--update]   (LIST: a file in tests/tool/pins/)
. "${BASH_SOURCE%/*}/common.sh" "$1"
src=$(cd "$2" && pwd) pins=$(cd "${BASH_SOURCE%/*}/pins" && pwd) list=$3
GIBO=$(realpath "$1")
cd "$work" && umask 022
"$src/examples/make-examples" ex >/dev/null && cp -r "$pins/records" rec
gibo() { "$GIBO" "$@" </dev/null; }
# Every file below the folder with its type and mode, then each regular file's checksum; an
# index only by its name, since it holds the records' modification times.
files() {
  find . -mindepth 1 \( -path ./out -o -path ./err -o -path ./before -o -path ./transcript \) \
    -prune -o -printf '%p %y %m %l\n' | LC_ALL=C sort
  find . -mindepth 1 \( -path ./out -o -path ./err -o -path ./before -o -path ./transcript \
    -o -name '*.db*' -o -name ':memory:*' \) -prune -o -type f -print0 | xargs -0 sha1sum | cut -c1-12,41- |
    LC_ALL=C sort -k2
}
scrub() { sed -e "s|$work|WORK|g" -e 's|gibo-[A-Za-z0-9._-]*-[0-9]\{1,\}-[A-Za-z0-9]\{6\}|gibo-XXXXXX|g' -e 's|"mtime":[0-9]*|"mtime":T|g' "$@"; }
while IFS= read -r cmd; do
  case $cmd in
    '' | '#'*) continue ;;
    '! '*) eval "${cmd#! }" </dev/null; continue ;;
  esac
  files >before
  eval "$cmd" >out 2>err
  status=$?
  printf '$ %s\nstatus %s\n' "$cmd" "$status"
  for stream in out:'| ' err:'! '; do
    scrub "${stream%%:*}" | sed "s/^/${stream#*:}/"
    [ -z "$(tail -c 1 "${stream%%:*}")" ] || printf '\n(no line end)\n'
  done
  files | diff -a before - | grep -a '^[<>]' | scrub
done <"$pins/$list" >"$work/transcript"
if [ "${4:-}" = --update ]; then
  cp "$work/transcript" "$pins/$list.out"
elif ! cmp -s "$work/transcript" "$pins/$list.out"; then
  diff -a "$pins/$list.out" "$work/transcript" | head -n 60 >&2
  fail "the transcript of $list differs from $list.out"
fi
finish "$list"
