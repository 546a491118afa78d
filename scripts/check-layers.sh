#!/usr/bin/env bash
# Each folder of the program includes only from its own floor and the floors below it:
#   resources <- platform <- dialog <- db <- programme <- contracts <- followup <- planning
#   <- edits <- manager, sales <- app
# manager and sales are siblings on one floor: neither includes the other. Prints every include
# that runs upward or sideways and fails when there is one. Then draws the includes between
# the files (a .h and its .cpp as one) and fails when they run in a circle.
set -u
cd "$(dirname "$0")/.."
floors=(resources platform dialog db programme contracts followup planning edits "manager sales" app)
declare -A level
for i in "${!floors[@]}"; do
  for folder in ${floors[$i]}; do level[$folder]=$i; done
done
bad=0
for folder in "${!level[@]}"; do
  while IFS=: read -r file line text; do
    target=$(sed -E 's/.*#include "([a-z_]+)\/.*/\1/' <<<"$text")
    [ -n "${level[$target]+x}" ] || continue
    if [ "${level[$target]}" -gt "${level[$folder]}" ]; then
      echo "$file:$line: $folder includes from $target, a floor above it"
      bad=1
    elif [ "${level[$target]}" -eq "${level[$folder]}" ] && [ "$target" != "$folder" ]; then
      echo "$file:$line: $folder includes from $target, beside it on its floor"
      bad=1
    fi
  done < <(grep -Hn '#include "[a-z_]*/' "$folder"/*.h "$folder"/*.cpp 2>/dev/null)
done
[ $bad -eq 0 ] && echo "no include runs upward or sideways"

# The includes as pairs "file included-file" (extensions dropped), for tsort to order: it names
# a circle when there is one.
pairs=$(for folder in "${!level[@]}"; do
  grep -Ho '#include "[a-z_]*/[a-z_0-9]*\.h"' "$folder"/*.h "$folder"/*.cpp 2>/dev/null |
    sed -E 's/^([^:]+)\.(h|cpp):#include "([^"]+)\.h"$/\1 \3/' | awk '$1 != $2'
done)
if loops=$(tsort <<<"$pairs" 2>&1 >/dev/null) && [ -z "$loops" ]; then
  echo "no include circle"
else
  echo "$loops" | sed 's/^tsort: /include circle: /'
  bad=1
fi
exit $bad
