#!/usr/bin/env bash
# Plots the samples of `hostsim run --csv` over time: one panel per block,
# one line per channel.
#   plot.sh SAMPLES.csv PLOT.png
set -euo pipefail
csv=$1 png=$2
[ "$(head -1 "$csv")" = "block,channel,time,value" ] || { echo "plot: $csv is no sample file" >&2; exit 1; }
work=$(mktemp -d "${TMPDIR:-/tmp}/telvio-plot-XXXXXX")
trap 'rm -rf "$work"' EXIT

# One data file per channel (time, value), and the blocks in their order.
awk -F, -v dir="$work" '
  NR == 1 { next }
  {
    key = $1 SUBSEP $2
    if (!(key in file)) {
      n++
      file[key] = dir "/" n ".dat"
      print $1 "\t" $2 "\t" file[key] >> (dir "/channels")
    }
    print $3, $4 > file[key]
  }' "$csv"
[ -s "$work/channels" ] || { echo "plot: no samples in $csv" >&2; exit 1; }
blocks=$(cut -f1 "$work/channels" | awk '!seen[$0]++' | wc -l)

{
  echo "set terminal pngcairo size 900,$((230 * blocks + 40)) font 'Sans,10'"
  echo "set output '$png'"
  echo "set multiplot layout $blocks,1 title 'Simulated thermocouple modules measured by Telvio (hostsim run)'"
  echo "set grid"
  echo "set key outside right"
  echo "set xlabel 'experiment time / s'"
  echo "set ylabel '°C'"
  cut -f1 "$work/channels" | awk '!seen[$0]++' | while IFS= read -r block; do
    echo "set title '$block'"
    printf 'plot '
    awk -F'\t' -v b="$block" '$1 == b { printf "%s\x27%s\x27 using 1:2 with linespoints pt 7 ps 0.5 title \x27%s\x27", sep, $3, $2; sep = ", " }' \
      "$work/channels"
    echo
  done
  echo "unset multiplot"
} >"$work/plot.gp"
gnuplot "$work/plot.gp"
