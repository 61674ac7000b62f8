// Narration: the book's narration file in TextSpeachPlay, a stretch of it per page, and the
// narration switch. Failures of the player raise through to the event's dispatcher.
#pragma once

namespace tavelio {

struct Viewer;

// Stops whichever player plays, setting MediaStoppedFlag for each one it stops.
void StopAllMedia(Viewer& viewer);
// Opens the narration file of the current record's book, when narration is on.
void OpenSpeechFile(Viewer& viewer);
// Plays the current page's stretch, when narration is on.
void PlayPageSpeech(Viewer& viewer);
// The narrator's words in writing (VoicePrompt) and their heading: on the answers page always,
// headed "Answers:"; on any other page headed "Voice Says:" while narration is off, when the
// page has words of the narrator. The one place that decides it, for the page frame and for the
// narration switch.
void ShowNarratorsWords(Viewer& viewer);
// Flips SoundOn and brings the page into line; enables NarrationBit as its last step.
void ToggleNarration(Viewer& viewer);

} // namespace tavelio
