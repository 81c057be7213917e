#!/usr/bin/env bash
# Generates the demo station's sounds with Debian's ffmpeg and espeak-ng: music-like tones,
# noise, speech, MP3 and WAV (one 8-bit), and a time signal for every full and half hour.
set -euo pipefail
dir=$1
mkdir -p "$dir/音乐" "$dir/报时文件" "$dir/备用节目"
ff() { ffmpeg -nostdin -loglevel error -y "$@"; }

# Chords of sines with a slow swell, as MP3.
chord() { # file seconds f1 f2 f3
    ff -f lavfi -i "aevalsrc=0.2*sin(2*PI*$3*t)+0.15*sin(2*PI*$4*t)+0.1*sin(2*PI*$5*t)*(0.6+0.4*sin(2*PI*0.25*t)):s=44100:d=$2" \
        -ac 2 -codec:a libmp3lame -b:a 128k "$1"
}
chord "$dir/音乐/开始曲.mp3" 20 261.63 329.63 392.00
chord "$dir/音乐/轻音乐一.mp3" 60 220.00 277.18 329.63
chord "$dir/音乐/轻音乐二.mp3" 60 196.00 246.94 293.66
chord "$dir/音乐/午间.mp3" 40 293.66 369.99 440.00
chord "$dir/音乐/结束曲.mp3" 20 174.61 220.00 261.63

# The fallback folder: what fills silence when the schedule has nothing to play.
chord "$dir/备用节目/备用一.mp3" 45 246.94 311.13 369.99
chord "$dir/备用节目/备用二.mp3" 45 207.65 261.63 311.13
chord "$dir/备用节目/备用三.mp3" 45 185.00 233.08 277.18

# Speech (Mandarin voice of espeak-ng), as WAV.
espeak-ng -v cmn -s 150 -w "$dir/音乐/新闻.tmp.wav" "这里是演示电台。现在播报新闻。今天天气晴朗，气温二十度。" 2>/dev/null
ff -i "$dir/音乐/新闻.tmp.wav" -ar 44100 -ac 1 -codec:a pcm_s16le "$dir/音乐/新闻.wav"
rm -f "$dir/音乐/新闻.tmp.wav"

# Pink noise with a tone, as an 8-bit WAV at 22050 Hz.
ff -f lavfi -i "anoisesrc=color=pink:amplitude=0.2:d=15:r=22050" -f lavfi -i "sine=f=880:d=15:r=22050" \
    -filter_complex "amix=inputs=2" -ac 1 -codec:a pcm_u8 "$dir/音乐/广告.wav"

# The time signal: three short pips and a long one.
ff -f lavfi -i "aevalsrc=0.5*sin(2*PI*1000*t)*(lt(mod(t\,1)\,0.1)*lt(t\,3)+between(t\,3\,3.5)):s=22050:d=3.6" \
    -codec:a pcm_s16le "$dir/报时文件/pips.wav"
for h in $(seq -w 0 23); do
    cp "$dir/报时文件/pips.wav" "$dir/报时文件/${h}点整.Wav"
    cp "$dir/报时文件/pips.wav" "$dir/报时文件/${h}点30.Wav"
done
rm -f "$dir/报时文件/pips.wav"
