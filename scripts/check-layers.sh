#!/usr/bin/env bash
# Resolves every quoted include of the product folders to the folder that holds the header and fails on an
# include that points up the layer order (link, model, tuning/measure, ui, graph/editing/scenes, app) or
# out of what sim/ (link only) and cli/ (widget-free layers only) may use. Run by CTest as "layers".
set -uo pipefail
cd "$(dirname "$0")/.."
declare -A rank=([link]=0 [model]=1 [tuning]=2 [measure]=2 [ui]=3 [graph]=4 [editing]=4 [scenes]=4 [app]=5
                 [sim]=0 [cli]=2)
folders=(link model tuning measure ui graph editing scenes app sim cli)
declare -A home
for d in "${folders[@]}"; do
  [ -d "$d" ] || continue
  for h in "$d"/*.h; do [ -e "$h" ] && home[$(basename "$h")]=$d; done
done
bad=0
for d in "${folders[@]}"; do
  [ -d "$d" ] || continue
  for f in "$d"/*.cpp "$d"/*.h; do
    [ -e "$f" ] || continue
    while read -r h; do
      to=${home[$h]:-}
      [ -z "$to" ] || [ "$to" = "$d" ] && continue
      if [ "${rank[$to]}" -gt "${rank[$d]}" ] || { [ "$d" = sim ] && [ "$to" != link ]; }; then
        echo "upward include: $f -> $to/$h"
        bad=1
      fi
    done < <(sed -n 's/^[[:space:]]*#[[:space:]]*include[[:space:]]*"\([^"]*\)".*/\1/p' "$f")
  done
done
[ $bad -eq 0 ] && echo "no upward includes"
exit $bad
