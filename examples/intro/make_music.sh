#!/usr/bin/env bash
# Generates music/intro.mp3, the example demo's soundtrack: three 8-second sections, one per
# part. Needs sox and lame (apt-get install sox lame); only for regenerating the file.
set -euo pipefail
cd "$(dirname "${BASH_SOURCE[0]}")"
work="$(mktemp -d)"
trap 'rm -rf "$work"' EXIT
# Two voices, one per channel, with a slow pulse and soft edges.
sox -n -r 44100 -b 16 -c 2 "$work/a.wav" synth 8 sine 220 sine 330 tremolo 2 60 fade h 1 8 1 vol 0.5
sox -n -r 44100 -b 16 -c 2 "$work/b.wav" synth 8 triangle 196 triangle 294 tremolo 4 50 fade h 0.5 8 0.5 vol 0.5
sox -n -r 44100 -b 16 -c 2 "$work/c.wav" synth 8 sawtooth 262 sine 392 lowpass 1200 tremolo 8 70 fade h 0.5 8 2 vol 0.5
sox "$work/a.wav" "$work/b.wav" "$work/c.wav" "$work/intro.wav"
lame --quiet -b 80 --resample 44.1 "$work/intro.wav" music/intro.mp3
