"""Reads the kite book aloud with festival's US English HTS voice, as one recording, and keeps
the voice's own times of every phrase and word.

Usage: record.py BOOK_JSON RECORDING TRUTH_JSON

The book's recording is made once by hand and kept beside the book, so that building the book
needs no festival; after changing what a page says, make it again (festival and festvox-us-slt-hts
are among the test packages of scripts/setup) from the top of the repository:

    /usr/bin/python3 books/kite/record.py books/kite/book.json \
        books/kite/recording.ogg books/kite/truth.json

Every page's phrases ("say" in the book, else its text lines; the story's paragraphs on the
story page) are spoken one by one by festival, which also says where each word starts and ends.
Each phrase is slowed a little for young listeners (sox tempo, which keeps the pitch), and the
phrases are joined with PAUSE_MS of silence and the pages with GAP_MS, and soft room noise lies
under it all, as under any microphone's recording: the book read in one go, as a teacher would
read it, in a voice unlike the aligner's espeak-ng one. RECORDING is Ogg
Vorbis; TRUTH_JSON holds, per page, every phrase's first and last sound and the moment each word
starts, in milliseconds in the recording, for the tests to hold the made book against.
"""

import json
import os
import subprocess
import sys
import tempfile
import wave

VOICE = "voice_cmu_us_slt_arctic_hts"
TEMPO = 0.9          # the voice's own pace, slowed for children learning to read
PAUSE_MS = 400       # between the phrases of a page
GAP_MS = 800         # between two pages
EDGE_MS = 300        # before the first page and after the last
RATE = 22050         # plenty for a voice, and keeps the recording small
QUALITY = 2          # Vorbis quality: clean speech at about 30 kbit/s
ROOM_NOISE = 0.03    # pink noise at this share of full scale, some 25 dB under the voice

# Says each phrase into its own WAV file and prints its words' start and end in seconds: a word
# starts where the segment before its first sound ends (the silence before the phrase, or the
# previous word).
SCHEME = """(%s)
(define (say str file)
  (set! utt (eval (list 'Utterance 'Text str)))
  (utt.synth utt)
  (utt.save.wave utt file 'riff)
  (mapcar (lambda (w) (format t "W %%f %%f %%s\\n"
    (item.feat w "R:SylStructure.daughter1.daughter1.R:Segment.p.end")
    (item.feat w "word_end") (item.name w))) (utt.relation.items utt 'Word))
  (format t "E\\n"))
"""


def scheme_string(text):
    return '"' + text.replace("\\", "\\\\").replace('"', '\\"') + '"'


def page_phrases(page, book_dir):
    """What the narrator says on a page, phrase by phrase, as make reads it."""
    if "story" in page:
        with open(os.path.join(book_dir, page["story"]), encoding="utf-8") as f:
            paragraphs = [p.split("\n") for p in f.read().strip().split("\n\n")]
        return [" ".join(line.strip() for line in p) for p in paragraphs]
    return page.get("say") or [line for line in page["text"] if line.strip()]


def speak(phrases, folder):
    """Festival says every phrase: the WAV files and, per phrase, its words (text, start, end) in ms."""
    script = SCHEME % VOICE + "".join(
        f'(say {scheme_string(text)} "{folder}/said{i}.wav")\n' for i, text in enumerate(phrases))
    with open(os.path.join(folder, "say.scm"), "w", encoding="utf-8") as f:
        f.write(script)
    output = subprocess.run(["festival", "-b", os.path.join(folder, "say.scm")], check=True,
                            capture_output=True, text=True).stdout
    words = [[]]
    for line in output.splitlines():
        if line.startswith("W "):
            _, start, end, name = line.split(maxsplit=3)
            words[-1].append((name, float(start) * 1000, float(end) * 1000))
        elif line == "E":
            words.append([])
    words.pop()
    if len(words) != len(phrases):
        sys.exit(f"festival said {len(words)} of {len(phrases)} phrases")
    return [os.path.join(folder, f"said{i}.wav") for i in range(len(phrases))], words


def slowed(path):
    """The phrase at TEMPO and RATE; its times stretch by 1 / TEMPO."""
    out = path[:-4] + "-slow.wav"
    subprocess.run(["sox", path, "-r", str(RATE), out, "tempo", "-s", str(TEMPO)], check=True)
    return out


def samples_of(path):
    with wave.open(path, "rb") as w:
        return w.readframes(w.getnframes())


def silence(ms):
    return bytes(2 * round(ms * RATE / 1000))


def main():
    book_path, recording_path, truth_path = sys.argv[1:4]
    book_dir = os.path.dirname(os.path.abspath(book_path))
    with open(book_path, encoding="utf-8") as f:
        book = json.load(f)
    pages = [(page["PageNo"], page_phrases(page, book_dir)) for page in book["pages"]]
    flat = [text for _, phrases in pages for text in phrases]

    with tempfile.TemporaryDirectory() as folder:
        files, words = speak(flat, folder)
        audio = bytearray(silence(EDGE_MS))
        truth, index = [], 0
        for n, (page_no, phrases) in enumerate(pages):
            if n:
                audio += silence(GAP_MS)
            timed = []
            for i, text in enumerate(phrases):
                if i:
                    audio += silence(PAUSE_MS)
                at = len(audio) / 2 * 1000 / RATE
                audio += samples_of(slowed(files[index]))
                said = [(word, at + start / TEMPO, at + end / TEMPO) for word, start, end in words[index]]
                timed.append({"text": text, "start": round(said[0][1], 1), "end": round(said[-1][2], 1),
                              "words": [{"text": word, "at": round(start, 1)} for word, start, _ in said]})
                index += 1
            truth.append({"PageNo": page_no, "phrases": timed})
        audio += silence(EDGE_MS)

        whole = os.path.join(folder, "book.wav")
        with wave.open(whole, "wb") as w:
            w.setnchannels(1)
            w.setsampwidth(2)
            w.setframerate(RATE)
            w.writeframes(bytes(audio))
        # -R: the same noise every time, so that a rerun changes only what the text changed.
        noise = os.path.join(folder, "noise.wav")
        subprocess.run(["sox", "-R", "-n", "-r", str(RATE), "-c", "1", "-b", "16", noise, "synth",
                        str(len(audio) / 2 / RATE), "pinknoise", "vol", str(ROOM_NOISE)], check=True)
        subprocess.run(["sox", "-m", whole, noise, "-C", str(QUALITY), recording_path], check=True)
    with open(truth_path, "w", encoding="utf-8") as f:
        json.dump({"pages": truth}, f, indent=1)


if __name__ == "__main__":
    main()
