#!/bin/bash
# Generates every picture, sound, voice and the movie of the demo game from
# Debian tools only: ImageMagick (lettering with the IPA fonts), sox and
# oggenc (music and effects), espeak-ng (voices) and ffmpeg (the movie).
# The output is committed, so players and CI never need these tools.
#
#   games/demo/make-assets.sh            # everything
#   games/demo/make-assets.sh images     # one group: images, sounds, voices, movie
#   games/demo/make-assets.sh --lang en games/demo-en
#                                        # the lettered pictures and the movie
#                                        # in English
#
# An edition in another language shares every picture with this one except
# those with lettering: --lang writes only those (into EDITION/image), drawn
# in the same sizes and layout with a font for that language from this
# folder's pictures, and the opening movie that shows the title (into
# EDITION/movie).
#
# The output is deterministic: no time stamps in the PNG files, fixed Ogg
# serial numbers, no dither in sox, bit-exact flags for ffmpeg.
set -euo pipefail

here=$(cd "$(dirname "$0")" && pwd)
img="$here/image"
snd="$here/sound"
mov="$here/movie"
cursor="$here/mouse.png"
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT

lang=ja
lettered_out=""
if [ "${1:-}" = --lang ]; then
    lang=${2:-}
    shift 2 || true
    case $lang in
        ja) ;;
        en)
            [ $# -eq 1 ] || { echo "usage: $0 --lang en EDITION" >&2; exit 2; }
            lettered_out=$1
            shift
            ;;
        *) echo "unknown language '$lang' (ja, en)" >&2; exit 2 ;;
    esac
fi

ipa_gothic=/usr/share/fonts/opentype/ipafont-gothic/ipag.ttf
ipa_mincho=/usr/share/fonts/opentype/ipafont-mincho/ipam.ttf
for font in "$ipa_gothic" "$ipa_mincho"; do
    [ -f "$font" ] || { echo "missing $font (apt-get install fonts-ipafont-gothic fonts-ipafont-mincho)" >&2; exit 1; }
done
# The sans-serif and serif faces of the lettering: IPA for Japanese, Noto for
# English (Noto has the Latin letters' own shapes and kerning).
gothic=$ipa_gothic
mincho=$ipa_mincho
if [ "$lang" = en ]; then
    gothic=/usr/share/fonts/truetype/noto/NotoSans-Regular.ttf
    mincho=/usr/share/fonts/truetype/noto/NotoSerif-Regular.ttf
    for font in "$gothic" "$mincho"; do
        [ -f "$font" ] || { echo "missing $font (apt-get install fonts-noto-core)" >&2; exit 1; }
    done
fi

# Writes a PNG without the time chunks ImageMagick would add.
png() {
    local out=${*: -1}
    convert "${@:1:$#-1}" +repage -depth 8 -strip -define png:exclude-chunks=date,time -define png:compression-level=9 "$out"
}

# [SECTION] Palette ------------------------------------------------------------

navy='#1b2a44'
navy_light='#2f4a73'
cream='#fdf3de'
gold='#f2c46d'
gold_dark='#b8863b'
sea='#3f7fb0'
sea_deep='#22507a'
sand='#efd9a7'
white='#ffffff'

# [SECTION] Words ----------------------------------------------------------------

# Every word lettered on a picture, by language. The English ones fit the
# same buttons and plates as the Japanese ones.
declare -A words
if [ "$lang" = en ]; then
    words=(
        [title]="Letter of Light" [title_size]=54 [subtitle]="A Zelk demo game"
        [start]="New Game" [qload]="Quick Load" [load]="Load" [omake]="Extras" [exit]="Exit"
        [save]="Save" [back]="Back" [cg]="Gallery" [replay]="Replay" [music]="Music"
        [single]="One" [all]="All" [random]="Shuffle" [percent]="Complete"
    )
    names=(Akari Minato Chizuru)
    gallery=("Letter in a bottle" "Harbour town" "The light" "Dawn" "Opening" "Backgrounds")
    replays=("The slope" "The water's edge" "The keeper" "Ending: the light" "Ending: dawn")
    replay_texts=("Part 1 — Meeting Akari on the slope" "Part 2 — A letter in a bottle"
        "Part 3 — Chizuru at the lighthouse" "Ending — The lighthouse shines again"
        "Ending — The letter returned at dawn")
    pieces=("A Window on the Sea" "Morning on the Slope" "Lighthouse at Night")
    credits=(
        "title:Letter of Light"
        "gap:"
        "role:Story" "name:The Zelk team"
        "role:Characters" "name:Akari, Minato, Chizuru"
        "role:Pictures" "name:The Zelk team"
        "role:Music and sounds" "name:The Zelk team"
        "role:Voices" "name:Speech synthesis"
        "role:Lettering" "name:Noto and IPA fonts"
        "role:Program" "name:Zelk"
        "gap:"
        "title:The End"
        "name:Thank you for playing"
    )
else
    words=(
        [title]="ひかりの手紙" [title_size]=58 [subtitle]="A Letter of Light  —  Zelk demo"
        [start]="はじめから" [qload]="クイックロード" [load]="ロード" [omake]="おまけ" [exit]="終了"
        [save]="セーブ" [back]="戻る" [cg]="ＣＧ" [replay]="回想" [music]="音楽"
        [single]="１曲" [all]="全曲" [random]="ランダム" [percent]="達成率"
    )
    names=(灯里 湊 千鶴)
    gallery=("瓶の手紙" "港町" "灯り" "夜明け" "オープニング" "背景")
    replays=("坂の上の灯台" "波打ち際の瓶" "灯台守" "結末・灯り" "結末・夜明け")
    replay_texts=("第一話　坂道で灯里と会う朝" "第二話　浜辺で瓶の手紙を拾う"
        "第三話　夕暮れの灯台で千鶴と話す" "結末　ふたたび灯台に灯りがともる" "結末　夜明けの港で手紙を返す")
    pieces=("海の見える窓" "坂道の朝" "灯台の夜")
    credits=(
        "title:ひかりの手紙"
        "gap:"
        "role:物語" "name:Zelk 開発チーム"
        "role:登場人物" "name:灯里　湊　千鶴"
        "role:絵" "name:Zelk 開発チーム"
        "role:音楽・効果音" "name:Zelk 開発チーム"
        "role:声" "name:音声合成による"
        "role:文字" "name:IPAフォント"
        "role:プログラム" "name:Zelk"
        "gap:"
        "title:おしまい"
        "name:遊んでくれてありがとう"
    )
fi

# The pictures that carry those words, and those lettered in Latin letters
# already, drawn again so that one face letters a whole edition: all that an
# edition in another language replaces.
lettered=(logo title_bg tb_start tb_qload tb_load tb_omake tb_exit nameplate nameplate2 state state2
    wb_save wb_load wb_auto wb_skip wb_log log_back lb_return sl_back om_bg_cg om_bg_rep om_bg_snd
    sl_save sl_load sl_return om_mode_cg om_mode_rep om_mode_snd om_return
    cgp_bottle cgp_coast cgp_light cgp_dawn cgp_movie cgp_places
    rpp_s1 rpp_s2 rpp_s3 rpp_ea rpp_eb rpt1_1 rpt1_2 rpt1_3 rpt1_4 rpt1_5
    snp_title snp_day snp_night om_single om_all om_random ed_credits)
for p in $(seq 0 100); do lettered+=("pct$(printf %03d "$p")"); done

# [SECTION] Pictures -------------------------------------------------------------

# Stacks the given pictures (same size) one below the other into OUT: the
# rows of a button or a strip of states.
stack_rows() {
    local out=$1
    shift
    png "$@" -append "$out"
}

# One button row: a rounded plate with a label. STATE is normal, point,
# press or off.
button_row() {
    local w=$1 h=$2 label=$3 state=$4 out=$5 size=${6:-0}
    local fill text stroke
    case $state in
        normal) fill="$navy"; text="$cream"; stroke="$gold_dark" ;;
        point) fill="$navy_light"; text="$white"; stroke="$gold" ;;
        press) fill="$gold"; text="$navy"; stroke="$white" ;;
        off) fill='#3a3f4a'; text='#8a8f99'; stroke='#5a5f6a' ;;
    esac
    [ "$size" -gt 0 ] || size=$((h * 11 / 20))
    convert -size "${w}x${h}" xc:none \
        -fill "$fill" -stroke "$stroke" -strokewidth 2 \
        -draw "roundrectangle 1,1 $((w - 2)),$((h - 2)) $((h / 3)),$((h / 3))" \
        -stroke none -fill "$text" -font "$gothic" -pointsize "$size" \
        -gravity center -annotate +0+1 "$label" "$out"
}

