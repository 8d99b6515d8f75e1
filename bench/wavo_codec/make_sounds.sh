#!/usr/bin/env bash
# Makes the sounds the codec benchmarks decode and play: one minute of a
# chord over soft noise, stereo at 44100 Hz (Opus at 48000), as Ogg Opus
# (128 kbit/s), FLAC, MP3 (VBR quality 2) and WAVE, in the folder named.
# Needs sox and ffmpeg. The benchmarks read the folder from WAVO_BENCH_SOUNDS.
set -euo pipefail
out=${1:?usage: make_sounds.sh FOLDER}
mkdir -p "$out"
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
sox -q -n -r 44100 -c 2 -b 16 "$work/chord.wav" synth 60 sine 220 sine 277 sine 330 vol 0.3
sox -q -n -r 44100 -c 2 -b 16 "$work/noise.wav" synth 60 pinknoise vol 0.05
sox -q -m "$work/chord.wav" "$work/noise.wav" "$work/piece.wav"
ff() { ffmpeg -nostdin -v error -y "$@"; }
ff -i "$work/piece.wav" -c:a libopus -b:a 128k "$out/bench.opus"
ff -i "$work/piece.wav" -c:a flac "$out/bench.flac"
ff -i "$work/piece.wav" -c:a libmp3lame -q:a 2 "$out/bench.mp3"
cp "$work/piece.wav" "$out/bench.wav"
