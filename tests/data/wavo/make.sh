#!/usr/bin/env bash
# Makes the sound files of the sound engine's tests. Needs espeak-ng, sox, oggenc
# and python3; the tests themselves need none of them. Every file is small.
#
#   *.wav       WAVE data of each format the WAVE decoder converts
#   *.raw       what sox decodes them to: 16-bit signed little-endian samples
#   *.ogg       Ogg Vorbis streams (the tests compare against libvorbisfile)
set -euo pipefail
cd "$(dirname "$0")"
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT

raw() { sox -q "$1" -t raw -e signed-integer -b 16 -L "$2"; }

# The sound: a voice on the left, a voice over a soft chord on the right.
espeak-ng -s 190 -w "$work/voice.wav" "Zelk plays the sound of the story, every word of it."
sox -q "$work/voice.wav" -r 22050 "$work/voice22.wav" trim 0 0.8
sox -q -n -r 22050 -c 1 "$work/chord.wav" synth 0.8 sine 220 sine 330 vol 0.25
sox -q -m "$work/voice22.wav" "$work/chord.wav" "$work/right.wav"
sox -q -M "$work/voice22.wav" "$work/right.wav" "$work/stereo22.wav"

sox -q "$work/stereo22.wav" -b 16 pcm16_stereo_22050.wav
sox -q "$work/stereo22.wav" -r 44100 pcm16_stereo_44100.wav trim 0 0.5
sox -q "$work/voice22.wav" -b 16 pcm16_mono_22050.wav
sox -q "$work/voice22.wav" -D -b 8 -e unsigned pcm8_mono_22050.wav
raw pcm8_mono_22050.wav pcm8_mono_22050.raw
sox -q pcm16_mono_22050.wav -e floating-point -b 32 float32_mono_22050.wav

# Microsoft ADPCM: sox makes blocks of 768 bytes at 33075 Hz, which do not divide 1024.
sox -q "$work/voice.wav" -r 33075 -e ms-adpcm ms_adpcm_mono_33075.wav trim 0 1.0
raw ms_adpcm_mono_33075.wav ms_adpcm_mono_33075.raw
sox -q "$work/stereo22.wav" -e ms-adpcm ms_adpcm_stereo_22050.wav trim 0 0.5
raw ms_adpcm_stereo_22050.wav ms_adpcm_stereo_22050.raw

# IMA ADPCM: sox only makes 256 bytes a channel; the stereo file with blocks of
# 1800 bytes comes from the small encoder below.
sox -q "$work/voice22.wav" -e ima-adpcm ima_adpcm_mono_22050.wav
raw ima_adpcm_mono_22050.wav ima_adpcm_mono_22050.raw
raw "$work/stereo22.wav" "$work/stereo22.raw"
python3 - "$work/stereo22.raw" ima_adpcm_stereo_22050.wav <<'PY'
import struct, sys
STEPS = [7, 8, 9, 10, 11, 12, 13, 14, 16, 17, 19, 21, 23, 25, 28, 31, 34, 37, 41, 45, 50, 55,
         60, 66, 73, 80, 88, 97, 107, 118, 130, 143, 157, 173, 190, 209, 230, 253, 279, 307,
         337, 371, 408, 449, 494, 544, 598, 658, 724, 796, 876, 963, 1060, 1166, 1282, 1411,
         1552, 1707, 1878, 2066, 2272, 2499, 2749, 3024, 3327, 3660, 4026, 4428, 4871, 5358,
         5894, 6484, 7132, 7845, 8630, 9493, 10442, 11487, 12635, 13899, 15289, 16818, 18500,
         20350, 22385, 24623, 27086, 29794, 32767]
INDEX = [-1, -1, -1, -1, 2, 4, 6, 8]
CHANNELS, RATE, BLOCK = 2, 22050, 1800
PER_BLOCK = (BLOCK - 4 * CHANNELS) * 8 // (4 * CHANNELS) + 1

def encode(state, sample):
    pred, idx = state
    step = STEPS[idx]
    diff = sample - pred
    nib = 8 if diff < 0 else 0
    diff = abs(diff)
    for bit in (4, 2, 1):
        if diff >= step:
            nib |= bit
            diff -= step
        step >>= 1
    step = STEPS[idx]
    d = step >> 3
    if nib & 1: d += step >> 2
    if nib & 2: d += step >> 1
    if nib & 4: d += step
    pred = max(-32768, min(32767, pred - d if nib & 8 else pred + d))
    state[0], state[1] = pred, max(0, min(88, idx + INDEX[nib & 7]))
    return nib

data = open(sys.argv[1], 'rb').read()
samples = struct.unpack('<%dh' % (len(data) // 2), data)
frames = len(samples) // CHANNELS // PER_BLOCK * PER_BLOCK
states = [[0, 0] for _ in range(CHANNELS)]
out = bytearray()
for start in range(0, frames, PER_BLOCK):
    block = [samples[(start + i) * CHANNELS:(start + i + 1) * CHANNELS] for i in range(PER_BLOCK)]
    for c in range(CHANNELS):
        states[c][0] = block[0][c]
        out += struct.pack('<hBB', block[0][c], states[c][1], 0)
    for group in range(1, PER_BLOCK, 8):
        for c in range(CHANNELS):
            nibs = [encode(states[c], block[group + i][c]) for i in range(8)]
            out += bytes(nibs[i] | nibs[i + 1] << 4 for i in range(0, 8, 2))
fmt = struct.pack('<HHIIHHHH', 0x11, CHANNELS, RATE, BLOCK * RATE // PER_BLOCK, BLOCK, 4, 2,
                  PER_BLOCK)
body = b'WAVE' + b'fmt ' + struct.pack('<I', len(fmt)) + fmt
body += b'fact' + struct.pack('<II', 4, frames) + b'data' + struct.pack('<I', len(out)) + out
open(sys.argv[2], 'wb').write(b'RIFF' + struct.pack('<I', len(body)) + body)
PY
raw ima_adpcm_stereo_22050.wav ima_adpcm_stereo_22050.raw

# Ogg Vorbis: a stereo stream at 44100 Hz and a mono one at 22050 Hz.
sox -q "$work/stereo22.wav" -r 44100 "$work/stereo44.wav" repeat 3
oggenc -Q -q 2 --serial 5 -o vorbis_stereo_44100.ogg "$work/stereo44.wav"
oggenc -Q -q 1 --serial 7 -o vorbis_mono_22050.ogg "$work/voice.wav"

# Ogg Vorbis with a repeat section: 0.5 s of 300 Hz, 0.5 s of 600 Hz, and the
# comments naming frames 22050 to 33075 the loop.
sox -q -n -r 44100 -c 2 -b 16 "$work/intro.wav" synth 0.5 sine 300 vol 0.5
sox -q -n -r 44100 -c 2 -b 16 "$work/section.wav" synth 0.5 sine 600 vol 0.5
sox -q "$work/intro.wav" "$work/section.wav" --comment "LOOPSTART=22050" \
    --comment "LOOPLENGTH=11025" vorbis_loop_stereo_44100.ogg
