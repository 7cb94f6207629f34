#!/usr/bin/env bash
# Plots the samples of `hostsim run --csv --units` over time, one line per
# channel ("block / channel"), every panel on the same time axis.
#   - A channel that reads only 0 and 5 (a digital state, as the plug-in
#     delivers a line) goes to the panel "digital states": each such channel
#     on a track of its own, drawn as steps, low at the track's foot and high
#     near its top.
#   - The other channels go to one panel per unit; where a unit's channels
#     lie far apart, they are split into panels (rule below), so a trace near
#     20 is not drawn flat under one near 800. Each panel leaves a margin
#     above and below its traces, so a constant value does not lie on the
#     frame.
#   - Every line has a style of its own, a colour and a dash pattern, no two
#     alike in the picture, so each can be told from the legend.
#   plot.sh SAMPLES.csv PLOT.png
set -euo pipefail
csv=$1 png=$2
header=$(head -1 "$csv")
[ "$header" = "block,channel,time,value,unit" ] ||
  { echo "plot: $csv is no sample file with units (hostsim run --csv --units)" >&2; exit 1; }
work=$(mktemp -d "${TMPDIR:-/tmp}/telvio-plot-XXXXXX")
trap 'rm -rf "$work"' EXIT

# One data file per channel (time, value). Then the panels, in the order
# their first channels come, the digital panel last:
#   panels:   PANEL <tab> TITLE <tab> KIND (analog or digital) <tab> LOW <tab> HIGH
#   channels: PANEL <tab> NAME <tab> FILE <tab> STYLE <tab> TRACK
# and the last sample time (end). Quoted CSV fields (names with commas) are
# not expected in the demo.
awk -F, -v dir="$work" '
  function Span(hi, lo, size) {
    size = (hi < 0 ? -hi : hi) > (lo < 0 ? -lo : lo) ? (hi < 0 ? -hi : hi) : (lo < 0 ? -lo : lo)
    return hi - lo > size / 10 ? hi - lo : size / 10
  }
  NR == 1 { next }
  {
    key = $1 " / " $2
    if (!(key in file)) {
      n++
      file[key] = dir "/" n ".dat"
      order[n] = key
      unit[key] = $5 == "" ? "(no unit)" : $5
      top[key] = $4 + 0
      low[key] = $4 + 0
      digital[key] = 1
    }
    if ($4 + 0 > top[key]) top[key] = $4 + 0
    if ($4 + 0 < low[key]) low[key] = $4 + 0
    if ($4 + 0 != 0 && $4 + 0 != 5) digital[key] = 0
    if ($3 + 0 > end) end = $3 + 0
    print $3, $4 > file[key]
  }
  END {
    # The analog channels of a unit, largest first, into panels: a channel
    # joins the panel of the larger ones before it unless it would stretch
    # the span of that panel (largest minus smallest value) to more than three
    # times what it was; a flat trace counts a tenth of its size as its span.
    for (i = 1; i <= n; i++) {
      k = order[i]
      if (digital[k]) { digitals++; continue }
      if (!(unit[k] in units)) { units[unit[k]] = ++u; unitName[u] = unit[k] }
    }
    p = 0
    for (j = 1; j <= u; j++) {
      left = 0
      for (i = 1; i <= n; i++) {
        k = order[i]
        if (!digital[k] && unit[k] == unitName[j]) { left++; todo[k] = 1 }
      }
      parts = 0
      while (left > 0) {
        # the largest channel left opens the panel, the rest join in turn
        while (1) {
          pick = ""
          for (i = 1; i <= n; i++) {
            k = order[i]
            if ((k in todo) && (pick == "" || top[k] > top[pick])) pick = k
          }
          if (pick == "") break
          if (open) {
            hi = top[pick] > panelHi ? top[pick] : panelHi
            lo = low[pick] < panelLo ? low[pick] : panelLo
            if (hi - lo > 3 * Span(panelHi, panelLo)) break
          } else {
            open = 1; p++; parts++; unitPanel[j, parts] = p
            hi = top[pick]; lo = low[pick]
          }
          panelHi = hi; panelLo = lo
          panel[pick] = p; delete todo[pick]; left--
        }
        # the range drawn: the values and a margin of an eighth of the span
        margin = Span(panelHi, panelLo) / 8
        if (margin == 0) margin = 1
        rangeLo[p] = panelLo - margin; rangeHi[p] = panelHi + margin
        open = 0
      }
      for (q = 1; q <= parts; q++) {
        title = unitName[j]
        if (parts > 1) title = title " (" q " of " parts ")"
        q2 = unitPanel[j, q]
        print q2 "\t" title "\tanalog\t" rangeLo[q2] "\t" rangeHi[q2] >> (dir "/panels")
      }
    }
    if (digitals) print ++p "\tdigital states\tdigital" >> (dir "/panels")
    style = 0
    for (q = 1; q <= p; q++) {
      track = 0
      for (i = 1; i <= n; i++) {
        k = order[i]
        if (digital[k] ? q != p || !digitals : panel[k] != q) continue
        print q "\t" k "\t" file[k] "\t" ++style "\t" track++ >> (dir "/channels")
      }
    }
    print end > (dir "/end")
  }' "$csv"
