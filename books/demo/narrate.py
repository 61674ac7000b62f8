"""Speaks the demo book with espeak-ng and builds its narration files.

Usage: narrate.py BOOK_JSON WORKDIR DATADIR

Every page's phrases ("say" in the book, or the story's paragraphs on the story page) are
spoken one by one through libespeak-ng, which also reports where each word starts. Each phrase
is cut to its sound and given short silent margins, the phrases of
a page are joined with short pauses, and sox joins the pages with silences between them,
resamples to 44.1 kHz and normalises: DATADIR/<narration>.wav. lame encodes the same audio as
DATADIR/<narration>.mp3 and keeps its info frame, which tells a player the encoder delay.

WORKDIR/timing.json gives, per page, SpeechStart and SpeechEnd (milliseconds, start rounded
down, end rounded up) and the times of its phrases and words relative to SpeechStart, from
which the page scripts are timed. After writing the files the script measures them with sox:
every page's stretch must start and end in silence and the silence between two stretches must
hold no sound, or the build fails. WORKDIR/narration-report.txt keeps the figures.
"""

import array
import ctypes
import json
import math
import os
import re
import subprocess
import sys
import wave

RATE = 22050            # espeak-ng's own sample rate
OUT_RATE = 44100        # rate of the book's narration files
THRESHOLD = 160         # a sample above this (about -46 dBFS) counts as sound
LEAD_MS = 40            # silence put before a phrase's first sound
TAIL_MS = 60            # silence put after its last sound
PAUSE_MS = 420          # between the phrases of a page
GROUP_PAUSE_MS = 600    # between the paragraphs of the story page
GAP_MS = 700            # between two pages
EDGE_MS = 250           # before the first page and after the last

SILENT = 0.01           # largest amplitude (of 1.0) that still counts as silence when measuring
WINDOW_MS = 20          # measuring window at the stretch boundaries


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
    """The phrases the narrator says on a page, and the pause between them."""
    if "story" in page:
        with open(os.path.join(book_dir, page["story"]), encoding="utf-8") as f:
            paragraphs = [p.split("\n") for p in f.read().strip().split("\n\n")]
        return [" ".join(line.strip() for line in p) for p in paragraphs], GROUP_PAUSE_MS
    return page["say"], PAUSE_MS


def speak_page(voice, phrases, pause_ms):
    audio = array.array("h")
    timed = []
    for n, text in enumerate(phrases):
        if n:
            audio.extend([0] * ms_to_samples(pause_ms))
        samples, words = voice.speak(text)
        phrase, first = trim(samples)
        start = len(audio)
        audio.extend(phrase)
        lead = ms_to_samples(LEAD_MS)
        timed.append({"text": text, "start": start, "end": len(audio),
                      "words": [{"text": w, "at": start + lead + max(0, s - first)} for s, w in words]})
    return audio, timed


def write_wav(path, samples):
    with wave.open(path, "wb") as w:
        w.setnchannels(1)
        w.setsampwidth(2)
        w.setframerate(RATE)
        w.writeframes(samples.tobytes())


def max_amplitude(wav, start_ms, length_ms):
    """sox's measure of the loudest sample in a stretch of the book file, 0 to 1."""
    result = subprocess.run(["sox", wav, "-n", "trim", f"{start_ms / 1000:.4f}", f"{length_ms / 1000:.4f}",
                             "stat"], capture_output=True, text=True, check=True)
    found = re.search(r"Maximum amplitude:\s*([-0-9.]+)", result.stderr)
    minimum = re.search(r"Minimum amplitude:\s*([-0-9.]+)", result.stderr)
    return max(abs(float(found.group(1))), abs(float(minimum.group(1))))


def lame_info(mp3):
    """Encoder delay and padding from the LAME info frame, or None when there is none."""
    data = open(mp3, "rb").read(4096)
    for tag in (b"Xing", b"Info"):
        at = data.find(tag)
        if at >= 0:
            lame = data.find(b"LAME", at)
            if lame >= 0:
                b0, b1, b2 = data[lame + 21:lame + 24]
                return (b0 << 4) | (b1 >> 4), ((b1 & 0x0F) << 8) | b2
    return None


