#!/bin/sh
# Renders every image under qml/images/ from the sources in art/.
# Needs: python3, rsvg-convert (librsvg2-bin), optipng, ffmpeg, fonts-dejavu-core.
set -eu

# keep the source folder free of bytecode caches
export PYTHONDONTWRITEBYTECODE=1

here=$(cd "$(dirname "$0")" && pwd)
root=$(dirname "$here")
img="$root/qml/images"

for tool in python3 rsvg-convert optipng ffmpeg; do
    command -v "$tool" >/dev/null 2>&1 || {
        echo "render.sh: $tool is missing (apt-get install python3 librsvg2-bin optipng ffmpeg)" >&2
        exit 1
    }
done

tmp=$(mktemp -d)
trap 'rm -rf "$tmp"' EXIT INT TERM

mkdir -p "$img/icons"
python3 "$here/gen.py" "$tmp"

# PNG images: interface and catalogue icons at their drawn size.
while IFS="$(printf '\t')" read -r kind svg png; do
    case "$kind" in
    ui | icon)
        rsvg-convert "$tmp/$svg" -o "$root/$png"
        optipng -quiet -o5 -strip all "$root/$png"
        ;;
    frame)
        rsvg-convert "$tmp/$svg" -o "$tmp/$png"
        ;;
    esac
done <"$tmp/jobs.tsv"

# Loading animation: 12 frames, one palette shared by all of them, looping.
ffmpeg -loglevel error -y -framerate 12 -f image2 -i "$tmp/loading-%02d.png" \
    -filter_complex "[0:v]split[a][b];[a]palettegen=reserve_transparent=0:stats_mode=full[p];[b][p]paletteuse=dither=none" \
    -loop 0 -fflags +bitexact -flags +bitexact "$img/loading.gif"

# Application icon: PNG plus an ICO holding 128, 16, 32, 64, 24 in that order.
rsvg-convert -w 256 -h 256 "$here/icon.svg" -o "$img/icon.png"
optipng -quiet -o5 -strip all "$img/icon.png"
for s in 128 16 32 64 24; do
    src="$here/icon.svg"
    [ "$s" -le 24 ] && src="$here/icon-small.svg"
    rsvg-convert -w "$s" -h "$s" "$src" -o "$tmp/icon-$s.png"
done
python3 "$here/ico.py" "$img/icon.ico" "$tmp/icon-128.png" "$tmp/icon-16.png" \
    "$tmp/icon-32.png" "$tmp/icon-64.png" "$tmp/icon-24.png"

echo "render.sh: images written to qml/images/"
