#!/usr/bin/env bash
# The small drives of the end-to-end tests, tmpfs mounts in the build tree
# mapped into the Wine prefix: X: of 8 MB, so that a full disk can be made on
# purpose, and Y: with room but only a few inodes, a disk that fills after
# the space check. "mount" makes them fresh, "unmount" takes them away.
# Mounting needs root; without it the drives are left out and their tests skip.
set -u
action=$1 prefix=$2 folder=$3
drive() {  # letter folder options
  local link="$prefix/dosdevices/$1:" folder=$2
  case "$action" in
  mount)
    mkdir -p "$folder" "$prefix/dosdevices"
    if ! mountpoint -q "$folder" && ! mount -t tmpfs -o "$3" tmpfs "$folder" 2>/dev/null; then
      echo "No small drive $1: (mounting a tmpfs needs root); its tests skip."
      rm -f "$link"
      return
    fi
    find "$folder" -mindepth 1 -delete
    ln -sfn "$folder" "$link"
    ;;
  unmount)
    rm -f "$link"
    if mountpoint -q "$folder"; then umount "$folder"; fi
    ;;
  esac
}
drive x "$folder" size=8m
drive y "$folder-inodes" size=8m,nr_inodes=16