# A button picture of four rows: normal, pointed at, pressed, disabled.
button4() {
    local name=$1 w=$2 h=$3 label=$4 size=${5:-0}
    local s
    for s in normal point press off; do button_row "$w" "$h" "$label" "$s" "$work/b_$s.png" "$size"; done
    stack_rows "$img/$name.png" "$work/b_normal.png" "$work/b_point.png" "$work/b_press.png" "$work/b_off.png"
}

# A button picture of two rows: normal, highlighted.
button2() {
    local name=$1 w=$2 h=$3 label=$4 size=${5:-0}
    button_row "$w" "$h" "$label" normal "$work/b_normal.png" "$size"
    button_row "$w" "$h" "$label" point "$work/b_point.png" "$size"
    stack_rows "$img/$name.png" "$work/b_normal.png" "$work/b_point.png"
}

# Vertical gradient picture.
vgrad() {
    local w=$1 h=$2 top=$3 bottom=$4 out=$5
    convert -size "${w}x${h}" "gradient:$top-$bottom" "$out"
}

# [SECTION] Characters

# Draws one character figure (240 x 440, transparent) with an expression.
# The figures are flat shapes with a darker outline: hair, body, head, face.
draw_character() {
    local cid=$1 expr=$2 out=$3
    local skin='#fbe3cf' line='#6b4a3a' hair hair_line body body_line accent
    local head_y=112 back_hair bangs clothes extra=""
    case $cid in
        a01)
            hair='#5a3328'; hair_line='#3a1f18'; body='#f7f7fb'; body_line='#8a8fa8'; accent='#d94a5a'
            back_hair="ellipse 120,118 70,82 0,360"
            bangs="path 'M 62,112 C 60,50 100,38 122,40 C 150,40 184,54 180,114 C 170,92 160,80 146,74 C 140,90 126,92 112,78 C 100,92 84,96 70,92 C 66,100 64,106 62,112 Z'"
            clothes="fill '$body' stroke '$body_line' path 'M 44,440 L 52,252 C 56,218 80,200 104,194 L 136,194 C 160,200 184,218 188,252 L 196,440 Z' fill '#2c3e6b' stroke '#1b2740' path 'M 96,196 L 120,238 L 144,196 L 170,206 L 150,246 L 120,262 L 90,246 L 70,206 Z' fill '$accent' stroke '#9e2f3c' path 'M 108,246 L 120,258 L 132,246 L 142,276 L 120,262 L 98,276 Z' fill '#2c3e6b' stroke '#1b2740' path 'M 48,380 L 192,380 L 196,440 L 44,440 Z'"
            extra="fill '#f6d35b' stroke '#b8963b' path 'M 164,70 L 168,80 L 178,80 L 170,86 L 173,96 L 164,90 L 155,96 L 158,86 L 150,80 L 160,80 Z'"
            ;;
        b01)
            hair='#23232f'; hair_line='#101018'; body='#8fb8de'; body_line='#4c6f91'; accent='#e9eef4'
            head_y=104
            back_hair="ellipse 120,96 64,62 0,360"
            bangs="path 'M 58,108 C 50,40 96,26 124,30 C 158,30 192,48 184,110 L 176,88 L 168,98 L 160,74 L 146,90 L 134,70 L 120,88 L 106,70 L 94,90 L 82,76 L 72,98 L 64,90 Z'"
            clothes="fill '$body' stroke '$body_line' path 'M 34,440 L 40,246 C 46,208 76,192 104,186 L 136,186 C 164,192 194,208 200,246 L 206,440 Z' fill '$accent' stroke '$body_line' path 'M 100,188 L 120,222 L 140,188 L 152,196 L 126,236 L 114,236 L 88,196 Z' fill '#3a4256' stroke '#232838' path 'M 38,372 L 202,372 L 206,440 L 34,440 Z'"
            ;;
        c01)
            hair='#d2d2d8'; hair_line='#8e8e99'; body='#9a86b8'; body_line='#5f4e7c'; accent='#efe6d2'
            back_hair="ellipse 120,104 64,64 0,360 ellipse 120,40 28,24 0,360"
            bangs="path 'M 60,112 C 58,58 96,44 120,44 C 146,44 184,58 180,112 C 168,84 146,70 120,70 C 94,70 72,84 60,112 Z'"
            clothes="fill '$accent' stroke '#a89c82' path 'M 92,196 L 148,196 L 150,440 L 90,440 Z' fill '$body' stroke '$body_line' path 'M 40,440 L 48,256 C 54,218 78,202 100,196 L 112,196 L 108,440 Z M 200,440 L 192,256 C 186,218 162,202 140,196 L 128,196 L 132,440 Z'"
            extra="fill none stroke '#6a5a48' stroke-width 2 circle 98,118 112,118 circle 142,118 156,118 line 112,118 128,118"
            ;;
    esac
    local eyes mouth brows blush=""
    local ey=$((head_y + 6)) my=$((head_y + 38)) by=$((head_y - 12))
    local eye_colour='#4a3a5a'
    [ "$cid" = b01 ] && eye_colour='#2a3a4a'
    [ "$cid" = c01 ] && eye_colour='#5a4a3a'
    case $expr in
        normal|turn)
            eyes="fill '$eye_colour' stroke none ellipse 98,$ey 7,10 0,360 ellipse 142,$ey 7,10 0,360 fill white ellipse 100,$((ey - 4)) 2,3 0,360 ellipse 144,$((ey - 4)) 2,3 0,360"
            mouth="fill none stroke '$line' stroke-width 2 path 'M 112,$my Q 120,$((my + 4)) 128,$my'"
            brows="fill none stroke '$hair_line' stroke-width 3 path 'M 86,$by Q 98,$((by - 5)) 108,$by' path 'M 132,$by Q 142,$((by - 5)) 154,$by'"
            ;;
        smile)
            eyes="fill none stroke '$eye_colour' stroke-width 3 path 'M 90,$((ey + 2)) Q 98,$((ey - 8)) 106,$((ey + 2))' path 'M 134,$((ey + 2)) Q 142,$((ey - 8)) 150,$((ey + 2))'"
            mouth="fill '#c8505a' stroke '$line' stroke-width 2 path 'M 108,$((my - 2)) Q 120,$((my + 12)) 132,$((my - 2)) Z'"
            brows="fill none stroke '$hair_line' stroke-width 3 path 'M 86,$((by - 2)) Q 98,$((by - 8)) 108,$((by - 2))' path 'M 132,$((by - 2)) Q 142,$((by - 8)) 154,$((by - 2))'"
            blush="fill '#f4a0a060' stroke none ellipse 86,$((ey + 18)) 10,5 0,360 ellipse 154,$((ey + 18)) 10,5 0,360"
            ;;
        sad|tears)
            eyes="fill '$eye_colour' stroke none ellipse 98,$((ey + 2)) 6,8 0,360 ellipse 142,$((ey + 2)) 6,8 0,360 fill white ellipse 100,$((ey - 1)) 2,2 0,360 ellipse 144,$((ey - 1)) 2,2 0,360"
            mouth="fill none stroke '$line' stroke-width 2 path 'M 112,$((my + 3)) Q 120,$((my - 3)) 128,$((my + 3))'"
            brows="fill none stroke '$hair_line' stroke-width 3 path 'M 86,$((by - 2)) L 108,$((by - 8))' path 'M 132,$((by - 8)) L 154,$((by - 2))'"
            [ "$expr" = tears ] && blush="fill '#9fd0f4' stroke '#5f9ac4' stroke-width 1 ellipse 92,$((ey + 16)) 3,6 0,360 ellipse 148,$((ey + 16)) 3,6 0,360"
            ;;
        surprise)
            eyes="fill white stroke '$eye_colour' stroke-width 2 ellipse 98,$ey 9,12 0,360 ellipse 142,$ey 9,12 0,360 fill '$eye_colour' stroke none ellipse 98,$ey 4,6 0,360 ellipse 142,$ey 4,6 0,360"
            mouth="fill '#b0404a' stroke '$line' stroke-width 2 ellipse 120,$((my + 2)) 5,7 0,360"
            brows="fill none stroke '$hair_line' stroke-width 3 path 'M 86,$((by - 8)) Q 98,$((by - 14)) 108,$((by - 8))' path 'M 132,$((by - 8)) Q 142,$((by - 14)) 154,$((by - 8))'"
            ;;
        serious)
            eyes="fill '$eye_colour' stroke none ellipse 98,$ey 7,8 0,360 ellipse 142,$ey 7,8 0,360 fill white ellipse 100,$((ey - 3)) 2,2 0,360 ellipse 144,$((ey - 3)) 2,2 0,360"
            mouth="fill none stroke '$line' stroke-width 2 line 112,$((my + 1)) 128,$((my + 1))"
            brows="fill none stroke '$hair_line' stroke-width 3 path 'M 86,$((by - 6)) L 108,$((by))' path 'M 132,$by L 154,$((by - 6))'"
            ;;
    esac
    convert -size 240x440 xc:none -strokewidth 2 \
        -draw "fill '$hair' stroke '$hair_line' $back_hair" \
        -draw "$clothes" \
        -draw "fill none stroke '$body_line' path 'M 70,246 C 62,292 64,330 70,368' path 'M 170,246 C 178,292 176,330 170,368'" \
        -draw "fill '$skin' stroke '$line' rectangle 108,$((head_y + 44)) 132,$((head_y + 86))" \
        -draw "fill '$skin' stroke '$line' ellipse 120,$head_y 56,62 0,360" \
        -draw "fill '$hair' stroke '$hair_line' $bangs" \
        ${extra:+-draw "$extra"} \
        -draw "$brows" -draw "$eyes" -draw "$mouth" ${blush:+-draw "$blush"} \
        "$out"
}

