#!/usr/bin/env bash
# Plots the samples of `hostsim run --csv --units` over time: one panel per
# unit, the unit on its axis, one line per channel ("block / channel").
# Within a panel, channels whose largest value is under a tenth of the
# panel's largest are drawn against the right axis, on a scale of their own,
# so a trace near 20 is not drawn flat under one near 800; each panel leaves
# a margin above and below its traces, so a constant value does not lie on
# the frame.
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
      if (!(unit[k] in seen)) { seen[unit[k]] = ++p; print p "\t" unit[k] >> (dir "/panels") }
      if (big[k] > most[unit[k]]) most[unit[k]] = big[k]
    }
    for (i = 1; i <= n; i++) {
      k = order[i]
      axis = big[k] > 0 && big[k] < most[unit[k]] / 10 ? "x1y2" : "x1y1"
      print seen[unit[k]] "\t" k "\t" file[k] "\t" axis >> (dir "/channels")
    }
  }' "$csv"
[ -s "$work/channels" ] || { echo "plot: no samples in $csv" >&2; exit 1; }
panels=$(wc -l <"$work/panels")

{
  echo "set terminal pngcairo size 1000,$((320 * panels + 40)) font 'Sans,10'"
  echo "set output '$png'"
  echo "set encoding utf8"
  echo "set multiplot layout $panels,1 title 'The demo measured by Telvio (hostsim run): one panel per unit'"
  echo "set grid"
  echo "set key outside right top vertical font ',8' spacing 0.9"
  echo "set offsets 0, 0, graph 0.15, graph 0.15"
  echo "set autoscale y2"
  echo "set xlabel 'experiment time / s'"
  while IFS=$'\t' read -r panel unit; do
    echo "set ylabel '$unit'"
    if awk -F'\t' -v p="$panel" '$1 == p && $4 == "x1y2" { found = 1 } END { exit !found }' \
      "$work/channels"; then
      echo "set ytics nomirror; set y2tics; set y2label '$unit (right axis)'"
    else
      echo "set ytics mirror; unset y2tics; unset y2label"
    fi
    printf 'plot '
    awk -F'\t' -v p="$panel" '$1 == p {
        printf "%s\x27%s\x27 using 1:2 axes %s with linespoints pt 7 ps 0.5 title \x27%s%s\x27", sep, $3, $4, $2, $4 == "x1y2" ? " (right)" : ""
        sep = ", "
      }' "$work/channels"
    echo
  done <"$work/panels"
  echo "unset multiplot"
} >"$work/plot.gp"
gnuplot "$work/plot.gp"
