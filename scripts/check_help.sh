#!/usr/bin/env bash
# Lists the topics inside a built help file and checks that the topics the add-in's help links are there:
#   scripts/check_help.sh <TESSALY.chm>
set -euo pipefail
chm=$1
[ -s "$chm" ] || { echo "no help file at $chm" >&2; exit 1; }
listing=$(chmls list "$chm" 2>/dev/null)
topics=$(awk '$NF ~ /\.htm$/ { print $NF }' <<<"$listing")
echo "topics in $(basename "$chm"):" $topics
status=0
for topic in index.htm settings.htm custom_date_formats.htm default_date.htm undo_date.htm; do
  grep -qx "/$topic" <<<"$topics" || { echo "missing topic: $topic" >&2; status=1; }
done
exit $status