make_characters() {
    local cid expr
    for spec in a01:normal a01:smile a01:sad a01:surprise b01:normal b01:smile b01:serious \
        c01:normal c01:smile c01:tears; do
        cid=${spec%%:*}
        expr=${spec#*:}
        draw_character "$cid" "$expr" "$work/ch.png"
        png "$work/ch.png" "$img/st_${cid}_$expr.png"
        # The face beside the text window: the head, in a soft round frame.
        convert "$work/ch.png" -crop 124x124+58+36 +repage -resize 112x112 "$work/face.png"
        convert -size 112x112 xc:none -fill "$cream" -stroke "$gold_dark" -strokewidth 2 \
            -draw "roundrectangle 1,1 110,110 16,16" "$work/face.png" -composite \
            -fill none -stroke "$gold_dark" -strokewidth 2 -draw "roundrectangle 1,1 110,110 16,16" \
            "$work/face2.png"
        png "$work/face2.png" "$img/fa_${cid}_$expr.png"
    done
    # Two cells across, the figure and its mirror image: the flip commands
    # step between them.
    draw_character a01 turn "$work/ch.png"
    png "$work/ch.png" \( "$work/ch.png" -flop \) +append "$img/st_a01_turn.png"
}

# [SECTION] Backgrounds and event pictures

# Deterministic star field: N points from a small linear congruential
# generator, as ImageMagick draw primitives.
stars() {
    local n=$1 w=$2 h=$3 seed=$4 i x y r out=""
    for ((i = 0; i < n; i++)); do
        seed=$(((seed * 1103515245 + 12345) % 2147483648))
        x=$((seed % w))
        seed=$(((seed * 1103515245 + 12345) % 2147483648))
        y=$((seed % h))
        r=$((1 + seed % 3 / 2))
        out+="circle $x,$y $((x + r)),$y "
    done
    echo "$out"
}

# A lighthouse: white tower with red bands, lantern room, gallery. X is the
# centre, Y the foot, S the height of the tower.
lighthouse() {
    local x=$1 y=$2 s=$3 lamp=${4:-'#fff2b0'}
    local top=$((y - s)) hw=$((s / 9)) tw=$((s / 14))
    local band=$((s / 5))
    echo "fill '#f7f4ee' stroke '#8f8a80' stroke-width 1 polygon $((x - hw)),$y $((x + hw)),$y $((x + tw)),$top $((x - tw)),$top" \
        "fill '#c8463c' stroke none polygon $((x - hw + (hw - tw) * 1 / 5)),$((y - band)) $((x + hw - (hw - tw) * 1 / 5)),$((y - band)) $((x + hw - (hw - tw) * 2 / 5)),$((y - band * 2)) $((x - hw + (hw - tw) * 2 / 5)),$((y - band * 2))" \
        "polygon $((x - hw + (hw - tw) * 3 / 5)),$((y - band * 3)) $((x + hw - (hw - tw) * 3 / 5)),$((y - band * 3)) $((x + hw - (hw - tw) * 4 / 5)),$((y - band * 4)) $((x - hw + (hw - tw) * 4 / 5)),$((y - band * 4))" \
        "fill '#2f3440' rectangle $((x - tw - 3)),$((top - 3)) $((x + tw + 3)),$top" \
        "fill '$lamp' stroke '#2f3440' rectangle $((x - tw + 2)),$((top - s / 8)) $((x + tw - 2)),$((top - 3))" \
        "fill '#c8463c' stroke '#7a2a24' polygon $((x - tw - 1)),$((top - s / 8)) $((x + tw + 1)),$((top - s / 8)) $x,$((top - s / 8 - s / 12))"
}

make_backgrounds() {
    # The slope road above the harbour, in the morning.
    convert -size 640x480 gradient:'#7fc4ee'-'#f3fbff' \
        -draw "fill '#a9c7a0' stroke none path 'M 0,232 C 120,196 220,214 330,226 L 330,250 L 0,250 Z'" \
        -draw "fill '$sea_deep' rectangle 0,236 640,262" \
        -draw "fill '$sea' rectangle 0,248 640,300" \
        -draw "fill '#7f9f76' path 'M 470,240 C 520,200 600,196 640,206 L 640,250 L 470,250 Z'" \
        -draw "$(lighthouse 560 206 70)" \
        -draw "fill '#d9d2c4' stroke none polygon 150,480 520,480 352,262 316,262" \
        -draw "fill '#c4bcac' polygon 150,480 180,480 322,262 316,262" \
        -draw "fill '#f4f0e8' stroke '#b9b2a6' polygon 330,300 338,300 350,480 322,480" \
        -draw "fill '#e8dcc8' stroke '#8f8370' rectangle 20,250 120,350 fill '#b85a4a' polygon 10,252 70,206 130,252" \
        -draw "fill '#8fb0d0' stroke '#5f7f9f' rectangle 40,276 70,304 rectangle 84,276 108,304" \
        -draw "fill '#f0e6d4' stroke '#8f8370' rectangle 0,300 96,440 fill '#5a6f8f' polygon -10,302 48,262 106,302" \
        -draw "fill '#8fb0d0' stroke '#5f7f9f' rectangle 20,330 60,370" \
        -draw "fill '#e6ded0' stroke '#a8a090' rectangle 540,300 640,480 fill '#6f8f5a' polygon 530,302 600,260 650,302" \
        -draw "fill '#5a4a3a' stroke none rectangle 470,150 476,330 line 440,170 506,170" \
        -draw "stroke '#5a4a3a' fill none path 'M 476,170 Q 560,190 640,168'" \
        "$work/bg.png"
    png "$work/bg.png" "$img/bg_street.png"

    # The beach; the small glint at the water's edge is the bottle the
    # scenario makes clickable.
    convert -size 640x480 gradient:'#8fd0f2'-'#f6fbff' \
        -draw "fill '$sea_deep' stroke none rectangle 0,220 640,250" \
        \( -size 640x90 gradient:"$sea"-'#7fc0d8' \) -geometry +0+250 -composite \
        -draw "fill '#ffffff90' stroke none path 'M 0,300 C 80,292 160,310 240,300 C 320,290 400,312 480,300 C 560,290 600,306 640,298 L 640,322 L 0,322 Z'" \
        \( -size 640x170 gradient:"$sand"-'#e2c48c' \) -geometry +0+318 -composite \
        -draw "fill '#ffffff' stroke none path 'M 0,318 C 100,310 200,326 320,316 C 440,306 540,326 640,316 L 640,324 L 0,324 Z'" \
        -draw "fill '#b9d8c080' stroke '#5f8f7a' stroke-width 1 polygon 532,316 568,300 576,310 540,326" \
        -draw "fill '#8a5a3a' stroke none polygon 568,300 578,296 582,304 576,310" \
        -draw "fill '#fffbe8' stroke none polygon 552,296 555,306 565,309 555,312 552,322 549,312 539,309 549,306" \
        -draw "fill '#d8c090' stroke none ellipse 120,420 40,8 0,360 ellipse 420,440 60,10 0,360 ellipse 260,380 30,6 0,360" \
        -draw "fill none stroke '#ffffff' stroke-width 2 path 'M 90,120 q 8,-8 16,0 q 8,-8 16,0' path 'M 150,90 q 6,-6 12,0 q 6,-6 12,0'" \
        "$work/bg.png"
    png "$work/bg.png" "$img/bg_beach.png"

    # The lighthouse at dusk.
    convert -size 640x480 gradient:'#4d3f86'-'#f6a96c' \
        -draw "fill '#ffe3a0' stroke none circle 170,318 170,290" \
        -draw "fill '#3a3866' rectangle 0,320 640,480" \
        -draw "fill '#f4b27a80' rectangle 120,330 220,334 rectangle 136,346 204,349 rectangle 150,362 190,364" \
        -draw "fill '#2f3b2a' path 'M 640,480 L 640,300 C 560,290 480,300 420,330 C 380,350 340,420 300,480 Z'" \
        -draw "$(lighthouse 500 310 210 '#fff0c0')" \
        -draw "fill '#e8d8c0' stroke '#5a4a3a' rectangle 560,270 636,318 fill '#7a3a34' polygon 552,272 598,240 644,272" \
        -draw "fill '#ffd890' stroke '#5a4a3a' rectangle 576,286 596,302" \
        "$work/bg.png"
    png "$work/bg.png" "$img/bg_lighthouse.png"

    # The whole coast, twice the screen wide: the scenario and the gallery
    # pan across it.
    convert -size 1280x480 gradient:'#86c8ee'-'#fbf3e0' \
        -draw "fill '#9fbf98' stroke none path 'M 0,260 C 200,200 420,230 640,240 C 860,250 1040,200 1280,190 L 1280,280 L 0,280 Z'" \
        -draw "fill '$sea' rectangle 0,270 1280,480" \
        -draw "fill '#ffffff70' path 'M 0,330 C 200,320 400,340 640,328 C 880,316 1080,340 1280,326 L 1280,336 L 0,338 Z'" \
        -draw "fill '#e8dcc8' stroke '#8f8370' rectangle 80,230 140,276 rectangle 160,220 230,276 rectangle 250,236 300,276 rectangle 320,226 380,276" \
        -draw "fill '#b85a4a' stroke none polygon 74,232 110,206 146,232 polygon 154,222 195,194 236,222 fill '#5a6f8f' polygon 244,238 275,216 306,238 polygon 314,228 350,204 386,228" \
        -draw "fill '#7a8f6a' path 'M 1040,240 C 1100,170 1200,150 1280,160 L 1280,280 L 1040,280 Z'" \
        -draw "$(lighthouse 1160 176 110)" \
        -draw "fill '#f7f4ee' stroke '#6a6a70' polygon 600,300 660,300 650,312 610,312 fill '#c8463c' stroke none polygon 628,300 628,270 652,296" \
        "$work/bg.png"
    png "$work/bg.png" "$img/ev_coast.png"

    # The bottle in the sand, close up.
    convert -size 640x480 gradient:'#f4e2b8'-'#d8b880' \
        -draw "fill none stroke '#cfae74' stroke-width 3 path 'M 0,120 C 160,100 320,140 640,110' path 'M 0,260 C 200,240 380,280 640,250' path 'M 0,400 C 180,380 400,420 640,390'" \
        -draw "fill '#ffffff80' stroke none path 'M 0,0 L 640,0 L 640,60 C 480,90 200,40 0,80 Z'" \
        -draw "fill '#a8dcc460' stroke '#4f8a74' stroke-width 3 path 'M 150,300 C 150,250 200,220 300,210 L 420,198 L 430,186 L 480,180 L 486,226 L 436,232 L 430,246 L 310,290 C 220,320 160,330 150,300 Z'" \
        -draw "fill '#8a5a3a' stroke '#5a3a24' stroke-width 2 polygon 478,178 506,174 512,222 486,228" \
        -draw "fill '$cream' stroke '#b8a070' stroke-width 2 polygon 210,262 380,226 392,252 222,290" \
        -draw "fill none stroke '#c84a4a' stroke-width 3 line 300,244 306,270" \
        -draw "fill '#ffffffc0' stroke none path 'M 180,270 C 200,240 260,226 330,220 C 270,236 220,248 186,282 Z'" \
        -draw "fill '#fffbe8' polygon 460,150 466,166 482,172 466,178 460,194 454,178 438,172 454,166" \
        -draw "fill '#fffbe8' polygon 200,200 203,210 213,213 203,216 200,226 197,216 187,213 197,210" \
        "$work/bg.png"
    png "$work/bg.png" "$img/ev_bottle.png"

    # The old letter, behind the novel-style passage.
    convert -size 640x480 radial-gradient:'#fbf1d8'-'#d8c094' \
        -draw "fill none stroke '#c8b08060' stroke-width 1 $(for y in $(seq 90 34 430); do printf "line 80,%d 560,%d " "$y" "$y"; done)" \
        -draw "fill '#b8986040' stroke none ellipse 540,400 60,40 0,360 ellipse 100,80 40,30 0,360" \
        -draw "fill none stroke '#a88a5a' stroke-width 2 rectangle 40,30 600,450" \
        "$work/bg.png"
    png "$work/bg.png" "$img/ev_letter.png"

    # The lamp lit again, at night.
    convert -size 640x480 gradient:'#08122a'-'#27457a' \
        -draw "fill '#fffbe0' stroke none $(stars 70 640 300 7)" \
        -draw "fill '#fff2b040' stroke none polygon 420,150 0,60 0,170 polygon 420,150 640,100 640,190" \
        -draw "fill '#fff6c860' polygon 420,150 0,100 0,130 polygon 420,150 640,130 640,160" \
        -draw "fill '#18203a' rectangle 0,330 640,480" \
        -draw "fill '#fff2b050' rectangle 400,340 440,344 rectangle 392,360 448,363 rectangle 404,384 436,386" \
        -draw "fill '#0e1424' path 'M 640,480 L 640,320 C 560,310 480,320 420,340 C 380,360 340,420 300,480 Z'" \
        -draw "$(lighthouse 420 330 190 '#fffce8')" \
        -draw "fill '#fffce880' stroke none circle 420,150 420,126" \
        "$work/bg.png"
    png "$work/bg.png" "$img/ev_light.png"

    # Dawn over the harbour.
    convert -size 640x480 gradient:'#86a8dc'-'#ffd9a8' \
        -draw "fill '#fff4c8' stroke none circle 250,300 250,262" \
        -draw "fill '#5a6a9a' rectangle 0,300 640,480" \
        -draw "fill '#ffe6a8b0' rectangle 220,310 280,314 rectangle 206,328 294,331 rectangle 228,350 272,352 rectangle 196,372 304,374" \
        -draw "fill '#2a3050' path 'M 640,480 L 640,250 C 590,246 540,270 520,300 L 500,480 Z'" \
        -draw "$(lighthouse 586 252 120 '#ffe8b8')" \
        -draw "fill '#2a3050' polygon 80,372 150,372 140,384 90,384 fill '#f0e6d8' polygon 112,370 112,336 136,366" \
        -draw "fill none stroke '#2a3050' stroke-width 2 path 'M 340,160 q 8,-8 16,0 q 8,-8 16,0' path 'M 390,130 q 6,-6 12,0 q 6,-6 12,0'" \
        "$work/bg.png"
    png "$work/bg.png" "$img/ev_dawn.png"

    # Rule pictures for masked transitions: a wavy sweep and a closing circle.
    convert -size 480x640 gradient:white-black -wave 24x160 -gravity center -crop 480x640+0+0 +repage \
        -rotate 90 -colorspace Gray "$work/rule.png"
    convert "$work/rule.png" -depth 8 -strip -define png:exclude-chunks=date,time -define png:color-type=0 "$img/rule_wave.png"
    convert -size 640x480 radial-gradient:black-white -colorspace Gray "$work/rule.png"
    convert "$work/rule.png" -depth 8 -strip -define png:exclude-chunks=date,time -define png:color-type=0 "$img/rule_circle.png"
}


# [SECTION] Title, logo, text window, choices, log

# Lettering with a soft dark shadow, as ImageMagick options in LETTER.
letter() {
    local font=$1 size=$2 colour=$3 gravity=$4 offset=$5 text=$6
    LETTER=(-font "$font" -pointsize "$size" -gravity "$gravity"
        -fill '#00000060' -annotate "+$((${offset%%+*} + 2))+$((${offset#*+} + 2))" "$text"
        -fill "$colour" -annotate "+$offset" "$text")
}

make_window() {
    # Logo: the studio mark on cream.
    convert -size 640x480 radial-gradient:'#fffaf0'-'#f0e0c0' \
        -draw "$(lighthouse 320 250 120 "$gold")" \
        -font "$gothic" -pointsize 44 -gravity center -fill "$navy" -annotate +0+70 "Zelk" \
        -pointsize 16 -fill "$gold_dark" -annotate +0+112 "demo works" "$work/p.png"
    png "$work/p.png" "$img/logo.png"

    # Title background: the lamp at night with the title lettering.
    convert "$img/ev_light.png" \
        -fill '#00000040' -draw "rectangle 0,0 640,480" \
        -font "$mincho" -pointsize "${words[title_size]}" -gravity northwest \
        -fill '#00000080' -annotate +44+64 "${words[title]}" -fill "$cream" -annotate +40+60 "${words[title]}" \
        -font "$gothic" -pointsize 16 -fill "$gold" -annotate +46+138 "${words[subtitle]}" \
        "$work/p.png"
    png "$work/p.png" "$img/title_bg.png"

    # Title menu buttons.
    button4 tb_start 180 36 "${words[start]}"
    button4 tb_qload 180 36 "${words[qload]}"
    button4 tb_load 180 36 "${words[load]}"
    button4 tb_omake 180 36 "${words[omake]}"
    button4 tb_exit 180 36 "${words[exit]}"

    # Text window: the back (its opacity comes from the configuration), the
    # frame, in two looks for the two window types.
    convert -size 620x132 gradient:'#22365a'-'#0e1a30' \
        \( -size 620x132 xc:black -fill '#e8e8e8' -draw "roundrectangle 0,0 619,131 14,14" \) \
        -alpha off -compose copy_opacity -composite "$work/p.png"
    png "$work/p.png" "$img/win_back.png"
    local frame_colour
    for frame_colour in "$gold:win_frame" "$cream:win_frame2"; do
        convert -size 620x132 xc:none -fill none -stroke "${frame_colour%%:*}" -strokewidth 2 \
            -draw "roundrectangle 2,2 617,129 14,14" -strokewidth 1 -draw "roundrectangle 6,6 613,125 11,11" \
            -fill "${frame_colour%%:*}" -stroke none \
            -draw "polygon 310,0 316,6 310,12 304,6 polygon 24,126 30,132 24,138 18,132 polygon 596,126 602,132 596,138 590,132" \
            "$work/p.png"
        png "$work/p.png" "$img/${frame_colour#*:}.png"
    done

    # Nameplates: row 0 is empty (narration), then one row per speaker.
    local plate_fill plate_line name_colour suffix
    for look in "$navy:$gold:$cream:" "#f4ead4:#b8863b:#2a3050:2"; do
        IFS=: read -r plate_fill plate_line name_colour suffix <<<"$look"
        convert -size 160x32 xc:none "$work/n0.png"
        local i=1 name
        for name in "${names[@]}"; do
            convert -size 160x32 xc:none -fill "$plate_fill" -stroke "$plate_line" -strokewidth 2 \
                -draw "roundrectangle 1,1 158,30 10,10" -stroke none -fill "$name_colour" \
                -font "$gothic" -pointsize 18 -gravity center -annotate +0+1 "$name" "$work/n$i.png"
            i=$((i + 1))
        done
        stack_rows "$img/nameplate$suffix.png" "$work/n0.png" "$work/n1.png" "$work/n2.png" "$work/n3.png"

        # State mark: normal (empty), auto, skip.
        convert -size 72x20 xc:none "$work/s0.png"
        for i in 1:AUTO 2:SKIP; do
            convert -size 72x20 xc:none -fill "$plate_fill" -stroke "$plate_line" -strokewidth 1 \
                -draw "roundrectangle 0,0 71,19 8,8" -stroke none -fill "$name_colour" \
                -font "$gothic" -pointsize 12 -gravity center -annotate +0+1 "${i#*:}" "$work/s${i%%:*}.png"
        done
        stack_rows "$img/state$suffix.png" "$work/s0.png" "$work/s1.png" "$work/s2.png"
    done

    # Window buttons (normal and highlighted).
    button2 wb_save 64 20 "Q.SAVE" 10
    button2 wb_load 64 20 "Q.LOAD" 10
    button2 wb_auto 64 20 "AUTO" 10
    button2 wb_skip 64 20 "SKIP" 10
    button2 wb_log 64 20 "LOG" 10

    # Wait cursor: eight cells across, a small diamond that bobs.
    local cells=() f dy
    for f in 0 1 2 3 4 5 6 7; do
        dy=$(((f < 4 ? f : 8 - f) * 2))
        convert -size 20x20 xc:none -fill "$gold" -stroke '#7a5a24' -strokewidth 1 \
            -draw "polygon 10,$((2 + dy)) 16,$((8 + dy)) 10,$((14 + dy)) 4,$((8 + dy))" "$work/c$f.png"
        cells+=("$work/c$f.png")
    done
    png "${cells[@]}" +append "$img/cursor.png"

    # Choice frames: normal, pointed at, chosen.
    for f in normal point press; do button_row 400 40 "" "$f" "$work/ch_$f.png"; done
    for f in normal point press; do
        convert "$work/ch_$f.png" -fill "$gold" -stroke none -draw "polygon 20,14 26,20 20,26 14,20" "$work/ch_$f.png"
    done
    stack_rows "$img/choice_frame.png" "$work/ch_normal.png" "$work/ch_point.png" "$work/ch_press.png"

    # Novel style: a large translucent page.
    convert -size 580x440 gradient:'#142440'-'#0a1426' \
        \( -size 580x440 xc:black -fill '#d8d8d8' -draw "roundrectangle 0,0 579,439 18,18" \) \
        -alpha off -compose copy_opacity -composite "$work/p.png"
    png "$work/p.png" "$img/novel_back.png"

    # Log mode: background, voice icon (eight cells of a pulsing speaker,
    # two rows: normal and highlighted), scroll buttons.
    letter "$gothic" 20 "$gold" northwest 40+12 "BACKLOG"
    convert -size 640x480 gradient:'#0e1a30'-'#1b2a44' -alpha set -channel A -evaluate set 92% +channel \
        -fill none -stroke "$gold_dark" -strokewidth 1 \
        -draw "line 40,128 600,128 line 40,228 600,228 line 40,328 600,328" \
        -stroke none "${LETTER[@]}" "$work/p.png"
    png "$work/p.png" "$img/log_back.png"
    local row colour waves
    for row in 0 1; do
        colour=$cream
        [ $row = 1 ] && colour=$gold
        cells=()
        for f in 0 1 2 3 4 5 6 7; do
            waves=$(((f < 4 ? f : 8 - f) * 40 + 60))
            convert -size 28x28 xc:none -fill "$colour" -stroke none \
                -draw "rectangle 4,10 9,18 polygon 9,10 15,5 15,23 9,18" \
                -fill none -stroke "$(printf '%s%02x' "$colour" "$waves")" -strokewidth 2 \
                -draw "arc 12,8 22,20 -50,50 arc 12,4 27,24 -50,50" "$work/v$f.png"
            cells+=("$work/v$f.png")
        done
        convert "${cells[@]}" +append "$work/vrow$row.png"
    done
    stack_rows "$img/log_voice.png" "$work/vrow0.png" "$work/vrow1.png"
    button2 lb_pageup 64 28 "▲▲" 14
    button2 lb_rollup 64 28 "▲" 14
    button2 lb_rolldown 64 28 "▼" 14
    button2 lb_pagedown 64 28 "▼▼" 14
    button2 lb_return 64 28 "${words[back]}" 14

    # The reader's mouse cursor (used when the configuration asks for it).
    convert -size 32x32 xc:none -fill "$cream" -stroke "$navy" -strokewidth 2 \
        -draw "polygon 2,2 2,26 9,19 14,30 19,28 14,17 24,17" "$work/p.png"
    png "$work/p.png" "$cursor"
}


# [SECTION] Save/load, extras and ending screens

# A heading screen: a soft gradient with a title at the top.
heading_screen() {
    local out=$1 title=$2 top=$3 bottom=$4
    letter "$gothic" 22 "$cream" northwest 28+16 "$title"
    convert -size 640x480 gradient:"$top"-"$bottom" \
        -fill none -stroke "$gold_dark" -strokewidth 1 -draw "line 24,52 616,52" -stroke none \
        "${LETTER[@]}" "$work/p.png"
    png "$work/p.png" "$out"
}

# A panel picture (160 x 120) of ROWS rows from a scene picture with a
# caption; the second row carries a gold frame (pointed at).
panel_from() {
    local out=$1 source=$2 caption=$3
    convert "$source" -resize 160x120^ -gravity center -extent 160x120 +repage \
        -fill '#00000070' -stroke none -draw "rectangle 0,96 160,120" \
        -font "$gothic" -pointsize 12 -fill "$cream" -gravity south -annotate +0+4 "$caption" "$work/pa.png"
    convert "$work/pa.png" -fill none -stroke "$navy" -strokewidth 2 -draw "rectangle 1,1 158,118" "$work/pa0.png"
    convert "$work/pa.png" -fill '#ffffff30' -stroke "$gold" -strokewidth 4 -draw "rectangle 2,2 157,117" "$work/pa1.png"
    stack_rows "$out" "$work/pa0.png" "$work/pa1.png"
}

make_menus() {
    # Save/load: background, slot plate, its buttons, page buttons.
    heading_screen "$img/sl_back.png" "SAVE / LOAD" '#2a3a5c' '#101a2e'
    local s
    for s in normal point press off; do
        local fill=$navy stroke=$gold_dark
        [ $s = point ] && fill=$navy_light && stroke=$gold
        [ $s = press ] && fill='#3a5a8a' && stroke=$white
        [ $s = off ] && fill='#2a2e38' && stroke='#5a5f6a'
        convert -size 300x112 xc:none -fill "${fill}d8" -stroke "$stroke" -strokewidth 2 \
            -draw "roundrectangle 1,1 298,110 10,10" -fill '#00000060' -stroke none \
            -draw "rectangle 8,8 136,104" "$work/sl_$s.png"
    done
    stack_rows "$img/sl_base.png" "$work/sl_normal.png" "$work/sl_point.png" "$work/sl_press.png" "$work/sl_off.png"
    button4 sl_save 64 24 "${words[save]}" 13
    button4 sl_load 64 24 "${words[load]}" 13
    button4 sl_return 96 30 "${words[back]}" 15
    local i=1 label
    for label in 1 2 3 4 Q; do
        button4 "sl_page$i" 44 28 "$label" 15
        i=$((i + 1))
    done

    # Extras: three screens, mode, page and return buttons.
    heading_screen "$img/om_bg_cg.png" "GALLERY" '#3a2f5c' '#141028'
    heading_screen "$img/om_bg_rep.png" "REPLAY" '#2f4a5c' '#0e1a28'
    heading_screen "$img/om_bg_snd.png" "MUSIC" '#4a3a2f' '#1e140e'
    button4 om_mode_cg 96 30 "${words[cg]}" 15
    button4 om_mode_rep 96 30 "${words[replay]}" 15
    button4 om_mode_snd 96 30 "${words[music]}" 15
    button4 om_return 96 30 "${words[back]}" 15
    button4 om_page1 40 28 "1" 15

    # Gallery panels from the pictures they open, and the closed panel.
    panel_from "$img/cgp_bottle.png" "$img/ev_bottle.png" "${gallery[0]}"
    panel_from "$img/cgp_coast.png" "$img/ev_coast.png" "${gallery[1]}"
    panel_from "$img/cgp_light.png" "$img/ev_light.png" "${gallery[2]}"
    panel_from "$img/cgp_dawn.png" "$img/ev_dawn.png" "${gallery[3]}"
    panel_from "$img/cgp_movie.png" "$img/title_bg.png" "${gallery[4]}"
    panel_from "$img/cgp_places.png" "$img/bg_lighthouse.png" "${gallery[5]}"
    convert -size 160x120 gradient:'#2a2e3a'-'#1a1e28' -font "$gothic" -pointsize 40 -fill '#5a5f6a' \
        -gravity center -annotate +0+0 "？" -fill none -stroke '#5a5f6a' -strokewidth 2 \
        -draw "rectangle 1,1 158,118" "$work/null.png"
    stack_rows "$img/cgp_null.png" "$work/null.png" "$work/null.png"

    # Replay panels, the closed panel and the description pictures.
    panel_from "$img/rpp_s1.png" "$img/bg_street.png" "${replays[0]}"
    panel_from "$img/rpp_s2.png" "$img/bg_beach.png" "${replays[1]}"
    panel_from "$img/rpp_s3.png" "$img/bg_lighthouse.png" "${replays[2]}"
    panel_from "$img/rpp_ea.png" "$img/ev_light.png" "${replays[3]}"
    panel_from "$img/rpp_eb.png" "$img/ev_dawn.png" "${replays[4]}"
    stack_rows "$img/rpp_null.png" "$work/null.png" "$work/null.png"
    local text n=1
    for text in "${replay_texts[@]}"; do
        convert -size 440x36 xc:none -fill "${navy}e0" -stroke "$gold_dark" -strokewidth 1 \
            -draw "roundrectangle 0,0 439,35 8,8" -stroke none -font "$gothic" -pointsize 16 \
            -fill "$cream" -gravity center -annotate +0+1 "$text" "$work/p.png"
        png "$work/p.png" "$img/rpt1_$n.png"
        n=$((n + 1))
    done

    # Music room: panels of four rows (normal, pointed at, playing,
    # disabled), player buttons, play-mode buttons.
    n=0
    for text in snp_title snp_day snp_night; do
        if [ "$lang" = ja ]; then
            button4 "$text" 240 36 "♪ ${pieces[$n]}" 16
        else
            # The note is IPA's: Noto's Latin face has none.
            button4 "$text" 240 36 "${pieces[$n]}" 16
            convert "$img/$text.png" -font "$ipa_gothic" -pointsize 16 -gravity west \
                -fill "$cream" -annotate +14-53 "♪" -fill "$white" -annotate +14-17 "♪" \
                -fill "$navy" -annotate +14+19 "♪" -fill '#8a8f99' -annotate +14+55 "♪" "$work/p.png"
            png "$work/p.png" "$img/$text.png"
        fi
        n=$((n + 1))
    done
    button4 om_back 56 28 "◀◀" 12
    button4 om_play 56 28 "▶" 12
    button4 om_stop 56 28 "■" 12
    button4 om_next 56 28 "▶▶" 12
    button4 om_single 80 28 "${words[single]}" 13
    button4 om_all 80 28 "${words[all]}" 13
    button4 om_random 80 28 "${words[random]}" 13

    # Completion display, one picture per percentage.
    local p
    for p in $(seq 0 100); do
        convert -size 140x28 xc:none -fill "${navy}d0" -stroke "$gold_dark" -strokewidth 1 \
            -draw "roundrectangle 0,0 139,27 8,8" -stroke none -font "$gothic" -pointsize 14 \
            -fill "$cream" -gravity center -annotate +0+1 "${words[percent]} $p%" "$work/p.png"
        png "$work/p.png" "$img/pct$(printf %03d "$p").png"
    done

    # Ending: backgrounds, the credits (lettering on the left, the right
    # half left free for the overlay) and the four-part overlays.
    convert "$img/ev_light.png" -fill '#00000090' -draw "rectangle 0,0 640,480" "$work/p.png"
    png "$work/p.png" "$img/ed_back_a.png"
    convert "$img/ev_dawn.png" -fill '#00000070' -draw "rectangle 0,0 640,480" "$work/p.png"
    png "$work/p.png" "$img/ed_back_b.png"
    local y=40 args=() item
    for item in "${credits[@]}"; do
        case ${item%%:*} in
            title) args+=(-font "$mincho" -pointsize 30 -fill "$cream" -annotate "+30+$y" "${item#*:}"); y=$((y + 70)) ;;
            role) args+=(-font "$gothic" -pointsize 14 -fill "$gold" -annotate "+34+$y" "${item#*:}"); y=$((y + 26)) ;;
            name) args+=(-font "$gothic" -pointsize 20 -fill "$white" -annotate "+34+$y" "${item#*:}"); y=$((y + 60)) ;;
            gap) y=$((y + 120)) ;;
        esac
    done
    convert -size 640x$((y + 40)) xc:none -gravity northwest "${args[@]}" "$work/p.png"
    png "$work/p.png" "$img/ed_credits.png"
    local last ending
    for ending in a:ev_light b:ev_dawn; do
        for last in bg_street ev_bottle bg_lighthouse "${ending#*:}"; do
            convert "$img/$last.png" -resize 320x240^ -gravity center -extent 320x240 +repage \
                -fill none -stroke "$cream" -strokewidth 3 -draw "rectangle 1,1 318,238" "$work/o_$last.png"
        done
        png "$work/o_bg_street.png" "$work/o_ev_bottle.png" "$work/o_bg_lighthouse.png" \
            "$work/o_${ending#*:}.png" -append "$img/ed_over_${ending%%:*}.png"
    done
}


