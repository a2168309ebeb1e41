#!/bin/sh
# Draws the program's pictures into platform/resources/: the icon (PNG and ICO),
# the distributor's two logos and the pointing-hand pointer; and the icon's other
# sizes and scalable form for the desktop theme into packaging/linux/icons/. Every
# picture is drawn here from scratch; rerun after changing a colour or a shape and
# commit the results. Needs ImageMagick 6 (`convert`), the Liberation Sans fonts,
# python3-fonttools and rsvg-convert (librsvg2-bin).
set -eu

root="$(cd "$(dirname "$0")/.." && pwd)"
out="$root/platform/resources"
theme="$root/packaging/linux/icons"
mkdir -p "$out" "$theme"

# Leave out the time stamps so that rerunning the script gives identical files.
stable="-strip -define png:exclude-chunks=date,time"

# Colours shared by the icon and the large logo.
card='#1d4f91'
card_edge='#0b2a55'
card_band='#2e6bc0'
chip='#f2c230'
chip_edge='#a67c00'
digits='#9fc0ec'

# icona: a bank card with its chip and "ES", 32 x 32, at most 16 colours.
convert -size 32x32 xc:none \
    -fill "$card" -stroke "$card_edge" -strokewidth 1 \
    -draw 'roundrectangle 0.5,4.5 31.5,27.5 3,3' \
    -stroke none -fill "$card_band" -draw 'rectangle 2,6 29,7' \
    -fill "$chip" -stroke "$chip_edge" -draw 'roundrectangle 4.5,10.5 11.5,16.5 1,1' \
    -stroke none -fill "$chip_edge" -draw 'line 5,13.5 11,13.5 line 8,11 8,16' \
    -fill white -font Liberation-Sans-Bold -pointsize 12 -draw "text 14,25 'ES'" \
    -fill "$digits" -draw 'rectangle 4,20 11,21' \
    -colors 16 $stable PNG8:"$out/icona.png"

# The same card as a scalable picture for desktops, the letters as outlines of the
# same font so that no font is needed to show it; drawn from it, the other sizes of
# the desktop theme and of the Windows icon (the 32 x 32 stays the one drawn above).
/usr/bin/python3 - "$(fc-match -f '%{file}' 'Liberation Sans:bold')" \
    "$card" "$card_edge" "$card_band" "$chip" "$chip_edge" "$digits" >"$theme/brelvoxa.svg" <<'PY'
import re, sys
from fontTools.ttLib import TTFont
from fontTools.pens.svgPathPen import SVGPathPen
from fontTools.pens.transformPen import TransformPen

font_path, card, card_edge, card_band, chip, chip_edge, digits = sys.argv[1:8]
font = TTFont(font_path)
glyphs = font.getGlyphSet()
scale = 12 / font["head"].unitsPerEm  # 12 px, as -pointsize 12 above
pen = SVGPathPen(glyphs)
x = 14.0
for letter in "ES":
    glyph = glyphs[font.getBestCmap()[ord(letter)]]
    glyph.draw(TransformPen(pen, (scale, 0, 0, -scale, x, 25)))
    x += glyph.width * scale
letters = re.sub(r"\d+\.\d+", lambda m: f"{float(m.group()):.3f}".rstrip("0").rstrip("."),
                 pen.getCommands())
print(f"""<?xml version="1.0" encoding="UTF-8"?>
<svg xmlns="http://www.w3.org/2000/svg" width="32" height="32" viewBox="0 0 32 32">
  <title>Brelvoxa</title>
  <rect x="0.5" y="4.5" width="31" height="23" rx="3" fill="{card}" stroke="{card_edge}"/>
  <rect x="2" y="6" width="28" height="2" fill="{card_band}"/>
  <rect x="4.5" y="10.5" width="7" height="6" rx="1" fill="{chip}" stroke="{chip_edge}"/>
  <path d="M5 13.5H11M8.5 11V16" stroke="{chip_edge}"/>
  <rect x="4" y="20" width="8" height="2" fill="{digits}"/>
  <path d="{letters}" fill="#ffffff"/>
</svg>""")
PY
for size in 16 24 48 64 128 256; do
    rsvg-convert -w $size -h $size "$theme/brelvoxa.svg" | convert - $stable PNG32:"$theme/brelvoxa-$size.png"
done
# Windows picks the size it needs from the .ico: 16, 24, 32, 48 and 256.
convert "$out/icona.png" "$theme/brelvoxa-16.png" "$theme/brelvoxa-24.png" \
    "$theme/brelvoxa-48.png" "$theme/brelvoxa-256.png" $stable "$out/icona.ico"
rm "$theme/brelvoxa-24.png"

# logo_petit: the distributor's mark, two hills making an "M" over a field, 75 x 50.
convert -size 75x50 xc:white \
    -stroke none -fill '#2a9d73' -draw 'polygon 33,29 45,5 57,29' \
    -fill '#16624a' -draw 'polygon 18,29 30,5 42,29' \
    -fill white -draw 'polygon 33,29 37.5,20 42,29' \
    -fill '#e39b2a' -draw "path 'M 12,33 Q 37.5,25 63,33 L 63,35 Q 37.5,27.5 12,35 Z'" \
    -fill '#1b3f5e' -font Liberation-Sans-Bold -pointsize 10 \
    -gravity south -annotate +0+1 'Merrowfield' \
    $stable PNG24:"$out/logo_petit.png"

# logo_gran: the card again, large, beside the program's name, 310 x 90.
convert -size 310x90 xc:white \
    -fill "$card" -stroke "$card_edge" -strokewidth 2 \
    -draw 'roundrectangle 10,17 80,69 7,7' \
    -stroke none -fill "$card_band" -draw 'rectangle 12,25 78,29' \
    -fill "$chip" -stroke "$chip_edge" -strokewidth 1 \
    -draw 'roundrectangle 18.5,35.5 34.5,48.5 2,2' \
    -stroke none -fill white -font Liberation-Sans-Bold -pointsize 24 -draw "text 40,63 'ES'" \
    -fill "$digits" -draw 'rectangle 18,55 34,57' \
    -fill "$card" -font Liberation-Sans-Bold -pointsize 44 -draw "text 94,52 'Brelvoxa'" \
    -fill '#5a6b7d' -font Liberation-Sans -pointsize 15 \
    -draw "text 96,74 'Calculadora IBAN i codi BIC'" \
    $stable PNG24:"$out/logo_gran.png"

# ma: the pointing hand, drawn pixel by pixel so that the tip of the index finger
# sits exactly on the hot spot (12, 1). "#" outline, "." fill, blank transparent.
xpm="$(mktemp --suffix=.xpm)"
trap 'rm -f "$xpm"' EXIT
{
    printf '/* XPM */\nstatic char *ma[] = {\n"32 32 3 1",\n"  c None",\n". c #FFFFFF",\n"# c #000000",\n'
    sed 's/.*/"&",/' <<'HAND'
                                
           ###                  
          #...#                 
          #...#                 
          #...#                 
          #...#                 
          #...#                 
          #...#                 
          #...####              
          #...#...####          
          #...#...#...#         
          #...#...#...###       
          #...#...#...#..#      
    ###   #...#...#...#..#      
   #...#  #...#...#...#..#      
   #....# #...#...#...#..#      
   #.....##...............#     
    #.....................#     
    #.....................#     
     #....................#     
      #..................#      
       #.................#      
        #...............#       
         #..............#       
          #............#        
          #............#        
          ##############        
                                
                                
                                
                                
                                
HAND
    printf '};\n'
} >"$xpm"
convert "$xpm" $stable PNG32:"$out/ma.png"
