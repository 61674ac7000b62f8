#include "viewer/page_script.h"

#include "content/page_script_grammar.h"
#include "viewer/page_layout.h"
#include "viewer/page_picture.h"
#include "viewer/view_book.h"
#include "viewer/viewer.h"

#include <algorithm>

namespace tavelio {
namespace {

// The script of the page on screen, as LoadPage put it into ScriptStrings.
ScriptLines PageScriptLines(const Viewer& viewer) {
    return ScriptLines(viewer.view.ScriptStrings->Lines());
}

void StopScriptTimers(TViewBook& view) {
    view.ReadBook->SetEnabled(false);
    view.ShowRhyme->SetEnabled(false);
    view.Arrows->SetEnabled(false);
}

// Starts the read-through block at line base on ReadBook.
void StartReadThrough(Viewer& viewer, std::int32_t base) {
    viewer.script.ReadBase = base;
    viewer.script.ReadLine = ReadThroughDelayLine(base, 0);
    viewer.view.ReadBook->SetInterval(PageScriptLines(viewer).Number(viewer.script.ReadLine));
    viewer.view.ReadBook->SetEnabled(true);
}

// Starts the rhyme block at line base on ShowRhyme; ShowRhymeTimer finds the block at ScriptLine.
void StartRhymes(Viewer& viewer, std::int32_t base) {
    viewer.script.ScriptLine = base;
    viewer.view.ShowRhyme->SetInterval(PageScriptLines(viewer).Number(RhymeDelayLine(base)));
    viewer.view.ShowRhyme->SetEnabled(true);
}

void EndArrows(TViewBook& view) {
    view.Arrows->SetEnabled(false);
    view.UpArrow->SetVisible(false);
}

// Moves the first line of the Text memo to its end, times times.
void RotateTextLines(TViewBook& view, int times) {
    std::vector<std::string> lines = view.Text->Lines();
    if (times <= 0 || lines.empty()) {
        return;
    }
    const auto shift = static_cast<std::ptrdiff_t>(static_cast<std::size_t>(times) % lines.size());
    std::rotate(lines.begin(), lines.begin() + shift, lines.end());
    view.Text->SetLines(lines);
}

} // namespace

void ResetScript(Viewer& viewer) {
    TViewBook& view = viewer.view;
    view.Rhyme1->SetVisible(false);
    view.Rhyme2->SetVisible(false);
    view.Rhyme3->SetVisible(false);
    view.UpArrow->SetVisible(false);
    StopScriptTimers(view);
}

void StartPageScript(Viewer& viewer) {
    TViewBook& view = viewer.view;
    view.UpArrow->SetVisible(false);
    StopScriptTimers(view);
    viewer.script.ScriptLine = 0;
    const std::optional<ScriptMode> mode = ModeOfScript(PageScriptLines(viewer));
    if (!mode) {
        return;
    }
    switch (*mode) {
    case ScriptMode::ReadThrough:
        StartReadThrough(viewer, kModeLine);
        break;
    case ScriptMode::Rhymes:
        // Rhymes wait for the narrator; switching narration on starts them (ToggleNarration).
        if (viewer.settings.SoundOn) {
            StartRhymes(viewer, kModeLine);
        }
        break;
    case ScriptMode::Arrows:
        viewer.script.ScriptLine = kArrowFirstDelayLine;
        view.Arrows->SetInterval(PageScriptLines(viewer).Number(kArrowFirstDelayLine));
        view.Arrows->SetEnabled(true);
        break;
    }
}

void ReadBookTimer(Viewer& viewer) {
    TViewBook& view = viewer.view;
    ScriptCursor& script = viewer.script;
    const QVDBType& page = viewer.Current();
    if (!viewer.settings.SoundOn || script.ReadLine - script.ReadBase > page.PageNo) {
        view.ReadBook->SetEnabled(false);
        return;
    }
    RotateTextLines(view, page.PageKind);
    ShowTextLines(viewer);
    ++script.ReadLine;
    view.ReadBook->SetInterval(PageScriptLines(viewer).Number(script.ReadLine));

    const std::int32_t step = script.ReadLine - script.ReadBase - 1;
    const std::uint8_t slot =
        ReadThroughPictureSlot(viewer.cursor.CurPage, viewer.cursor.StoryPage, step);
    // On a story page every step names a page of its book. A read-through on another page can
    // name slot 0 or a slot past the table's last; such a step shows no picture and keeps the
    // one on screen, while its lines step as on any other.
    if (slot >= PageTable::kFirstSlot && slot <= PageTable::kLastSlot) {
        ShowPagePicture(viewer, slot);
    }
}

void ShowRhymeTimer(Viewer& viewer) {
    TViewBook& view = viewer.view;
    view.ShowRhyme->SetEnabled(false); // the words appear once
    const ScriptLines lines = PageScriptLines(viewer);
    Label* const rhymes[kRhymeWordCount] = {view.Rhyme1, view.Rhyme2, view.Rhyme3};
    for (int word = 0; word < kRhymeWordCount; ++word) {
        rhymes[word]->SetCaption(
            std::string(lines.Line(RhymeWordLine(viewer.script.ScriptLine, word))));
    }
    for (Label* rhyme : rhymes) {
        rhyme->SetVisible(true);
    }
}

void ArrowsTimer(Viewer& viewer) {
    TViewBook& view = viewer.view;
    ScriptCursor& script = viewer.script;
    if (!viewer.settings.SoundOn) {
        EndArrows(view);
        return;
    }
    const ScriptLines lines = PageScriptLines(viewer);
    ++script.ScriptLine;
    // Only the code line is checked against the end; the lines after it read as 0 when missing.
    if (script.ScriptLine >= lines.Count()) {
        EndArrows(view);
        return;
    }
    const ArrowCode code = ArrowCodeOf(lines.Number(script.ScriptLine));
    switch (code) {
    case ArrowCode::UnderLine1:
        view.UpArrow->SetTop(view.SolidLine2->Top() + 1);
        break;
    case ArrowCode::UnderLine2:
        view.UpArrow->SetTop(view.SolidLine4->Top() + 1);
        break;
    case ArrowCode::UnderLine3:
        view.UpArrow->SetTop(view.SolidLine6->Top() + 1);
        break;
    case ArrowCode::ReadThrough:
        StartReadThrough(viewer, script.ScriptLine);
        EndArrows(view);
        return;
    case ArrowCode::Rhymes:
        StartRhymes(viewer, script.ScriptLine);
        EndArrows(view);
        return;
    case ArrowCode::Hide:
    case ArrowCode::KeepTop:
        break;
    }
    if (ArrowCodeTakesLeft(code)) {
        ++script.ScriptLine;
        view.UpArrow->SetLeft(lines.Number(script.ScriptLine));
        view.UpArrow->SetVisible(true);
    } else {
        view.UpArrow->SetVisible(false);
    }
    ++script.ScriptLine;
    view.Arrows->SetInterval(lines.Number(script.ScriptLine));
}

} // namespace tavelio
