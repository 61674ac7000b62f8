#include "viewer/animation.h"

#include "content/media_path.h"
#include "content/page_rules.h"
#include "viewer/page_layout.h"
#include "viewer/view_book.h"
#include "viewer/viewer.h"

namespace tavelio {
namespace {

void ShowClip(Viewer& viewer, const QVDBType& page) {
    TViewBook& view = viewer.view;
    const Settings& settings = viewer.settings;
    view.BackGround->SetVisible(false);
    view.AniShow->SetVisible(true);
    view.AniShow->SetHeight(page.MediaHeight);
    view.AniShow->SetWidth(page.MediaWidth);
    // Until this clip has opened, the window is empty and disabled, whatever the previous page
    // left in it: a clip that fails to open leaves no frame of another page's clip behind.
    // Open closes the previous clip itself.
    view.AniShow->SetEnabled(false);
    view.AniShow->ClearFrame();
    view.AniPlay->SetFileName(
        MediaPath(settings.FromPath, settings.FullInstall, settings.AniInst, page.AniFile));
    view.AniPlay->Open();
    view.AniShow->SetEnabled(true);
    // Done whatever the page kind; ArrangePageFrame decides whether the lines show.
    if (page.MediaHeight > kFramedPictureHeight) {
        PutRuledLinesUnder(viewer, page.MediaHeight);
    } else {
        PutRuledLinesHome(viewer);
    }
    view.AniPlay->Play();
    viewer.MediaStoppedFlag = false;
}

void ShowPictureInstead(Viewer& viewer, const QVDBType& page) {
    TViewBook& view = viewer.view;
    if (view.AniPlay->Mode() == TMediaPlayer::kPlaying) {
        viewer.MediaStoppedFlag = true;
        view.AniPlay->Stop();
    }
    view.AniShow->SetVisible(false);
    view.AniShow->SetEnabled(false);
    view.BackGround->SetVisible(true);
    // The clip stays open in AniPlay until the next Open; lines of other kinds stay put.
    if (RuledLineCount(page.PageKind) > 0) {
        PutRuledLinesHome(viewer);
    }
}

bool ShowsClip(const QVDBType& page, const Settings& settings) {
    return HasClip(page) && settings.AniOn;
}

} // namespace

void ShowPageAnimation(Viewer& viewer) {
    const QVDBType& page = viewer.Current();
    if (ShowsClip(page, viewer.settings)) {
        ShowClip(viewer, page);
    } else {
        ShowPictureInstead(viewer, page);
    }
}

void OpenNextClipAhead(Viewer& viewer) {
    const QVDBType& next = viewer.pages.At(SlotAfter(viewer.cursor.CurPage));
    const Settings& settings = viewer.settings;
    if (ShowsClip(next, settings)) {
        viewer.view.AniPlay->OpenAhead(
            MediaPath(settings.FromPath, settings.FullInstall, settings.AniInst, next.AniFile));
    }
}

void ToggleAnimation(Viewer& viewer) {
    Settings& settings = viewer.settings;
    settings.AniOn = !settings.AniOn;
    viewer.view.AniBit->SetLayout(settings.AniOn ? ButtonLayout::blGlyphLeft
                                                 : ButtonLayout::blGlyphRight);
    // The page is laid out again for the new setting; narration and script run on.
    ArrangePageFrame(viewer);
    ShowPageAnimation(viewer);
    PlacePageMedia(viewer);
    viewer.view.AniBit->SetEnabled(true);
}

void AniPlayNotify(Viewer& viewer) {
    // An AniTime already counting keeps its countdown: one repeat per rest.
    viewer.view.AniTime->SetEnabled(true);
}

void AniTimeTimer(Viewer& viewer) {
    TViewBook& view = viewer.view;
    if (viewer.MediaStoppedFlag) {
        viewer.MediaStoppedFlag = false;
    } else if (viewer.settings.AniOn && view.AniShow->OwnVisible() &&
               view.AniPlay->Mode() == TMediaPlayer::kStopped) {
        // A repeat is due only for a clip that is on screen and at rest. Without the first
        // condition a clip that rested when its page was left would go on repeating unseen on
        // every page after it, and at the launch pad; without the second, a repeat falling due
        // while the next page's clip plays would cut in on that clip, and its notification
        // would bring another repeat half a second later, for as long as the clip plays.
        view.AniPlay->Play();
    }
    view.AniTime->SetEnabled(false);
}

} // namespace tavelio