# [SECTION] Music ------------------------------------------------------------------

rate=44100
# Repeatable noise and no dither, so that every run writes the same files.
export SOX_OPTS="-R -D"

# Encodes a WAVE file as Ogg Vorbis with a fixed serial number.
to_ogg() {
    local wav=$1 out=$2 quality=${3:-3} serial=$4
    oggenc -Q -q "$quality" --serial "$serial" -o "$out" "$wav"
}

# Renders one voice of a piece: TOKENS are semitones from A4 (or r for a
# rest) with a length in beats, such as -9:1 r:0.5; INSTRUMENT is box (a
# music box: sine with a quick decay), pluck, bass or pad (soft triangle).
render_track() {
    local out=$1 bpm=$2 instrument=$3
    shift 3
    local files=() token note beats dur i=0 f
    for token in "$@"; do
        note=${token%%:*}
        beats=${token#*:}
        dur=$(awk -v b="$beats" -v t="$bpm" 'BEGIN { printf "%.6f", b * 60 / t }')
        f="$work/t_$i.wav"
        if [ "$note" = r ]; then
            sox -n -r $rate -c 1 -b 16 "$f" trim 0 "$dur"
        else
            case $instrument in
                box) sox -n -r $rate -c 1 -b 16 "$f" synth "$dur" sine "%$note" sine "%$((note + 12))" remix - \
                    fade l 0.005 "$dur" "$(awk -v d="$dur" 'BEGIN { printf "%.6f", d * 0.9 }')" gain -9 ;;
                pluck) sox -n -r $rate -c 1 -b 16 "$f" synth "$dur" pluck "%$note" \
                    fade l 0.002 "$dur" 0.05 gain -6 ;;
                bass) sox -n -r $rate -c 1 -b 16 "$f" synth "$dur" sine "%$note" \
                    fade q 0.02 "$dur" "$(awk -v d="$dur" 'BEGIN { printf "%.6f", d * 0.5 }')" gain -4 ;;
                pad) sox -n -r $rate -c 1 -b 16 "$f" synth "$dur" triangle "%$note" \
                    fade h "$(awk -v d="$dur" 'BEGIN { printf "%.6f", d * 0.3 }')" "$dur" \
                    "$(awk -v d="$dur" 'BEGIN { printf "%.6f", d * 0.4 }')" gain -14 ;;
            esac
        fi
        files+=("$f")
        i=$((i + 1))
    done
    sox "${files[@]}" "$out"
    rm -f "${files[@]}"
}

