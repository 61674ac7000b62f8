// Navigation: from page to page, to the cover, to the next book and back to the launch pad; the
// viewer's activation, keys and button handlers.
#pragma once

namespace tavelio {

struct Viewer;

// ArrangePageFrame, ShowPageAnimation, PlacePageMedia, StartPageScript, PlayPageSpeech; once the
// handler has returned, PrepareNextPage.
void PresentPage(Viewer& viewer);
// While the viewer shows a page other than a book's last: DrawNextPictureAhead and
// OpenNextClipAhead for the page after it.
void PrepareNextPage(Viewer& viewer);
// Leaves the viewer for the launch pad in its level view. CoverTimed is left as it is.
void ReturnToLaunchPad(Viewer& viewer);
// Escape, R and RestartBit: stops CoverTimed, so that no page follows, then ReturnToLaunchPad.
void RestartToLaunchPad(Viewer& viewer);
void GoToCover(Viewer& viewer);
void GoToPreviousPage(Viewer& viewer);
void GoToNextPage(Viewer& viewer);
void GoToNextBook(Viewer& viewer);
// CoverTimed fired: leave the cover for page 1.
void CoverTimedTimer(Viewer& viewer);

// The viewer's activation, its keys (virtual-key codes) and typed characters.
void ViewerActivate(Viewer& viewer);
void ViewerKeyDown(Viewer& viewer, int virtualKey);
void ViewerKeyPress(Viewer& viewer, char character);

} // namespace tavelio
