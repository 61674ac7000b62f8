#include "viewer/narration.h"

#include "content/data_file_names.h"
#include "content/media_path.h"
#include "content/page_rules.h"
#include "content/tilde_lines.h"
#include "viewer/page_layout.h"
#include "viewer/page_picture.h"
#include "viewer/page_script.h"
#include "viewer/view_book.h"
#include "viewer/viewer.h"

namespace tavelio {
namespace {

// Stops player if it plays, telling the animation's repeat loop that the program stopped it.
void StopIfPlaying(Viewer& viewer, TMediaPlayer& player) {
    if (player.Mode() == TMediaPlayer::kPlaying) {
        viewer.MediaStoppedFlag = true;
        player.Stop();
    }
}

void SwitchNarrationOff(Viewer& viewer) {
    TViewBook& view = viewer.view;
    viewer.settings.SoundOn = false;
    view.NarrationBit->SetLayout(ButtonLayout::blGlyphRight);
    ShowNarratorsWords(viewer);
    viewer.AniWasPlaying = view.AniPlay->Mode() == TMediaPlayer::kPlaying;
    StopAllMedia(viewer);
    // Only the narration goes: the clip goes on from the frame where it was stopped.
    if (viewer.AniWasPlaying) {
        view.AniPlay->Play();
    }
    view.TextSpeachPlay->Close();
}

void SwitchNarrationOn(Viewer& viewer) {
    TViewBook& view = viewer.view;
    viewer.settings.SoundOn = true;
    view.NarrationBit->SetLayout(ButtonLayout::blGlyphLeft);
    ShowNarratorsWords(viewer);
    // The page starts again from its beginning: script and narration together.
    OpenSpeechFile(viewer);
    StartPageScript(viewer);
    PlayPageSpeech(viewer);
}

} // namespace

void ShowNarratorsWords(Viewer& viewer) {
    TViewBook& view = viewer.view;
    const QVDBType& page = viewer.Current();
    const bool answers = RoleOfPage(page.PageNo, viewer.cursor.StoryPage) == PageRole::Answers;
    const bool inWriting = !answers && !viewer.settings.SoundOn && HasPrompt(page);
    view.VoicePrompt->SetVisible(answers || inWriting);
    view.VoiceOnly->SetVisible(inWriting);
    view.AnswersLabel->SetVisible(answers);
}

void StopAllMedia(Viewer& viewer) {
    StopIfPlaying(viewer, *viewer.view.TextSpeachPlay);
    StopIfPlaying(viewer, *viewer.view.AniPlay);
}

void OpenSpeechFile(Viewer& viewer) {
    const Settings& settings = viewer.settings;
    const std::string fileName = NarrationFileName(viewer.Current().BookNo, settings.UseMP3);
    if (!settings.SoundOn) {
        return;
    }
    TMediaPlayer& player = *viewer.view.TextSpeachPlay;
    player.SetFileName(
        MediaPath(settings.FromPath, settings.FullInstall, settings.SoundInst, fileName));
    player.Open();
}

void PlayPageSpeech(Viewer& viewer) {
    if (!viewer.settings.SoundOn) {
        return;
    }
    const QVDBType& page = viewer.Current();
    TMediaPlayer& player = *viewer.view.TextSpeachPlay;
    player.SetStartPosition(page.SpeechStart);
    player.SetEndPosition(page.SpeechEnd);
    player.Play();
}

void ToggleNarration(Viewer& viewer) {
    const QVDBType& page = viewer.Current();
    if (RoleOfPage(page.PageNo, viewer.cursor.StoryPage) == PageRole::Story) {
        // Undo what a read-through did to the story page's lines and picture.
        viewer.view.Text->SetLines(SplitTildeLines(page.PageText));
        ShowTextLines(viewer);
        ShowPagePicture(viewer, viewer.cursor.CurPage);
    }
    ResetScript(viewer);
    if (viewer.settings.SoundOn) {
        SwitchNarrationOff(viewer);
    } else {
        SwitchNarrationOn(viewer);
    }
    viewer.view.NarrationBit->SetEnabled(true);
}

} // namespace tavelio