# Mixes the rendered voices into a piece that loops without a seam: the
# mix is played twice through the reverb and the second pass is kept, so
# the reverb tail of the end already sounds at the start.
finish_piece() {
    local out=$1 serial=$2
    shift 2
    sox -m "$@" "$work/mix.wav" gain -4
    local length
    length=$(soxi -D "$work/mix.wav")
    sox "$work/mix.wav" "$work/mix.wav" "$work/twice.wav" reverb 40 50 80 trim "$length"
    sox "$work/twice.wav" -c 2 "$work/piece.wav" gain -n -4
    to_ogg "$work/piece.wav" "$out" 3 "$serial"
}

# Arpeggio of a chord: the notes in turn, each LEN beats, COUNT notes.
arp() {
    local len=$1 count=$2
    shift 2
    local i
    for ((i = 0; i < count; i++)); do
        eval "echo \${$((i % $# + 1))}:$len"
    done
}

# Like finish_piece, for a piece that opens with an intro and then repeats
# its body (the first INTRO_VOICES voices are the intro's): the file is the intro and one pass of the body, and its
# LOOPSTART / LOOPLENGTH comments (in samples) name the body, so a player
# plays the intro once and the body gaplessly after it. The intro ends with
# the body's own last bar, so going from the intro into the body sounds as
# going from the body's end back to its start, reverb tail included: the
# whole is played through the reverb as intro, body, body, and the intro is
# cut before the first body, the body from the second.
finish_piece_with_intro() {
    local out=$1 serial=$2 intro_voices=$3
    shift 3
    # Each voice is three words: -v, its volume, its file.
    local voices=("$@") split=$((intro_voices * 3))
    sox -m "${voices[@]:0:$split}" "$work/intro.wav" gain -4
    sox -m "${voices[@]:$split}" "$work/mix.wav" gain -4
    local intro body
    intro=$(soxi -s "$work/intro.wav")
    body=$(soxi -s "$work/mix.wav")
    sox "$work/intro.wav" "$work/mix.wav" "$work/mix.wav" "$work/all.wav" reverb 40 50 80
    sox "$work/all.wav" "$work/head.wav" trim 0 "${intro}s"
    sox "$work/all.wav" "$work/loop.wav" trim "$((intro + body))s" "${body}s"
    sox "$work/head.wav" "$work/loop.wav" -c 2 "$work/piece.wav" gain -n -4
    oggenc -Q -q 2 --serial "$serial" -c "LOOPSTART=$intro" -c "LOOPLENGTH=$body" \
        -o "$out" "$work/piece.wav"
}

