#!/usr/bin/env bash
# Each folder of the program includes only from its own floor and the floors below it:
# resources <- platform <- db <- programme <- planning <- contracts <- edits <- manager <- sales <- app.
# Prints every include that runs upward and fails when there is one.
set -u
cd "$(dirname "$0")/.."
floors=(resources platform db programme planning contracts edits manager sales app)
declare -A level
for i in "${!floors[@]}"; do level[${floors[$i]}]=$i; done
bad=0
for folder in "${floors[@]}"; do
  while IFS=: read -r file line text; do
    target=$(sed -E 's/.*#include "([a-z_]+)\/.*/\1/' <<<"$text")
    [ -n "${level[$target]+x}" ] || continue
    if [ "${level[$target]}" -gt "${level[$folder]}" ]; then
      echo "$file:$line: $folder includes from $target, a floor above it"
      bad=1
    fi
  done < <(grep -Hn '#include "[a-z_]*/' "$folder"/*.h "$folder"/*.cpp 2>/dev/null)
done
[ $bad -eq 0 ] && echo "no include runs upward"
exit $bad
