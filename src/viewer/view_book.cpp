#include "viewer/view_book.h"

namespace tavelio {

TViewBook::TViewBook(const FormEnvironment& environment, MediaBackendFactory& mediaBackends,
                     Form& launch)
    : Form(environment, "ViewBook", FrameStyle::Sizeable), launch_(launch) {
    SetCaption("View Book");
    SetBounds(0, 0, 800, 600);
    SetCentredWhenFirstShown(true);
    SetMaximizedWhenShown(true);
    QPalette colours = palette();
    colours.setColor(QPalette::Window, Qt::white);
    colours.setColor(QPalette::WindowText, Qt::black);
    setPalette(colours);
    setAutoFillBackground(true);
    QFont formFont(QStringLiteral("MS Sans Serif"));
    formFont.setPixelSize(11);
    setFont(formFont);
    setEnabled(false);

    const auto textLine = [this](const char* name, int top) {
        auto* line = new Label(this, name, 144, top, 497, 71, "Ann");
        line->SetAutoSize(false);
        line->SetCentred(true);
        line->SetWordWrap(true);
        line->SetFont("Times New Roman", 53);
        line->hide();
        return line;
    };
    Text3 = textLine("Text3", 384);
    Text2 = textLine("Text2", 318);
    Text1 = textLine("Text1", 252);

    TextSpeachPlay =
        new TMediaPlayer(this, "TextSpeachPlay", mediaBackends, FormClock(), Dispatcher());
    TextSpeachPlay->SetBounds(584, 26, 29, 30);
    TextSpeachPlay->SetVisible(false);

    AniShow = new VideoDisplay(this, "AniShow");
    AniShow->setGeometry(225, 25, 315, 226);
    AniShow->hide();
    AniShow->setEnabled(false);
    AniShow->setToolTip(QStringLiteral("To disable animations click on the animation button."));

    AniPlay = new TMediaPlayer(this, "AniPlay", mediaBackends, FormClock(), Dispatcher());
    AniPlay->SetBounds(616, 26, 29, 30);
    AniPlay->SetVisible(false);
    AniPlay->SetAutoRewind(true);
    AniPlay->SetDisplay(AniShow);

    CoverTimed = new Timer(this, "CoverTimed", 3500, FormClock(), Dispatcher());
}

void TViewBook::ReleaseTextSpeachPlay() {
    delete TextSpeachPlay.data();
}

void TViewBook::FormClose() {
    ReleaseTextSpeachPlay();
    launch_.Close();
}

} // namespace tavelio
