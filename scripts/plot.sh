#!/usr/bin/env bash
# Plots the samples of `hostsim run --csv --units` over time: one panel per
# unit, the unit on its axis, one line per channel ("block / channel").
# Within a unit, channels whose values differ by an order of magnitude or
# more get panels of their own, so a trace near 2 is not drawn flat under one
# near 800; each panel leaves a margin above and below its traces, so a
# constant value does not lie on the frame.
#   plot.sh SAMPLES.csv PLOT.png
set -euo pipefail
csv=$1 png=$2
header=$(head -1 "$csv")
[ "$header" = "block,channel,time,value,unit" ] ||
  { echo "plot: $csv is no sample file with units (hostsim run --csv --units)" >&2; exit 1; }
work=$(mktemp -d "${TMPDIR:-/tmp}/telvio-plot-XXXXXX")
trap 'rm -rf "$work"' EXIT

# One data file per channel (time, value); per channel its unit and the
# decade of its largest value; the panels in the order their channels come.
# Quoted CSV fields (names with commas) are not expected in the demo.
awk -F, -v dir="$work" '
  NR == 1 { next }
  {
    key = $1 " / " $2
    if (!(key in file)) {
      n++
      file[key] = dir "/" n ".dat"
      order[n] = key
      unit[key] = $5 == "" ? "(no unit)" : $5
      big[key] = 0
    }
    v = $4 < 0 ? -$4 : $4
    if (v > big[key]) big[key] = v
    print $3, $4 > file[key]
  }
  END {
    for (i = 1; i <= n; i++) {
      k = order[i]
      decade = big[k] < 1 ? 0 : int(log(big[k]) / log(10))
      panel = unit[k] " " decade
      if (!(panel in seen)) { seen[panel] = ++p; print p "\t" unit[k] >> (dir "/panels") }
      print seen[panel] "\t" k "\t" file[k] >> (dir "/channels")
    }
  }' "$csv"
[ -s "$work/channels" ] || { echo "plot: no samples in $csv" >&2; exit 1; }
panels=$(wc -l <"$work/panels")

{
  echo "set terminal pngcairo size 900,$((220 * panels + 40)) font 'Sans,10'"
  echo "set output '$png'"
  echo "set encoding utf8"
  echo "set multiplot layout $panels,1 title 'The demo measured by Telvio (hostsim run): one panel per unit'"
  echo "set grid"
  echo "set key outside right"
  echo "set offsets 0, 0, graph 0.15, graph 0.15"
  echo "set xlabel 'experiment time / s'"
  while IFS=$'\t' read -r panel unit; do
    echo "set ylabel '$unit'"
    printf 'plot '
    awk -F'\t' -v p="$panel" '$1 == p { printf "%s\x27%s\x27 using 1:2 with linespoints pt 7 ps 0.5 title \x27%s\x27", sep, $3, $2; sep = ", " }' \
      "$work/channels"
    echo
  done <"$work/panels"
  echo "unset multiplot"
} >"$work/plot.gp"
gnuplot "$work/plot.gp"