def main():
    book_path, workdir, datadir = sys.argv[1:4]
    book_dir = os.path.dirname(os.path.abspath(book_path))
    with open(book_path, encoding="utf-8") as f:
        book = json.load(f)
    pieces = os.path.join(workdir, "narration")
    os.makedirs(pieces, exist_ok=True)
    os.makedirs(datadir, exist_ok=True)
    v = book["voice"]
    voice = Voice(v["name"], v["rate"], v["pitch"])

    def silence(name, ms):
        path = os.path.join(pieces, name)
        write_wav(path, array.array("h", [0] * ms_to_samples(ms)))
        return path, ms_to_samples(ms)

    edge, edge_len = silence("edge.wav", EDGE_MS)
    gap, gap_len = silence("gap.wav", GAP_MS)
    inputs, position, pages = [edge], edge_len, []
    for n, page in enumerate(book["pages"]):
        if n:
            inputs.append(gap)
            position += gap_len
        phrases, pause = page_phrases(page, book_dir)
        audio, timed = speak_page(voice, phrases, pause)
        path = os.path.join(pieces, f"page{page['PageNo']:02d}.wav")
        write_wav(path, audio)
        inputs.append(path)
        start = math.floor(position * 1000 / RATE)
        end = math.ceil((position + len(audio)) * 1000 / RATE)

        def rel(sample):
            return (position + sample) * 1000 / RATE - start

        pages.append({"PageNo": page["PageNo"], "SpeechStart": start, "SpeechEnd": end,
                      "length": rel(len(audio)),
                      "phrases": [{"text": p["text"], "start": rel(p["start"]), "end": rel(p["end"]),
                                   "words": [{"text": w["text"], "at": rel(w["at"])} for w in p["words"]]}
                                  for p in timed]})
        position += len(audio)
    inputs.append(edge)
    position += edge_len

    name = book["narration"]
    wav = os.path.join(datadir, name + ".wav")
    mp3 = os.path.join(datadir, name + ".mp3")
    subprocess.run(["sox", "-R", *inputs, "-D", "-b", "16", wav, "rate", "-v", str(OUT_RATE), "gain", "-n", "-1"], check=True)
    subprocess.run(["lame", "--quiet", "--noreplaygain", "-m", "m", "-b", "64", "-q", "2", wav, mp3], check=True)

    # Measure what was written: the book file's length, and silence round every stretch.
    with wave.open(wav, "rb") as w:
        out_frames = w.getnframes()
    if out_frames != position * OUT_RATE // RATE:
        sys.exit(f"{wav}: {out_frames} samples, expected {position * OUT_RATE // RATE}")
    total_ms = out_frames * 1000 / OUT_RATE
    report = [f"{name}.wav: {out_frames} samples at {OUT_RATE} Hz, {total_ms / 1000:.3f} s",
              f"silence threshold {SILENT} of full scale, boundary windows {WINDOW_MS} ms",
              "page  SpeechStart  SpeechEnd  length   before  at-start  words   at-end  between  gap-to-next"]
    problems = []
    for n, page in enumerate(pages):
        s, e = page["SpeechStart"], page["SpeechEnd"]
        nxt = pages[n + 1]["SpeechStart"] if n + 1 < len(pages) else total_ms
        figures = {
            "before": max_amplitude(wav, max(0, s - WINDOW_MS), min(WINDOW_MS, s)) if s else 0.0,
            "at-start": max_amplitude(wav, s, WINDOW_MS),
            "words": max_amplitude(wav, s, e - s),
            "at-end": max_amplitude(wav, e - WINDOW_MS, WINDOW_MS),
            "gap": max_amplitude(wav, e, nxt - e),
        }
        for key in ("before", "at-start", "at-end", "gap"):
            if figures[key] > SILENT:
                problems.append(f"page {page['PageNo']}: sound {figures[key]:.4f} {key} of its stretch")
        if figures["words"] < 0.3:
            problems.append(f"page {page['PageNo']}: its stretch is too quiet ({figures['words']:.3f})")
        if n + 1 < len(pages) and e >= nxt:
            problems.append(f"page {page['PageNo']}: its stretch runs into the next page's")
        report.append(f"{page['PageNo']:4d}  {s:11d}  {e:9d}  {e - s:6d}   {figures['before']:.4f}  "
                      f"{figures['at-start']:.4f}    {figures['words']:.3f}   {figures['at-end']:.4f}  "
                      f"{figures['gap']:.4f}   {nxt - e:.0f} ms")
    info = lame_info(mp3)
    report.append(f"{name}.mp3: LAME info frame "
                  + (f"encoder delay {info[0]}, padding {info[1]} samples" if info else "missing"))
    if not info:
        problems.append(f"{mp3}: no LAME info frame")
    with open(os.path.join(workdir, "narration-report.txt"), "w", encoding="utf-8") as f:
        f.write("\n".join(report + problems) + "\n")
    if problems:
        sys.exit("\n".join(problems))
    # Written last: the build takes the narration as made only when it has passed the measuring.
    with open(os.path.join(workdir, "timing.json"), "w", encoding="utf-8") as f:
        json.dump({"pages": pages}, f, indent=1)


if __name__ == "__main__":
    main()
