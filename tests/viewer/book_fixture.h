// Test helper: the viewer over a book with narration and clips. The book is twelve pages of book
// 1, page n in slot n + 1, each with one ruled line, no picture, no clip, no prompt and no
// script, and a narration stretch of 4 s starting at n x 5 s; tests change the pages they need
// before they load one. The working directory holds the narration file A1Speach.wav (60 s) and
// the clips Clip.avi (2 s) and Tall.avi (3 s).
#pragma once

#include "support/media_test_files.h"
#include "viewer/page_layout.h"
#include "viewer_fixture.h"

#include <functional>

namespace tavelio::test {

class BookFixture : public ViewerFixture {
protected:
    static constexpr int kStoryPage = 8;

    BookFixture() {
        testing_media::WriteToneWav("A1Speach.wav", 60000, 4000);
        testing_media::WriteAviHeaders("Clip.avi", 40000, 50);
        testing_media::WriteAviHeaders("Tall.avi", 40000, 75);
        for (int pageNo = 0; pageNo < 12; ++pageNo) {
            QVDBType& page = BookPage(pageNo);
            page.BookNo = 1;
            page.PageNo = static_cast<std::uint8_t>(pageNo);
            page.AniFile = "None";
            page.MediaWidth = 315;
            page.MediaHeight = 225;
            page.PageKind = 1;
            page.PageText = "Page " + std::to_string(pageNo);
            page.PromptText = " ";
            page.ScriptText = " ";
            page.SpeechStart = pageNo * 5000;
            page.SpeechEnd = pageNo * 5000 + 4000;
        }
    }

    QVDBType& BookPage(int pageNo) { return Page(pageNo + 1); }

    // Moves the cursor to page pageNo and loads it, as the cursor moves do.
    void Load(int pageNo) {
        cursor_.CurPage = static_cast<std::uint8_t>(pageNo + 1);
        LoadPage(viewer_);
    }

    // Runs an operation as an event: an error it raises goes to the error box.
    void AsEvent(const std::function<void(Viewer&)>& operation) {
        dispatcher_.Run([&] { operation(viewer_); });
        clock_.RunDue();
    }

    void Advance(std::int64_t ms) { clock_.Advance(ms); }
};

} // namespace tavelio::test
