#!/usr/bin/env bash
# The small drives of the end-to-end tests, tmpfs mounts in the build tree
# mapped into the Wine prefix: X: of 8 MB, so that a full disk can be made on
# purpose, and Y: with room but only a few inodes, a disk that fills after
# the space check. "mount" makes them fresh, "unmount" takes them away.
# Mounting needs root; without it the drives are left out and their tests skip.
# Under test.sh's lanes (SETUP_LANES) every lane's prefix gets the drives too,
# as the tests that use them may run on any of them.
set -u
action=$1 prefix=$2 folder=$3
prefixes=("$prefix")
if [ -n "${SETUP_LANES:-}" ]; then
  for lane in "$SETUP_LANES"/*/prefix; do [ -d "$lane" ] && prefixes+=("$lane"); done
fi
drive() {  # letter folder options
  local letter=$1 folder=$2 p
  case "$action" in
  mount)
    for p in "${prefixes[@]}"; do mkdir -p "$p/dosdevices"; done
    mkdir -p "$folder"
    if ! mountpoint -q "$folder" && ! mount -t tmpfs -o "$3" tmpfs "$folder" 2>/dev/null; then
      echo "No small drive $letter: (mounting a tmpfs needs root); its tests skip."
      for p in "${prefixes[@]}"; do rm -f "$p/dosdevices/$letter:"; done
      return
    fi
    find "$folder" -mindepth 1 -delete
    for p in "${prefixes[@]}"; do ln -sfn "$folder" "$p/dosdevices/$letter:"; done
    ;;
  unmount)
    for p in "${prefixes[@]}"; do rm -f "$p/dosdevices/$letter:"; done
    if mountpoint -q "$folder"; then umount "$folder"; fi
    ;;
  esac
}
drive x "$folder" size=8m
drive y "$folder-inodes" size=8m,nr_inodes=16
