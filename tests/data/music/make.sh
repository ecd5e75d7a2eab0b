#!/usr/bin/env bash
# Generates the music test files. Needs sox and lame; only for regenerating them.
#   tone-22k-mono.mp3  1 s of 440 Hz, 22050 Hz mono: decoding must resample and widen it
#   not-music.mp3      text with an .mp3 name: decoding must refuse it
set -euo pipefail
cd "$(dirname "${BASH_SOURCE[0]}")"
work="$(mktemp -d)"
trap 'rm -rf "$work"' EXIT
sox -n -r 22050 -b 16 -c 1 "$work/tone.wav" synth 1 sine 440 vol 0.5
lame --quiet -b 32 "$work/tone.wav" tone-22k-mono.mp3
printf 'This is not an MP3 file, whatever its name says.\n%.0s' {1..40} > not-music.mp3
