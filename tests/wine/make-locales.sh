#!/bin/sh
# Makes the Japanese and Chinese UTF-8 locales in DIR without root, for the
# locale runs of the end-to-end tests (LOCPATH=DIR LC_ALL=ja_JP.UTF-8): Wine
# takes the system's code page from them. A locale already made is kept.
set -eu
dir=${1:?usage: make-locales.sh DIR}
mkdir -p "$dir"
for locale in ja_JP zh_CN; do
  [ -f "$dir/$locale.UTF-8/LC_CTYPE" ] && continue
  localedef -i "$locale" -f UTF-8 "$dir/$locale.UTF-8"
done
