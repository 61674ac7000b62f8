// Animation: the page's clip in AniShow in place of the picture, its repeat half a second after
// each run, and the animation switch.
#pragma once

namespace tavelio {

struct Viewer;

// Starts the current page's clip, or puts the page picture back.
void ShowPageAnimation(Viewer& viewer);
// Flips AniOn and lays the page out again; enables AniBit as its last step.
void ToggleAnimation(Viewer& viewer);
// AniPlay's notification: a play ended, so AniTime counts to the repeat.
void AniPlayNotify(Viewer& viewer);
// AniTime's tick: one repeat, unless the program stopped the clip.
void AniTimeTimer(Viewer& viewer);

} // namespace tavelio
