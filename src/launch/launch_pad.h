// TLaunch: the launch pad, the program's main window. It asks for a reading level (A, B or C)
// and then for a book (five covers); only Level A and its first book lead on, the others carry
// the hint "Not available in Demo!". Choosing book 1 hides the launch pad and opens the viewer.
// Book 1's box shows the cover of the book in the data folder once the program has read it
// (ShowBookCover), else the stored picture of the first demo book.
// Its activation and close run the program's start-up work and shutdown (LaunchProgram); its
// SplashTime timer ends the splash.
//
// Ownership: owns its controls and, as their owner window, the splash. The program, the cursor
// and the environment's services must outlive it.
#pragma once

#include "content/book_cursor.h"
#include "launch/launch_program.h"
#include "platform/controls/form.h"
#include "platform/controls/label.h"
#include "platform/controls/picture_box.h"
#include "platform/controls/timer.h"

#include <QImage>

namespace tavelio {

class TLaunch final : public Form {
public:
    TLaunch(const FormEnvironment& environment, LaunchProgram& program, BookCursor& cursor);

    // The views and the opening of a book, in their designed orders.
    void ShowLevelChoice();
    void ShowBookChoice();
    void OpenFirstBook();

    // The cover of the book that book 1 opens (book_cover.h), for Ann, which draws it from then
    // on; a null image when the book has none that can be shown, and Ann draws the stored picture.
    // The program calls it when it has loaded the book, which may be before or after the book
    // view first shows.
    void ShowBookCover(const QImage& cover);

    // Controls, in creation order (lower first). The level view:
    PictureBox* QVA;
    PictureBox* QVB;
    PictureBox* QVC;
    Label* Welcome;
    Label* ChooseLevel;
    Label* LevelA;
    Label* LevelB;
    Label* LevelC;
    // The book view, with the covers' numbers:
    Label* ChooseBook;
    PictureBox* Ann;
    PictureBox* TopDog;
    PictureBox* Tip;
    PictureBox* UpUp;
    PictureBox* GetSet;
    Label* B2;
    Label* B3;
    Label* B4;
    Label* B5;
    Label* B1;
    Timer* SplashTime;

protected:
    void FormActivate() override;
    void FormClose() override;
    void FormKeyDown(int virtualKey) override;
    void FormKeyPress(char character) override;

private:
    // The controls of each view, made at their designed places.
    void MakeLevelView();
    void MakeBookView();
    Label* MakeWord(const char* name, int left, int top, int width, int height,
                    const char* caption);
    // The pointing hand, hints and handlers.
    void WireEvents();
    // The state the window is first shown in.
    void ShowFirstState();
    // Gives the covers their pictures, the first time only.
    void DecodeCovers();
    // Gives Ann the book's cover, or the stored one when there is none.
    void DrawAnnCover();
    void QVAClick();
    void AnnClick();
    void SplashTimeTimer();

    LaunchProgram& program_;
    BookCursor& cursor_;
    QImage bookCover_; // null while the book has no cover to show
    bool coversDecoded_ = false;
};

} // namespace tavelio
