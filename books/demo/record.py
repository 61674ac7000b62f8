"""Reads the demo book aloud with espeak-ng, as one recording, and says when each word is said.

Usage: record.py BOOK_JSON RECORDING TRUTH_JSON

Every page's phrases ("say" in the book, or the story's paragraphs on the story page) are spoken
one by one through libespeak-ng, which also reports where each word starts. Each phrase is cut to
its sound between short silent margins, the phrases of a page are joined with short pauses and
the pages with longer ones: RECORDING, a WAV file at espeak-ng's own 22050 Hz, is the book read in
one go, as an author would record it. tavelio-book make then times the book from the recording
alone. TRUTH_JSON keeps what the synthesiser knows, per page the start and end of every phrase's
sound and the moment each word starts (milliseconds in the recording), against which the tests
measure the made book.
"""

import array
import ctypes
import json
import os
import sys
import wave

RATE = 22050            # espeak-ng's own sample rate
VOICE, SPEED, PITCH = "en-us", 130, 52  # a calm reading voice for young children
THRESHOLD = 160         # a sample above this (about -46 dBFS) counts as sound
LEAD_MS = 40            # silence put before a phrase's first sound
TAIL_MS = 60            # silence put after its last sound
PAUSE_MS = 420          # between the phrases of a page
GROUP_PAUSE_MS = 600    # between the paragraphs of the story page
GAP_MS = 700            # between two pages
EDGE_MS = 250           # before the first page and after the last


class Voice:
    """libespeak-ng in synchronous mode: text in, samples and word start positions out."""

    class _Event(ctypes.Structure):
        _fields_ = [("type", ctypes.c_int), ("unique_identifier", ctypes.c_uint),
                    ("text_position", ctypes.c_int), ("length", ctypes.c_int),
                    ("audio_position", ctypes.c_int), ("sample", ctypes.c_int),
                    ("user_data", ctypes.c_void_p), ("id", ctypes.c_char * 8)]

    _CALLBACK = ctypes.CFUNCTYPE(ctypes.c_int, ctypes.POINTER(ctypes.c_short), ctypes.c_int,
                                 ctypes.POINTER(_Event))
    _WORD, _LIST_TERMINATED = 1, 0
    _RATE_PARAM, _PITCH_PARAM = 1, 3

    def __init__(self, name, rate, pitch):
        self._lib = ctypes.CDLL("libespeak-ng.so.1")
        self._lib.espeak_Synth.argtypes = [ctypes.c_char_p, ctypes.c_size_t, ctypes.c_uint, ctypes.c_int,
                                           ctypes.c_uint, ctypes.c_uint, ctypes.c_void_p, ctypes.c_void_p]
        if self._lib.espeak_Initialize(2, 0, None, 0) != RATE:  # 2: synchronous, no audio device
            sys.exit("espeak-ng did not start at 22050 Hz")
        self._callback = self._CALLBACK(self._collect)
        self._lib.espeak_SetSynthCallback(self._callback)
        if self._lib.espeak_SetVoiceByName(name.encode()) != 0:
            sys.exit(f"espeak-ng has no voice {name}")
        self._lib.espeak_SetParameter(self._RATE_PARAM, rate, 0)
        self._lib.espeak_SetParameter(self._PITCH_PARAM, pitch, 0)

    def _collect(self, wav, count, events):
        if wav and count > 0:
            self._samples.extend(wav[:count])
        i = 0
        while events[i].type != self._LIST_TERMINATED:
            e = events[i]
            if e.type == self._WORD:
                word = self._text[e.text_position - 1:e.text_position - 1 + e.length]
                if any(c.isalnum() for c in word):  # pauses at punctuation come as empty words
                    self._words.append((e.sample, word))
            i += 1
        return 0

    def speak(self, text):
        self._samples, self._words, self._text = array.array("h"), [], text
        data = text.encode("utf-8")
        if self._lib.espeak_Synth(data, len(data) + 1, 0, 1, 0, 0, None, None) != 0:
            sys.exit(f"espeak-ng could not speak {text!r}")
        return self._samples, self._words


def ms_to_samples(ms):
    return round(ms * RATE / 1000)


def trim(samples):
    """The phrase's sound (first to last sample above the threshold) between silent margins.

    The library ends a phrase at its last sound and starts it at once, so the margins are added
    as silence rather than taken from its output. Returns the audio and the index in samples of
    the first sound, to place the word positions that espeak reports.
    """
    loud = [i for i, s in enumerate(samples) if abs(s) > THRESHOLD]
    if not loud:
        sys.exit("espeak-ng produced no sound")
    audio = array.array("h", [0] * ms_to_samples(LEAD_MS))
    audio.extend(samples[loud[0]:loud[-1] + 1])
    audio.extend([0] * ms_to_samples(TAIL_MS))
    return audio, loud[0]


def page_phrases(page, book_dir):
    """The phrases the narrator says on a page, and the pause after each of them."""
    if "story" in page:
        with open(os.path.join(book_dir, page["story"]), encoding="utf-8") as f:
            paragraphs = [p.split("\n") for p in f.read().strip().split("\n\n")]
        return [" ".join(line.strip() for line in p) for p in paragraphs], GROUP_PAUSE_MS
    return page.get("say") or [line for line in page["text"] if line.strip()], PAUSE_MS


def to_ms(samples):
    return samples * 1000 / RATE


def main():
    book_path, recording_path, truth_path = sys.argv[1:4]
    book_dir = os.path.dirname(os.path.abspath(book_path))
    with open(book_path, encoding="utf-8") as f:
        book = json.load(f)
    voice = Voice(VOICE, SPEED, PITCH)
    audio = array.array("h", [0] * ms_to_samples(EDGE_MS))
    pages = []
    for n, page in enumerate(book["pages"]):
        if n:
            audio.extend([0] * ms_to_samples(GAP_MS))
        phrases, pause = page_phrases(page, book_dir)
        timed = []
        for i, text in enumerate(phrases):
            if i:
                audio.extend([0] * ms_to_samples(pause))
            samples, words = voice.speak(text)
            phrase, first = trim(samples)
            start = len(audio)
            audio.extend(phrase)
            lead = ms_to_samples(LEAD_MS)
            timed.append({"text": text, "start": to_ms(start + lead), "end": to_ms(len(audio) - ms_to_samples(TAIL_MS)),
                          "words": [{"text": w, "at": to_ms(start + lead + max(0, s - first))} for s, w in words]})
        pages.append({"PageNo": page["PageNo"], "phrases": timed})
    audio.extend([0] * ms_to_samples(EDGE_MS))

    part = recording_path + ".part"  # the build takes the recording as made only when it is whole
    with wave.open(part, "wb") as w:
        w.setnchannels(1)
        w.setsampwidth(2)
        w.setframerate(RATE)
        w.writeframes(audio.tobytes())
    with open(truth_path, "w", encoding="utf-8") as f:
        json.dump({"pages": pages}, f, indent=1)
    os.replace(part, recording_path)


if __name__ == "__main__":
    main()
