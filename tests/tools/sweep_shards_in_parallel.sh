#!/usr/bin/env bash
# Three shards of one sweep run side by side through GNU parallel, as on
# three machines, joined: the same bytes as the sweep in one piece.
set -euo pipefail
tool=$1
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
grid=(--q 0.999999999:0.999:60:log --T 1000,9000 --reference)
"$tool" sweep "${grid[@]}" --output "$work/whole.csv"
parallel --halt now,fail=1 "$tool" sweep "${grid[@]}" --threads 1 --shard {}/3 --output "$work/shard{}.csv" ::: 1 2 3
{ cat "$work/shard1.csv"; tail -n +2 "$work/shard2.csv"; tail -n +2 "$work/shard3.csv"; } > "$work/joined.csv"
cmp "$work/whole.csv" "$work/joined.csv"
echo "3 shards joined: $(($(wc -l < "$work/joined.csv") - 1)) rows, the same as one sweep"
