#!/usr/bin/env python3
"""Synthesises the short sounds the universal program plays, into assets/sound/.

The sounds are our own: soft sine tones with a raised-cosine fade, 16-bit mono PCM at 22050 Hz.
The output is deterministic, so running this again reproduces the committed files byte for byte:

    python3 tools/make_sounds.py
"""
import math
import pathlib
import struct
import wave

RATE = 22050
VOLUME = 0.35
FADE_SECONDS = 0.008

# Each sound is a list of (frequency in Hz, seconds) notes played one after the other.
SOUNDS = {
    "switch_bn.wav": [(659.25, 0.055), (987.77, 0.075)],   # rising: Bangla on
    "switch_en.wav": [(987.77, 0.055), (659.25, 0.075)],   # falling: English on
    "switch_lang.wav": [(783.99, 0.07)],                    # one tone: the language changed
    "voice_start.wav": [(523.25, 0.06), (659.25, 0.06), (783.99, 0.11)],  # listening starts
}


def note(frequency, seconds):
    count = int(RATE * seconds)
    fade = int(RATE * FADE_SECONDS)
    samples = []
    for i in range(count):
        edge = min(i, count - 1 - i)
        gain = 1.0 if edge >= fade else 0.5 - 0.5 * math.cos(math.pi * edge / fade)
        samples.append(gain * VOLUME * math.sin(2 * math.pi * frequency * i / RATE))
    return samples


def write(path, notes):
    samples = [s for frequency, seconds in notes for s in note(frequency, seconds)]
    frames = b"".join(struct.pack("<h", round(s * 32767)) for s in samples)
    with wave.open(str(path), "wb") as out:
        out.setnchannels(1)
        out.setsampwidth(2)
        out.setframerate(RATE)
        out.writeframes(frames)


def main():
    folder = pathlib.Path(__file__).resolve().parent.parent / "assets" / "sound"
    folder.mkdir(parents=True, exist_ok=True)
    for name, notes in SOUNDS.items():
        write(folder / name, notes)
        print(folder / name)


if __name__ == "__main__":
    main()
