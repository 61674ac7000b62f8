// Animation: the page's clip in AniShow in place of the picture, its repeat half a second after
// each run, and the animation switch.
#pragma once

namespace tavelio {

struct Viewer;

// Starts the current page's clip, or puts the page picture back.
void ShowPageAnimation(Viewer& viewer);
// Starts opening the clip of the record after the current one, the page that Next shows, while
// this page is read, so that turning to it does not wait for its clip to open. Does nothing when
// that page has no clip or animations are off.
void OpenNextClipAhead(Viewer& viewer);
// Flips AniOn and lays the page out again; enables AniBit as its last step.
void ToggleAnimation(Viewer& viewer);
// AniPlay's notification: a play ended, so AniTime counts to the repeat.
void AniPlayNotify(Viewer& viewer);
// AniTime's tick: one repeat, unless the program stopped the clip.
void AniTimeTimer(Viewer& viewer);

} // namespace tavelio
