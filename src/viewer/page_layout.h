// Page composition: the cursor moves, the loading of the current record into the viewer's
// controls, and the layout of a page by its role and kind. None of these reports an error of its
// own; LoadPage's picture step raises what the picture reader raises (page_picture.h).
#pragma once

#include <cstdint>

namespace tavelio {

struct Viewer;

// Cursor moves in 8-bit arithmetic on CurPage, each followed by one LoadPage:
// NextRecord 224 -> 1; PrevRecord 1 -> 224; MoveRecord(delta) adds delta modulo 256, and a
// result of 0 becomes 224. A MoveRecord result above 224 wraps into the table too, so the cursor
// never leaves slots 1 to 224.
void NextRecord(Viewer& viewer);
// The slot NextRecord moves to from slot.
std::uint8_t SlotAfter(std::uint8_t slot);
void PrevRecord(Viewer& viewer);
void MoveRecord(Viewer& viewer, std::int8_t delta);

// The current record into the diagnostic fields, the four memos, the ruled text lines and the
// page picture.
void LoadPage(Viewer& viewer);
// Text1..Text3 from the lines the Text memo holds now, or the Text memo itself, by PageKind.
void ShowTextLines(Viewer& viewer);
// The role- and kind-dependent frame: scroll bar, narrator's text, ruled lines, picture or text
// layout.
void ArrangePageFrame(Viewer& viewer);
// The picture's size and the page buttons' places.
void PlacePageMedia(Viewer& viewer);

// The named position sets.
void PutRuledLinesHome(Viewer& viewer);
// Text lines and rules under a picture or clip of the given height (home positions for 225).
void PutRuledLinesUnder(Viewer& viewer, int mediaHeight);
void ApplyCoverLayout(Viewer& viewer); // BackGround 88, 25, 493 x 432, shown
void ApplyPageFrame(Viewer& viewer);   // BackGround 225, 25, 315 x 225

} // namespace tavelio
