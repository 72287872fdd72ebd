# Draws the gain maps that demo/gain-maps.pd measured in Pd:
#   gnuplot -c demo/gain-maps.gp <folder holding the .txt files>
dir = ARG1
set terminal pngcairo size 1200,540 font "sans,11"
set grid
set termoption noenhanced
set key at screen 0.5, screen 0.04 center bottom horizontal maxcols 4 width 2
set bmargin 9
set ylabel "gain"
set yrange [0:*]
colours = "#1f77b4 #ff7f0e #2ca02c #d62728"

ring = "135 45 315 225"
cube = "135 45 -45 -135"

do for [object in "sorvel kelmor trazin"] {
    set output sprintf("%s/%s-gains.png", dir, object)
    n = (object eq "trazin") ? 8 : 4
    set multiplot layout 1,2 title sprintf("%s~ at its default layout: gain of each outlet", object)
    set title "against the source azimuth at distance 1"
    set xlabel "azimuth in degrees (counter-clockwise from the right; 90 = front)"
    set xrange [0:360]
    set xtics 45
    if (n == 4) {
        plot for [k=1:4] sprintf("%s/%s-azimuth.txt", dir, object) using 1:(column(k+1)) \
             with lines lw 2 lc rgb word(colours, k) \
             title sprintf("outlet %d (%s°)", k, word(object eq "sorvel" ? ring : cube, k))
    } else {
        plot for [k=1:8] sprintf("%s/%s-azimuth.txt", dir, object) using 1:(column(k+1)) \
             with lines lw 2 dt 1+(k > 4) lc rgb word(colours, (k-1)%4+1) \
             title sprintf("outlet %d (%s°, %s)", k, word(cube, (k-1)%4+1), k > 4 ? "up" : "down")
    }
    set title "along the front-back axis through the centre"
    set xlabel "y (x = 0; positive = in front, negative = behind)"
    set xrange [-3:3]
    set xtics 0.5
    if (n == 4) {
        plot for [k=1:4] sprintf("%s/%s-axis.txt", dir, object) using 1:(column(k+1)) \
             with lines lw 2 lc rgb word(colours, k) notitle
    } else {
        plot for [k=1:8] sprintf("%s/%s-axis.txt", dir, object) using 1:(column(k+1)) \
             with lines lw 2 dt 1+(k > 4) lc rgb word(colours, (k-1)%4+1) notitle
    }
    unset multiplot
    unset title
}