make_music() {
    # "海の見える窓": the title theme, a music box over soft pads. Its intro
    # is a slow bar of single notes and the theme's own last bar.
    local mel=() pad=() bass=()
    local chords=("-9 -5 -2 3" "-12 -9 -5 0" "-16 -12 -9 -4" "-14 -10 -7 -2")
    local c
    for c in 0 1 2 3 0 1 2 3; do
        # shellcheck disable=SC2086
        mel+=($(arp 0.5 8 ${chords[$c]}))
    done
    pad=(-9:4 -12:4 -16:4 -14:4 -9:4 -12:4 -16:4 -14:4)
    bass=(-21:4 -24:4 -28:4 -26:4 -21:4 -24:4 -28:4 -26:2 -14:2)
    # shellcheck disable=SC2046,SC2086
    render_track "$work/i1.wav" 84 box 8:1 3:1 0:1 -4:1 $(arp 0.5 8 ${chords[3]})
    render_track "$work/i2.wav" 84 pad -16:4 -14:4
    render_track "$work/i3.wav" 84 bass -28:4 -26:2 -14:2
    render_track "$work/m1.wav" 84 box "${mel[@]}"
    render_track "$work/m2.wav" 84 pad "${pad[@]}"
    render_track "$work/m3.wav" 84 bass "${bass[@]}"
    finish_piece_with_intro "$snd/bgm_title.ogg" 101 3 \
        -v 0.8 "$work/i1.wav" -v 0.7 "$work/i2.wav" -v 0.8 "$work/i3.wav" \
        -v 0.8 "$work/m1.wav" -v 0.7 "$work/m2.wav" -v 0.8 "$work/m3.wav"

    # "坂道の朝": a light walking tune, plucked.
    mel=(3:1 5:0.5 7:0.5 8:1 7:1 5:1.5 3:0.5 0:2
        -2:1 0:0.5 3:0.5 5:1 3:1 0:1.5 -2:0.5 -4:2
        -4:1 -2:0.5 0:0.5 3:1 5:1 7:1.5 5:0.5 3:2
        5:1 3:0.5 0:0.5 -2:1 0:1 -4:3 r:1)
    bass=(-28:1 -16:1 -28:1 -16:1 -21:1 -9:1 -21:1 -9:1
        -26:1 -14:1 -26:1 -14:1 -28:1 -16:1 -28:1 -16:1
        -23:1 -11:1 -23:1 -11:1 -21:1 -9:1 -21:1 -9:1
        -26:1 -14:1 -26:1 -14:1 -28:1 -16:1 -26:1 -14:1)
    pad=(-16:4 -9:4 -14:4 -16:4 -11:4 -9:4 -14:4 -16:4)
    render_track "$work/m1.wav" 108 pluck "${mel[@]}"
    render_track "$work/m2.wav" 108 bass "${bass[@]}"
    render_track "$work/m3.wav" 108 pad "${pad[@]}"
    finish_piece "$snd/bgm_day.ogg" 102 -v 0.9 "$work/m1.wav" -v 0.6 "$work/m2.wav" -v 0.6 "$work/m3.wav"

    # "灯台の夜": slow and sparse, in A minor.
    mel=(12:2 10:1 7:1 8:3 r:1 7:2 5:1 3:1 5:4
        3:2 5:1 7:1 8:2 7:2 5:1 3:1 2:1 -2:1 0:4)
    pad=(-9:4 -16:4 -9:4 -14:4 -12:4 -16:4 -14:4 -12:4)
    bass=(-24:4 -28:4 -21:4 -26:4 -24:4 -28:4 -26:4 -24:4)
    render_track "$work/m1.wav" 66 box "${mel[@]}"
    render_track "$work/m2.wav" 66 pad "${pad[@]}"
    render_track "$work/m3.wav" 66 bass "${bass[@]}"
    finish_piece "$snd/bgm_night.ogg" 103 -v 0.8 "$work/m1.wav" -v 0.9 "$work/m2.wav" -v 0.8 "$work/m3.wav"
}

