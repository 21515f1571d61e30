"""Notification chime: two soft bell tones a fifth apart, rising.

16-bit PCM mono at 44.1 kHz. Each note has a short raised-cosine attack and
an exponential decay, upper partials dying faster as on a struck bar; a
final half-cosine fade takes the tail to exactly zero so playback never
ends on a click. The peak is scaled to PEAK_DBFS.
"""

import math
import os
import struct
import wave

import common

RATE = 44100
LENGTH_S = 0.55
PEAK_DBFS = -12.0
ATTACK_S = 0.006
FADE_S = 0.06

# (start s, frequency Hz, decay time constant s, level): G5 then D6.
NOTES = ((0.0, 783.99, 0.11, 0.85), (0.13, 1174.66, 0.15, 1.0))
# (frequency ratio, relative level, decay divisor) of each partial.
PARTIALS = ((1.0, 1.0, 1.0), (2.0, 0.16, 2.0), (3.0, 0.05, 3.0))


def envelope(t, tau):
    """Amplitude 0..1 of a note t seconds after its start."""
    if t < 0:
        return 0.0
    attack = 0.5 - 0.5 * math.cos(math.pi * t / ATTACK_S) if t < ATTACK_S else 1.0
    return attack * math.exp(-t / tau)


def samples():
    """The chime as floats, peak 1.0."""
    n = int(round(LENGTH_S * RATE))
    out = []
    for i in range(n):
        t = i / RATE
        v = 0.0
        for start, freq, tau, level in NOTES:
            dt = t - start
            if dt < 0:
                continue
            for ratio, rel, div in PARTIALS:
                v += (level * rel * envelope(dt, tau / div)
                      * math.sin(2 * math.pi * freq * ratio * dt))
        out.append(v)
    fade = int(round(FADE_S * RATE))
    for k in range(fade):
        out[n - fade + k] *= 0.5 + 0.5 * math.cos(math.pi * (k + 1) / fade)
    peak = max(abs(v) for v in out)
    return [v / peak for v in out]


def make():
    gain = 32767 * 10 ** (PEAK_DBFS / 20)
    data = b"".join(struct.pack("<h", int(round(v * gain))) for v in samples())
    os.makedirs(common.SOUNDS, exist_ok=True)
    with wave.open(os.path.join(common.SOUNDS, "notify.wav"), "wb") as w:
        w.setnchannels(1)
        w.setsampwidth(2)
        w.setframerate(RATE)
        w.writeframes(data)


if __name__ == "__main__":
    make()
