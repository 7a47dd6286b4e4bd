# The steps make-zyxel.sh and make-g721.sh share, sourced by both after they
# set $here: a scratch directory, the spoken piece with a tail of their own,
# and pvftools' encoding and decoding.
tmp=$(mktemp -d)
trap 'rm -rf "$tmp"' EXIT

# speech_input RATE SECONDS HIGH LOW HALF COUNT ZEROS OUT: the spoken piece at
# RATE Hz, peak -3 dBFS, SECONDS of it from 0.35 s on; then COUNT samples of a
# square wave between HIGH and LOW that turns every HALF samples, and ZEROS
# samples of silence; into OUT (16-bit little-endian), and as $tmp/input.pvf.
speech_input() {
    espeak-ng -w "$tmp/speech.wav" "Please leave your message after the tone."
    sox -D "$tmp/speech.wav" -r "$1" -b 16 -c 1 -e signed "$tmp/speech.raw" norm -3 trim 0.35 "$2"
    python3 - "$tmp/speech.raw" "$8" "$3" "$4" "$5" "$6" "$7" <<'PY'
import struct, sys
speech = open(sys.argv[1], 'rb').read()
high, low, half, count, zeros = (int(a) for a in sys.argv[3:8])
tail = [high if (i // half) % 2 == 0 else low for i in range(count)] + [0] * zeros
open(sys.argv[2], 'wb').write(speech + struct.pack('<%dh' % len(tail), *tail))
PY
    sox -t raw -r "$1" -e signed -b 16 -c 1 "$8" "$tmp/input.wav"
    wavtopvf "$tmp/input.wav" "$tmp/input.pvf"
}

# pvf_encode MODEM BITS NAME: pvftormd's NAME.rmd of $tmp/input.pvf, and NAME.s16.
pvf_encode() {
    pvftormd "$1" "$2" "$tmp/input.pvf" "$3.rmd"
    pvf_decode "$3"
}

# pvf_decode NAME: rmdtopvf | pvftolin of NAME.rmd, into NAME.s16.
pvf_decode() {
    rmdtopvf "$1.rmd" | pvftolin -W -S -I > "$1.s16"
}