# [SECTION] Effects

make_effects() {
    local s=200
    effect() {
        local name=$1
        shift
        sox -R -n -r $rate -c 1 -b 16 "$work/e.wav" "$@"
        to_ogg "$work/e.wav" "$snd/$name.ogg" 3 $s
        s=$((s + 1))
    }
    effect se_click synth 0.05 sine 1760 fade q 0.002 0.05 0.04 gain -8
    effect se_point synth 0.04 sine 1320 fade q 0.002 0.04 0.03 gain -16
    # A three-note chime for the logo.
    sox -n -r $rate -c 1 -b 16 "$work/c1.wav" synth 1.6 sine %15 fade q 0.005 1.6 1.5 gain -10
    sox -n -r $rate -c 1 -b 16 "$work/c2.wav" synth 1.4 sine %19 fade q 0.005 1.4 1.3 pad 0.18 gain -10
    sox -n -r $rate -c 1 -b 16 "$work/c3.wav" synth 1.2 sine %22 fade q 0.005 1.2 1.1 pad 0.36 gain -10
    sox -m "$work/c1.wav" "$work/c2.wav" "$work/c3.wav" "$work/e.wav" reverb 30
    to_ogg "$work/e.wav" "$snd/se_chime.ogg" 3 $s
    s=$((s + 1))
    effect se_wave synth 3 pinknoise fade q 1.2 3 1.6 lowpass 900 gain -6
    # Surf that loops: two slow swells in ten seconds.
    effect se_waves synth 10 pinknoise synth 10 sine amod 0.2 60 lowpass 800 gain -8
    sox -n -r $rate -c 1 -b 16 "$work/g1.wav" synth 0.08 sine 2637 fade q 0.001 0.08 0.07 gain -10
    sox -n -r $rate -c 1 -b 16 "$work/g2.wav" synth 0.3 sine 3520 sine 4186 remix - fade q 0.001 0.3 0.28 pad 0.09 gain -14
    sox -m "$work/g1.wav" "$work/g2.wav" "$work/e.wav" reverb 20
    to_ogg "$work/e.wav" "$snd/se_bottle.ogg" 3 $s
    s=$((s + 1))
    sox -n -r $rate -c 1 -b 16 "$work/l1.wav" synth 0.06 square 90 fade q 0 0.06 0.05 gain -12
    sox -n -r $rate -c 1 -b 16 "$work/l2.wav" synth 1.5 sine 220-440 sine 330-660 remix - fade q 0.4 1.5 0.8 pad 0.1 gain -16
    sox -m "$work/l1.wav" "$work/l2.wav" "$work/e.wav" reverb 50
    to_ogg "$work/e.wav" "$snd/se_switch.ogg" 3 $s
    s=$((s + 1))
    sox -R -n -r $rate -c 1 -b 16 "$work/st.wav" synth 0.09 brownnoise fade q 0.005 0.09 0.08 lowpass 400 gain -2 pad 0 0.31
    sox "$work/st.wav" "$work/st.wav" "$work/st.wav" "$work/st.wav" "$work/e.wav"
    to_ogg "$work/e.wav" "$snd/se_step.ogg" 3 $s
    s=$((s + 1))
    sox -n -r $rate -c 1 -b 16 "$work/gu.wav" synth 0.35 sine 2100-1300 fade q 0.02 0.35 0.15 gain -14 pad 0 0.1
    sox "$work/gu.wav" "$work/gu.wav" "$work/e.wav" reverb 40
    to_ogg "$work/e.wav" "$snd/se_gull.ogg" 3 $s
}


