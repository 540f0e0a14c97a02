#!/usr/bin/env bash
# Draws the frame pictures shipped in resources/Frames (our own artwork) with ImageMagick.
# Each frame is a 1000 x 714 PNG (the shape of a 7 x 5 inch card) with a transparent middle.
set -euo pipefail
cd "$(dirname "$0")/../resources/Frames"
W=1000
H=714
R=$((W - 1))
B=$((H - 1))

frame() { # name, MVG drawing
    convert -size ${W}x${H} xc:none -draw "$2" -strip -define png:compression-level=9 "$1.png"
}

m="fill none stroke #C9A227 stroke-width 18 rectangle 20,20 $((R - 20)),$((B - 20))
   stroke-width 5 rectangle 52,52 $((R - 52)),$((B - 52))"
frame "Gold Double" "$m"

frame "Silver Rounded" "fill none stroke #A8A9AD stroke-width 22 roundrectangle 24,24 $((R - 24)),$((B - 24)) 60,60"

m="fill none stroke #1F2A5A stroke-width 30 rectangle 15,15 $((R - 15)),$((B - 15))
   stroke #D4AF37 stroke-width 3 rectangle 42,42 $((R - 42)),$((B - 42))"
frame "Navy Classic" "$m"

m="fill #E88FA8 stroke none"
for x in $(seq 30 40 $((W - 30))); do m+=" circle $x,30 $((x + 10)),30 circle $x,$((H - 30)) $((x + 10)),$((H - 30))"; done
for y in $(seq 70 40 $((H - 70))); do m+=" circle 30,$y 40,$y circle $((W - 30)),$y $((W - 20)),$y"; done
frame "Rose Dots" "$m"

m="fill none stroke #4E8C3A stroke-width 8 rectangle 36,36 $((R - 36)),$((B - 36)) fill #6DB350 stroke none"
for x in $(seq 70 60 $((W - 70))); do m+=" ellipse $x,36 22,10 0,360 ellipse $x,$((B - 36)) 22,10 0,360"; done
for y in $(seq 90 60 $((H - 90))); do m+=" ellipse 36,$y 10,22 0,360 ellipse $((R - 36)),$y 10,22 0,360"; done
frame "Green Leaves" "$m"

colours=('#E63946' '#F4A261' '#2A9D8F' '#457B9D' '#E9C46A')
m="stroke none"
for i in $(seq 1 400); do
    x=$(((i * 7919) % W)); y=$(((i * 104729) % H))
    if ((x > 80 && x < W - 95 && y > 80 && y < H - 90)); then continue; fi
    m+=" fill ${colours[$((i % 5))]} rectangle $x,$y $((x + 14)),$((y + 8))"
done
frame "Confetti" "$m"

m="fill none stroke #0B1D51 stroke-width 40 rectangle 20,20 $((R - 20)),$((B - 20)) fill #FFD95A stroke none"
for x in $(seq 60 80 $((W - 60))); do
    for y in 20 $((B - 20)); do
        m+=" polygon $x,$((y - 12)) $((x + 4)),$((y - 4)) $((x + 12)),$((y - 3)) $((x + 6)),$((y + 3)) $((x + 8)),$((y + 12)) $x,$((y + 7)) $((x - 8)),$((y + 12)) $((x - 6)),$((y + 3)) $((x - 12)),$((y - 3)) $((x - 4)),$((y - 4))"
    done
done
frame "Starry Night" "$m"

m="fill none stroke #EFE6D2 stroke-width 26 rectangle 14,14 $((R - 14)),$((B - 14)) stroke #BFB49E stroke-width 2"
for x in $(seq 28 28 $((W - 28))); do m+=" circle $x,27 $((x + 9)),27 circle $x,$((B - 27)) $((x + 9)),$((B - 27))"; done
for y in $(seq 56 28 $((H - 56))); do m+=" circle 27,$y 36,$y circle $((R - 27)),$y $((R - 18)),$y"; done
frame "Wedding Lace" "$m"

m="stroke none fill #FF6B6B"
for x in $(seq 0 50 $W); do m+=" polygon $x,0 $((x + 25)),0 $((x + 5)),30 $((x - 20)),30 polygon $x,$((H - 30)) $((x + 25)),$((H - 30)) $((x + 5)),$H $((x - 20)),$H"; done
m+=" fill #4ECDC4"
for y in $(seq 40 50 $((H - 60))); do m+=" rectangle 0,$y 22,$((y + 25)) rectangle $((R - 22)),$y $R,$((y + 25))"; done
frame "Birthday Stripes" "$m"

m="fill none stroke #6B4226 stroke-width 12 rectangle 30,30 $((R - 30)),$((B - 30))
   stroke-width 2 rectangle 50,50 $((R - 50)),$((B - 50)) rectangle 16,16 $((R - 16)),$((B - 16))"
frame "Vintage Brown" "$m"

corner_frame() { # name, colour, MVG of the top-left ornament (within 160 x 160)
    local tmp
    tmp=$(mktemp --suffix=.png)
    convert -size 160x160 xc:none -draw "$3" "$tmp"
    convert -size ${W}x${H} xc:none \
        "$tmp" -geometry +0+0 -composite \
        \( "$tmp" -flop \) -geometry +$((W - 160))+0 -composite \
        "$tmp" -geometry +0+$((H - 160)) -composite \
        \( "$tmp" -flop \) -geometry +$((W - 160))+$((H - 160)) -composite \
        -fill none -stroke "$2" -strokewidth 6 -draw "rectangle 40,40 $((R - 40)),$((B - 40))" \
        -strip -define png:compression-level=9 "$1.png"
    rm -f "$tmp"
}
corner_frame "Heart Corners" '#D62246' "fill #D62246 stroke none path 'M 10,50 C 10,10 60,10 60,40 C 60,10 110,10 110,50 C 110,80 60,100 60,120 C 60,100 10,80 10,50 Z'"
corner_frame "Flower Corners" '#9B5DE5' "fill #9B5DE5 stroke none circle 60,30 60,12 circle 30,60 48,60 circle 90,60 108,60 circle 60,90 60,108 fill #FFE066 circle 60,60 60,74"
echo "frames written to $(pwd)"
