#!/usr/bin/env bash
# The seal tool on a disk of every kind of file the install meets: it lists
# exactly what the install copies, with the right sizes and digests; the seal
# and the description block come out whole in either order and again on a
# second run; a disk it cannot seal is refused and setup.exe left alone.
#
#   seal_tool.sh <seal tool> <descblock> <the six description texts>
set -euo pipefail
seal=$1 descblock=$2
shift 2
texts=("$@")
work=$(mktemp -d "${TMPDIR:-/tmp}/seal_tool.XXXXXX")
trap 'rm -rf "$work"' EXIT
fail() {
  echo "seal_tool: $*" >&2
  exit 1
}

# A program of its own bytes, a disk around it. Listed: manifest rows in any
# case, pattern files of any case and name, the viewer's plain files.
head -c 6001 /dev/urandom >"$work/program"
disk=$work/disk
mkdir -p "$disk/viewer/sub" "$disk/dir.txt"
for name in Vestra.exe vstmain.dat VSTCORE.DLL Vestra.hlp readme.txt Notes.TXT .hidden.whs \
            letter.tpl '日本.txt' viewer/vview.exe viewer/vview.txt extra.dat notes.txt.bak \
            viewer/sub/deep.txt; do
  head -c $((RANDOM % 3000)) /dev/urandom >"$disk/$name"
done
: >"$disk/vstfont.dat"  # an empty file is a file
cp "$work/program" "$disk/setup.exe"
expected=$(
  cd "$disk"
  for name in Vestra.exe vstmain.dat vstfont.dat VSTCORE.DLL Vestra.hlp readme.txt Notes.TXT \
              .hidden.whs letter.tpl '日本.txt' viewer/vview.exe viewer/vview.txt; do
    listed=$name
    case $name in VSTCORE.DLL) listed=vstcore.dll ;; esac
    echo "$(stat -c %s "$name") $(sha256sum <"$name" | cut -d' ' -f1) ${listed//\//\\}"
  done | sort
)
listing() { "$seal" list "$1" | sort; }

# Either order gives a file whose seal lists the disk and which ends with the
# description block that descblock alone writes.
cp "$work/program" "$work/described"
"$descblock" append "$work/described" "${texts[@]}"
block_size=$(($(stat -c %s "$work/described") - 6001))
for order in "seal descblock" "descblock seal"; do
  cp "$work/program" "$disk/setup.exe"
  for step in $order $order; do  # each twice: a second run changes nothing
    case $step in
      seal) "$seal" write "$disk" >/dev/null ;;
      descblock) "$descblock" append "$disk/setup.exe" "${texts[@]}" ;;
    esac
  done
  [ "$(listing "$disk/setup.exe")" = "$expected" ] || fail "$order: the seal lists $(listing "$disk/setup.exe")"
  cmp -s <(tail -c "$block_size" "$disk/setup.exe") <(tail -c "$block_size" "$work/described") ||
    fail "$order: the description block is not at the end"
  cmp -s <(head -c 6001 "$disk/setup.exe") "$work/program" || fail "$order: the program changed"
  [ $(($(stat -c %s "$disk/setup.exe") % 8)) = 0 ] || fail "$order: the end is not aligned"
  cp "$disk/setup.exe" "$work/$step.exe"
done

cp "$disk/setup.exe" "$work/seal.exe"

# Disks that cannot be sealed, each with its reason; setup.exe stays as it was.
refuse() {
  local reason=$1
  shift
  cp "$work/seal.exe" "$disk/setup.exe"
  if "$seal" write "$disk" "$@" 2>"$work/log" >/dev/null; then fail "sealed: $reason"; fi
  grep -qF "$reason" "$work/log" || { cat "$work/log" >&2; fail "no \"$reason\""; }
  cmp -s "$work/seal.exe" "$disk/setup.exe" || fail "setup.exe changed: $reason"
  rm -f "$disk/kminspector.exe" "$disk/a.TXT" "$disk"/bad* "$disk/viewer/dot."
}
: >"$disk/kminspector.exe"
refuse "main programs of both editions"
mv "$disk/Vestra.exe" "$work/Vestra.exe"
refuse "no edition's main program"
mv "$work/Vestra.exe" "$disk/Vestra.exe"
: >"$disk/a.TXT"
: >"$disk/A.txt"
refuse "differs only in case" --edition 0
rm "$disk/A.txt"
: >"$disk/bad\\name.txt"
refuse "holds a character no Windows file name holds"
: >"$disk/bad$(printf '\xe9').txt"
refuse "is not UTF-8"
: >"$disk/viewer/dot."
refuse "ends in a space or a dot"
echo "seal_tool: all cases passed"
