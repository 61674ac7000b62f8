// The page script: read-through, rhymes and the pointer arrow, run one step per timer tick.
// At most one of the timers ReadBook, ShowRhyme and Arrows is enabled at any time.
#pragma once

namespace tavelio {

struct Viewer;

// Stops whatever script runs and starts the current page's.
void StartPageScript(Viewer& viewer);
// The tick handlers of ReadBook, ShowRhyme and Arrows.
void ReadBookTimer(Viewer& viewer);
void ShowRhymeTimer(Viewer& viewer);
void ArrowsTimer(Viewer& viewer);
// Hides the rhyme words and the arrow and stops the three script timers.
void ResetScript(Viewer& viewer);

} // namespace tavelio
