#!/usr/bin/env bash
# The product folders in layers: each may include only folders below it. Reads
# the `#include "folder/..."` lines of the product folders (not tests, tools,
# fuzz or bench), prints the layer order they give, and fails naming every
# cycle, with a file behind each of its steps. ./test.sh runs it first.
set -euo pipefail
cd "$(dirname "$0")/.."

folders=()
for a in banner install platform progman startup tables window; do
  [[ -d $a ]] && folders+=("$a")
done
declare -A includes=() example=() reach=() level=() group=()

is_folder() { [[ " ${folders[*]} " == *" $1 "* ]]; }

# includes["a b"]: a file of a includes one of b; example["a b"] names one.
for a in "${folders[@]}"; do
  while IFS=: read -r file target; do
    b=${target%%/*}
    if [[ $b != "$a" ]] && is_folder "$b"; then
      includes["$a $b"]=1
      [[ -n ${example["$a $b"]:-} ]] || example["$a $b"]="$file includes $target"
    fi
  done < <(grep -rHoE '^[[:space:]]*#[[:space:]]*include[[:space:]]*"[a-z_]+/[^"]+"' \
             --include='*.h' --include='*.cpp' "$a" | sed -E 's/:.*"([^"]+)"$/:\1/')
done

# reach["a b"]: a includes b directly or through others.
for key in "${!includes[@]}"; do reach[$key]=1; done
for k in "${folders[@]}"; do
  for i in "${folders[@]}"; do
    [[ -n ${reach["$i $k"]:-} ]] || continue
    for j in "${folders[@]}"; do
      [[ -z ${reach["$k $j"]:-} ]] || reach["$i $j"]=1
    done
  done
done

# group[a]: a with every folder it shares a cycle with, "{a b}" when there are any.
for a in "${folders[@]}"; do
  members=""
  for b in "${folders[@]}"; do
    [[ $b == "$a" || (-n ${reach["$a $b"]:-} && -n ${reach["$b $a"]:-}) ]] &&
      members+="${members:+ }$b"
  done
  [[ $members == "$a" ]] && group[$a]=$a || group[$a]="{$members}"
done

# A shortest cycle through first, within its group: the folders in order.
cycle_through() {
  local first=$1 queue=("$1") seen=" $1 " at b
  declare -A from=()
  while ((${#queue[@]})); do
    at=${queue[0]}
    queue=("${queue[@]:1}")
    for b in "${folders[@]}"; do
      [[ -n ${includes["$at $b"]:-} && ${group[$b]} == "${group[$first]}" ]] || continue
      if [[ $b == "$first" ]]; then
        local path="$at -> $first"
        while [[ $at != "$first" ]]; do
          at=${from[$at]}
          path="$at -> $path"
        done
        echo "$path"
        return
      fi
      [[ $seen == *" $b "* ]] && continue
      seen+="$b "
      from[$b]=$at
      queue+=("$b")
    done
  done
}

# level[a]: the longest chain of includes below a, counting a cycle as one folder.
for a in "${folders[@]}"; do level[$a]=0; done
for _ in "${folders[@]}"; do
  for key in "${!includes[@]}"; do
    a=${key% *} b=${key#* }
    [[ ${group[$a]} == "${group[$b]}" ]] && continue
    ((level[$b] + 1 <= level[$a])) || level[$a]=$((level[$b] + 1))
    for c in "${folders[@]}"; do
      [[ ${group[$c]} == "${group[$a]}" ]] && level[$c]=${level[$a]}
    done
  done
done

order=""
for ((n = 0; n < ${#folders[@]}; ++n)); do
  step=""
  for a in "${folders[@]}"; do
    [[ ${level[$a]} -eq $n && $step != *"${group[$a]}"* ]] || continue
    step+="${step:+, }${group[$a]}"
  done
  [[ -z $step ]] || order+="${order:+ < }$step"
done
echo "Layers, each including only layers to its left: $order"

# One shortest cycle through each folder of a group that no cycle shown passes.
cycles=0
shown=" "
for a in "${folders[@]}"; do
  [[ ${group[$a]} == "$a" || $shown == *" $a "* ]] && continue
  cycles=$((cycles + 1))
  path=$(cycle_through "$a")
  echo "Include cycle: $path"
  read -ra steps <<<"${path//->/}"
  for ((i = 0; i + 1 < ${#steps[@]}; ++i)); do
    shown+="${steps[i]} "
    echo "  ${steps[i]} -> ${steps[i + 1]}: ${example["${steps[i]} ${steps[i + 1]}"]}"
  done
done
if ((cycles)); then
  echo "check-layers: FAILED: $cycles include cycle(s) between product folders" >&2
  exit 1
fi
echo "check-layers: no include cycles between product folders"