# [SECTION] Voices

# Each voice: its key (the first three characters are the character id the
# scenario's voice escape looks up), the espeak-ng voice and pitch, and the
# line in kana, which the Japanese voice reads best.
voices=(
    "a01_001|ja+f2|72|おはよう！　きょうも、はやいね"
    "a01_002|ja+f2|72|あのとうだいね、なつがおわったら、あかりをけしちゃうんだって"
    "a01_003|ja+f2|72|ねえ、はまのほうに、いってみない？"
    "a01_004|ja+f2|74|ほら、かいがらが、いっぱい！"
    "a01_005|ja+f2|72|あれ？　ねえ、あそこ。なにか、ひかってる"
    "a01_006|ja+f2|76|てがみだ！　あけてみようよ"
    "a01_007|ja+f2|74|いこう！　このてがみ、とどけなきゃ"
    "a01_008|ja+f2|74|いっしょに、みようよ！　こんや、みんなで"
    "a01_009|ja+f2|66|きれい"
    "a01_010|ja+f2|74|みて！　とうだいが、あさひで、ひかってる"
    "b01_001|ja+m3|38|あかり。あさから、なにやってんだ"
    "b01_002|ja+m3|38|ふうん。まあ、よろしくな"
    "b01_003|ja+m3|38|ん？　ああ、がらすびんだな。なかに、かみがはいってるぞ"
    "b01_004|ja+m3|38|とうだいの、ちづるばあちゃんだ。いまも、とうだいのよこのいえに、すんでる"
    "b01_005|ja+m3|36|でも、よるのみさきは、あぶないぞ"
    "c01_001|ja+f4|44|おや、あかりちゃんに、みなとくん。それから、みないかおだね"
    "c01_002|ja+f4|42|まあ。これは、わたしが、じゅうろくのときに、ながしたてがみだよ"
    "c01_003|ja+f4|42|ちちのあとは、わたしが、とうだいをまもってきた"
    "c01_004|ja+f4|46|ありがとう。さあ、うえへ、おいで"
    "c01_005|ja+f4|44|みえているよ。ごじゅうねんまえと、おなじにね"
)

make_voices() {
    local entry key voice pitch text speed s=300
    for entry in "${voices[@]}"; do
        IFS='|' read -r key voice pitch text <<<"$entry"
        speed=150
        [ "${key:0:3}" = c01 ] && speed=125
        espeak-ng -v "$voice" -p "$pitch" -s "$speed" -w "$work/v.wav" "$text"
        sox "$work/v.wav" -r 22050 "$work/v2.wav" gain -6 highpass 120 gain -n -3 pad 0.05 0.15
        to_ogg "$work/v2.wav" "$snd/$key.ogg" 2 $s
        s=$((s + 1))
    done
}

# [SECTION] Movie

# The opening: the lamp at night, the title, the morning road, cross-faded,
# with the title theme underneath. MPEG-1 video and MPEG audio layer 2.
make_movie() {
    command -v ffmpeg >/dev/null || { echo "ffmpeg is missing (apt-get install ffmpeg)" >&2; exit 1; }
    ffmpeg -v error -y -bitexact \
        -loop 1 -t 3 -i "$img/ev_light.png" \
        -loop 1 -t 3.5 -i "$img/title_bg.png" \
        -loop 1 -t 3 -i "$img/bg_street.png" \
        -i "$snd/bgm_title.ogg" \
        -filter_complex "[0:v]fps=25,format=yuv420p[a];[1:v]fps=25,format=yuv420p[b];[2:v]fps=25,format=yuv420p[c];\
[a][b]xfade=transition=fade:duration=0.8:offset=2.2[ab];\
[ab][c]xfade=transition=circleopen:duration=0.8:offset=4.9,fade=t=in:st=0:d=0.8,fade=t=out:st=7.0:d=0.8[v];\
[3:a]atrim=0:7.8,afade=t=in:st=0:d=0.5,afade=t=out:st=6.6:d=1.2[au]" \
        -map "[v]" -map "[au]" -t 7.8 -c:v mpeg1video -b:v 1000k -maxrate 1500k -bufsize 400k \
        -c:a mp2 -b:a 128k -ar 44100 -flags +bitexact -fflags +bitexact -f mpeg "$mov/opening.mpg"
}

# [SECTION] Main -------------------------------------------------------------------

if [ -n "$lettered_out" ]; then
    # Drawn over a copy of this edition's pictures (the lettered ones are
    # made from the others), of which only the lettered ones are kept.
    mkdir -p "$lettered_out/image" "$lettered_out/movie"
    cp -r "$img" "$work/image"
    img="$work/image"
    cursor="$work/mouse.png"
    make_window
    make_menus
    for name in "${lettered[@]}"; do
        cmp -s "$img/$name.png" "$here/image/$name.png" &&
            echo "warning: $name.png has no $lang lettering" >&2
        cp "$img/$name.png" "$lettered_out/image/$name.png"
    done
    mov="$lettered_out/movie"
    make_movie
    exit 0
fi

mkdir -p "$img" "$snd" "$mov"
groups=("$@")
[ ${#groups[@]} -gt 0 ] || groups=(images sounds voices movie)
for group in "${groups[@]}"; do
    case $group in
        images) make_characters; make_backgrounds; make_window; make_menus ;;
        sounds) make_music; make_effects ;;
        voices) make_voices ;;
        movie) make_movie ;;
        *) echo "unknown group $group (images, sounds, voices, movie)" >&2; exit 2 ;;
    esac
done
