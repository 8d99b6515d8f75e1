#!/usr/bin/env bash
# Makes the sound files of the kinds FFmpeg decodes for the sound engine: Ogg
# Opus, FLAC, MP3, and WAVE with a LIST chunk. Needs sox and ffmpeg (with
# libopus and libmp3lame); the tests themselves need neither. Every file is
# small.
#
#   media_tone_*   one second (the WAVE a quarter): 440 Hz on the left,
#                  660 Hz on the right, each a sine at half of full scale
#   media_loop_*   0.5 s of 300 Hz, then 0.5 s of 600 Hz (half scale, both
#                  channels), tagged LOOPSTART at the start of the 600 Hz part
#                  and LOOPLENGTH a quarter second, as vorbis_loop_* is
set -euo pipefail
cd "$(dirname "$0")"
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT

tone() {  # rate, file
    sox -q -n -r "$1" -c 1 -b 16 "$work/left.wav" synth 1 sine 440 vol 0.5
    sox -q -n -r "$1" -c 1 -b 16 "$work/right.wav" synth 1 sine 660 vol 0.5
    sox -q -M "$work/left.wav" "$work/right.wav" "$2"
}
loop() {  # rate, file
    sox -q -n -r "$1" -c 2 -b 16 "$work/intro.wav" synth 0.5 sine 300 vol 0.5
    sox -q -n -r "$1" -c 2 -b 16 "$work/section.wav" synth 0.5 sine 600 vol 0.5
    sox -q "$work/intro.wav" "$work/section.wav" "$2"
}
ff() { ffmpeg -nostdin -v error -y "$@"; }

tone 48000 "$work/tone48.wav"
tone 44100 "$work/tone44.wav"
loop 48000 "$work/loop48.wav"
loop 44100 "$work/loop44.wav"

ff -i "$work/tone48.wav" -c:a libopus -b:a 64k media_tone_stereo_48000.opus
ff -i "$work/tone44.wav" -c:a flac media_tone_stereo_44100.flac
ff -i "$work/tone44.wav" -c:a libmp3lame -q:a 2 media_tone_stereo_44100.mp3
# A title makes the WAVE muxer write a LIST chunk before the data, which the
# plain WAVE decoder refuses.
ff -i "$work/tone44.wav" -t 0.25 -metadata title=Tone -c:a pcm_s16le media_tone_stereo_44100.wav

tags() { echo -metadata LOOPSTART="$1" -metadata LOOPLENGTH="$2"; }
ff -i "$work/loop48.wav" -c:a libopus -b:a 64k $(tags 24000 12000) media_loop_stereo_48000.opus
ff -i "$work/loop44.wav" -c:a flac $(tags 22050 11025) media_loop_stereo_44100.flac
ff -i "$work/loop44.wav" -c:a libmp3lame -q:a 2 $(tags 22050 11025) media_loop_stereo_44100.mp3