[ -s "$work/channels" ] || { echo "plot: no samples in $csv" >&2; exit 1; }
sort -n -o "$work/panels" "$work/panels"
panels=$(wc -l <"$work/panels")
end=$(cat "$work/end")

# Eight colours that stay apart on white, and dash patterns: line s takes
# colour (s - 1) mod 8 and dash pattern (s - 1) div 8 (solid first).
colours=(0x0072b2 0xd55e00 0x009e73 0xcc79a7 0x000000 0xe69f00 0x56b4e9 0x8c564b)
dashes=("solid" "(10,5)" "(3,4)" "(12,4,3,4)")

panel_height=260
{
  echo "set terminal pngcairo size 1000,$((panel_height * panels + 70)) font 'Sans,10'"
  echo "set output '$png'"
  echo "set encoding utf8"
  echo "set multiplot title 'The demo measured by Telvio (hostsim run)'"
  echo "set grid"
  echo "set key outside right top vertical Left reverse font ',8' spacing 0.9"
  echo "set xrange [0:$end]"
  # The same plot area left and right in every panel: one time axis.
  echo "set lmargin at screen 0.09"
  echo "set rmargin at screen 0.74"
  echo "set format x ''"
  top=$((panel_height * panels + 40))
  total=$((panel_height * panels + 70))
  while IFS=$'\t' read -r panel title kind low high; do
    # Panel q spans [top - q * h, top - (q - 1) * h] in pixels from below.
    awk -v t="$top" -v h="$panel_height" -v q="$panel" -v all="$total" 'BEGIN {
        printf "set tmargin at screen %.4f\n", (t - (q - 1) * h) / all
        printf "set bmargin at screen %.4f\n", (t - q * h + 24) / all
      }'
    if [ "$panel" = "$panels" ]; then
      echo "set format x '%g'"
      echo "set xlabel 'experiment time / s' offset 0,0.5"
    fi
    while IFS=$'\t' read -r p _ _ s _; do
      [ "$p" = "$panel" ] || continue
      c=${colours[$(((s - 1) % 8))]} d=${dashes[$((((s - 1) / 8) % 4))]}
      echo "set style line $s linecolor rgb '#${c#0x}' linewidth 1.5 dashtype $d pointtype 7 pointsize 0.4"
    done <"$work/channels"
    if [ "$kind" = digital ]; then
      # Track k: low (0) at k, high (5) at k + 0.6; the tics name the tracks.
      tracks=$(awk -F'\t' -v p="$panel" '$1 == p { n++ } END { print n }' "$work/channels")
      echo "set ylabel 'digital states (low 0, high 5)'"
      echo "set offsets 0, 0, 0, 0"
      echo "set yrange [-0.4:$tracks]"
      printf 'set ytics font ",8" ('
      awk -F'\t' -v p="$panel" '$1 == p {
          name = $2
          sub(/^.* \/ /, "", name)
          printf "%s\x27%s\x27 %d.3", sep, name, $5
          sep = ", "
        }' "$work/channels"
      echo ')'
      echo "set grid noytics"
      printf 'plot '
      awk -F'\t' -v p="$panel" '$1 == p {
          printf "%s\x27%s\x27 using 1:($2 / 5 * 0.6 + %d) with steps linestyle %d linewidth 2 title \x27%s\x27", sep, $3, $5, $4, $2
          sep = ", "
        }' "$work/channels"
    else
      echo "set ylabel '$title'"
      echo "set offsets 0, 0, 0, 0"
      echo "set yrange [$low:$high]"
      echo "set ytics autofreq font \",10\""
      printf 'plot '
      awk -F'\t' -v p="$panel" '$1 == p {
          printf "%s\x27%s\x27 using 1:2 with linespoints linestyle %d title \x27%s\x27", sep, $3, $4, $2
          sep = ", "
        }' "$work/channels"
    fi
    echo
  done <"$work/panels"
  echo "unset multiplot"
} >"$work/plot.gp"
gnuplot "$work/plot.gp"
