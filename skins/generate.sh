#!/usr/bin/env bash
# Draws the tray program's skin into skins/theme1/. The images are committed; run this again after changing it.
# Needs ImageMagick and the DejaVu fonts (both installed by scripts/bootstrap.sh).
#
# Window layout (client pixels, 344 x 216): close mark 315,13-325,23; switches 83 x 27 at x 170:
# source (CPU/GPU) y 65, display LED y 105, unit y 145.
set -euo pipefail
out=$(cd "$(dirname "$0")" && pwd)/theme1
mkdir -p "$out"
font=/usr/share/fonts/truetype/dejavu/DejaVuSans.ttf
bold=/usr/share/fonts/truetype/dejavu/DejaVuSans-Bold.ttf

panel='#171a20'
edge='#2c323c'
text='#d5dbe3'
dim='#7f8894'
accent='#37d67a'
blue='#4d8dff'
im() { convert -define png:exclude-chunks=date,time "$@"; }

# Background: a dark rounded panel; the corners stay transparent in the layered window.
im -size 344x216 xc:none \
    -fill "$panel" -stroke "$edge" -strokewidth 1 -draw "roundrectangle 0.5,0.5 343.5,215.5 12,12" \
    -stroke '#232831' -draw "line 16,36 328,36" \
    -stroke none -fill "$accent" -draw "roundrectangle 18,14 22,24 1,1" \
    -font "$bold" -pointsize 13 -fill "$text" -annotate +30+24 'DRAVIK' \
    -font "$font" -pointsize 11 -fill "$dim" -annotate +92+24 'cooler display' \
    -stroke '#a3adba' -strokewidth 2 -draw "line 316,14 324,22" -draw "line 324,14 316,22" -stroke none \
    -font "$font" -pointsize 13 -fill "$text" \
    -annotate +40+83 'Source' -annotate +40+123 'Display' -annotate +40+163 'Unit' \
    -font "$font" -pointsize 10 -fill "$dim" \
    -annotate +40+97 'reading shown' -annotate +40+137 'LED on or off' -annotate +40+177 'Celsius or Fahrenheit' \
    -stroke '#232831' -strokewidth 1 -draw "line 16,192 328,192" -stroke none \
    -font "$font" -pointsize 10 -fill "$dim" -annotate +20+207 'Click a switch to change it' \
    "$out/img_bkg.png"

# The LED switch: a pill with its knob on the right (on) or the left (off).
im -size 83x27 xc:none \
    -fill '#1c5a39' -stroke "$accent" -strokewidth 1 -draw "roundrectangle 0.5,0.5 82.5,26.5 13,13" \
    -stroke none -fill '#eafff2' -draw "circle 69,13.5 69,3.5" \
    -font "$bold" -pointsize 12 -fill '#eafff2' -annotate +14+18 'ON' \
    "$out/img_led_on.png"
im -size 83x27 xc:none \
    -fill '#262b33' -stroke '#4b525d' -strokewidth 1 -draw "roundrectangle 0.5,0.5 82.5,26.5 13,13" \
    -stroke none -fill '#8a939f' -draw "circle 14,13.5 14,3.5" \
    -font "$bold" -pointsize 12 -fill '#8a939f' -annotate +37+18 'OFF' \
    "$out/img_dev_off.png"

# Two-way choices: the chosen half is filled.
segmented() { # output, left label, right label, chosen side (0 left, 1 right)
    local x0=1 x1=41
    [ "$4" = 1 ] && x0=42 x1=81
    im -size 83x27 xc:none \
        -fill '#20252c' -stroke '#4b525d' -strokewidth 1 -draw "roundrectangle 0.5,0.5 82.5,26.5 6,6" \
        -stroke none -fill "$blue" -draw "roundrectangle $x0,2 $x1,24 5,5" \
        -font "$bold" -pointsize 11 -fill "$text" -gravity West \
        -annotate +$((4 + (38 - $5) / 2))+0 "$2" -annotate +$((44 + (38 - $6) / 2))+0 "$3" \
        "$1"
}
segmented "$out/img_dev_cpu.png" CPU GPU 0 26 27
segmented "$out/img_dev_gpu.png" CPU GPU 1 26 27
segmented "$out/img_temp_type1.png" '°C' '°F' 0 18 17
segmented "$out/img_temp_type2.png" '°C' '°F' 1 18 17

# Message box buttons: four 100 x 30 cells side by side (normal, hover, pressed, disabled) for dark captions.
im -size 400x30 xc:none \
    -fill '#e4e8ee' -stroke '#aab2bd' -strokewidth 1 -draw "roundrectangle 0.5,0.5 99.5,29.5 6,6" \
    -fill '#f3f7fc' -stroke "$blue" -draw "roundrectangle 100.5,0.5 199.5,29.5 6,6" \
    -fill '#c9d1db' -stroke '#7d8896' -draw "roundrectangle 200.5,0.5 299.5,29.5 6,6" \
    -fill '#eef0f3' -stroke '#d5d9df' -draw "roundrectangle 300.5,0.5 399.5,29.5 6,6" \
    "$out/img_button.png"

# Program icon: a dark tile with a green three-digit readout.
for size in 16 24 32 48 256; do
    im -size ${size}x${size} xc:none \
        -fill "$panel" -stroke "$accent" -strokewidth $((size / 24 + 1)) \
        -draw "roundrectangle $((size / 16)),$((size / 16)) $((size - 1 - size / 16)),$((size - 1 - size / 16)) $((size / 5)),$((size / 5))" \
        -stroke none -fill "$accent" -font "$bold" -pointsize $((size * 9 / 16)) -gravity center -annotate +0+0 '45' \
        "/tmp/dravik-icon-$size.png"
done
im /tmp/dravik-icon-{16,24,32,48,256}.png "$out/Dravik.ico"
rm -f /tmp/dravik-icon-*.png
echo "skin written to $out"
