# Draws bench/results/compare.png. report.py sets: data (a directory with latency-NAME.dat, two
# columns "ms share", and memory.dat, one row per program: label, private MiB after start, after
# the copies, after the history window, then RSS at the same three points), output, programs and
# labels (space-separated, in the same order), copies and title.
set terminal pngcairo size 1500,520 font "DejaVu Sans,10"
set output output
set multiplot layout 1,3 title title
set grid ytics lc rgb "#dddddd"
set key top left

set title "Capture latency, copy to entry recorded"
set logscale x
set xlabel "milliseconds (log)"
set ylabel sprintf("share of the %d copies recorded", copies)
set yrange [0:1.05]
set key bottom right
plot for [i=1:words(programs)] sprintf("%s/latency-%s.dat", data, word(programs, i)) \
     using 1:2 with steps lw 2 title word(labels, i)

unset logscale x
set yrange [0:*]
set xlabel ""
set ylabel "MiB"
set key below
set style data histograms
set style histogram clustered gap 1
set style fill solid 0.85 border -1
set boxwidth 0.9

set title "Private memory"
plot data."/memory.dat" using 2:xtic(1) title "after start", \
     "" using 3 title "after the copies", \
     "" using 4 title "after the history window"

set title "RSS"
plot data."/memory.dat" using 5:xtic(1) title "after start", \
     "" using 6 title "after the copies", \
     "" using 7 title "after the history window"

unset multiplot
