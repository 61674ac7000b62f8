#include "viewer/view_book.h"

#include "content/data_file_names.h"
#include "content/page_design.h"
#include "platform/pictures/picture_loader.h"
#include "viewer/animation.h"
#include "viewer/narration.h"
#include "viewer/navigation.h"
#include "viewer/page_script.h"

#include <QFile>
#include <QImage>
#include <string>

// The glyphs live in this static library; nothing else refers to them, so they are pulled into
// the program from here.
static void InitViewerResources() {
    Q_INIT_RESOURCE(viewer);
}

namespace tavelio {
namespace {

using design::Box;
constexpr const char* kTimesNewRoman = design::kSerifFace;
constexpr const char* kSansSerif = design::kSansFace;

// A button glyph stored with the program (src/viewer/pictures): its bitmap and the SVG drawing
// it was made from.
GlyphPicture Glyph(const char* name) {
    InitViewerResources();
    const QString stored = QStringLiteral(":/viewer/") + QLatin1String(name);
    const QImage bitmap(stored + QStringLiteral(".bmp"));
    QFile source(stored + QStringLiteral(".svg"));
    if (bitmap.isNull() || !source.open(QIODevice::ReadOnly)) {
        throw EInvalidGraphic(std::string("Glyph ") + name + " is not stored with the program");
    }
    return GlyphPicture(bitmap, source.readAll());
}

} // namespace

TViewBook::TViewBook(const FormEnvironment& environment, MediaBackendFactory& mediaBackends,
                     Form& launch, const PageTable& pages, BookCursor& cursor, Settings& settings)
    : Form(environment, "ViewBook", FrameStyle::Sizeable), launch_(launch),
      viewer_(*this, pages, cursor, settings, launch) {
    SetCaption("View Book");
    SetBounds(0, 0, design::kPageWidth, design::kPageHeight);
    SetCentredWhenFirstShown(true);
    SetMaximizedWhenShown(true);
    SetColor(Qt::white);
    SetFont(kSansSerif, design::kFormFontPixels);
    SetEnabled(false);

    MakeRuledLines();
    MakePageButtons();
    MakeSwitches();
    MakePageParts();
    MakeDiagnosticFields();
    MakePlayers(mediaBackends);
    MakeScriptTimers();
    StackInDesignedOrder();

    WireNavigation();
    WireSwitches();
    WireScriptAndMedia();
}

Label* TViewBook::MakeLabel(const char* name, int left, int top, int width, int height,
                            const char* caption) {
    auto* made = new Label(this, name, left, top, width, height, caption);
    made->SetVisible(false);
    return made;
}

GlyphButton* TViewBook::MakeButton(const char* name, int left, int top, int width, int height,
                                   GlyphButton::Style style, const char* glyph, const char* hint) {
    auto* made = new GlyphButton(this, name, left, top, width, height, style, Dispatcher());
    made->SetGlyph(Glyph(glyph));
    made->SetHint(hint);
    return made;
}

Memo* TViewBook::MakeMemo(const char* name, int left, int top, int width, int height) {
    return new Memo(this, name, left, top, width, height, Dispatcher());
}

void TViewBook::MakeRuledLines() {
    // A ruled line: its text in the handwriting face (given at start-up) over two solid rules
    // with a dotted one between them; the page layout moves them together (page_layout.h).
    const auto textLine = [this](const char* name, int top) {
        Label* line = MakeLabel(name, design::kRuledLineLeft, top, design::kRuledLineWidth,
                                design::kRuledLineHeight, "Ann");
        line->SetAutoSize(false);
        line->SetCentred(true);
        line->SetWordWrap(true);
        line->SetColor(Qt::white);
        line->SetTextColor(Qt::black);
        line->SetFont(kTimesNewRoman, design::kRuledLineFontPixels);
        return line;
    };
    const auto rule = [this](const char* name, int top, int height, RuleLine::Style style) {
        return new RuleLine(this, name, design::kRuledLineLeft, top, design::kRuledLineWidth,
                            height, style);
    };
    Text3 = textLine("Text3", 384);
    Text2 = textLine("Text2", 318);
    Text1 = textLine("Text1", 252);
    DotLine1 = rule("DotLine1", 280, design::kDottedRuleHeight, RuleLine::Style::Dotted);
    DotLine2 = rule("DotLine2", 346, design::kDottedRuleHeight, RuleLine::Style::Dotted);
    DotLine3 = rule("DotLine3", 412, design::kDottedRuleHeight, RuleLine::Style::Dotted);
    SolidLine1 = rule("SolidLine1", 265, 1, RuleLine::Style::Solid);
    SolidLine2 = rule("SolidLine2", 300, 1, RuleLine::Style::Solid);
    SolidLine3 = rule("SolidLine3", 331, 1, RuleLine::Style::Solid);
    SolidLine4 = rule("SolidLine4", 366, 1, RuleLine::Style::Solid);
    SolidLine5 = rule("SolidLine5", 397, 1, RuleLine::Style::Solid);
    SolidLine6 = rule("SolidLine6", 432, 1, RuleLine::Style::Solid);
}

void TViewBook::MakePageButtons() {
    const auto pageButton = [this](const char* name, int left, const char* glyph,
                                   const char* hint) {
        GlyphButton* made =
            MakeButton(name, left, 457, 33, 33, GlyphButton::Style::Flat, glyph, hint);
        made->SetVisible(false);
        made->SetEnabled(false);
        return made;
    };
    Previous = pageButton("Previous", 328, "previous", "Click here to go to the previous page.");
    Home = pageButton("Home", 368, "home", "Click here to return to the cover page of this book.");
    Next = pageButton("Next", 408, "next", "Click here to go to the next page.");
}

void TViewBook::MakeSwitches() {
    using Style = GlyphButton::Style;
    RestartBit = MakeButton("RestartBit", 0, 0, 38, 22, Style::Flat, "restart",
                            "Click here to restart and go to the Launch Pad.");
    RestartBit->SetCursorShape(CursorShape::HandPoint);
    RestartBit->SetEnabled(false);
    NextBit = MakeButton("NextBit", 87, 0, 38, 22, Style::Flat, "next-book",
                         "Click here to go to the next book.");
    NextBit->SetCursorShape(CursorShape::HandPoint);
    const auto switchButton = [this](const char* name, int left, const char* glyph,
                                     const char* hint) {
        GlyphButton* made = MakeButton(name, left, 0, 22, 23, Style::Push, glyph, hint);
        made->SetMargin(2);
        return made;
    };
    AniBit = switchButton("AniBit", 40, "animation",
                          "Animation button, click here to enable or disable animations.");
    NarrationBit = switchButton("NarrationBit", 64, "narration",
                                "Click here to enable or disable the narrator's voice.");
}

void TViewBook::MakePageParts() {
    const Box& note = design::kNote;
    Note = MakeLabel("Note", note.left, note.top, note.width, note.height, design::kTextPageNote);
    Note->SetFont(kTimesNewRoman, design::kNoteFontPixels);
    const auto rhyme = [this](const char* name, int top, int width, const char* caption) {
        Label* word =
            MakeLabel(name, design::kRhymeLeft, top, width, design::kRhymeHeight, caption);
        word->SetFont(kHandwritingFace, design::kRhymeFontPixels);
        return word;
    };
    Rhyme1 = rhyme("Rhyme1", design::kRhymeTops[0], 68, "feed");
    Rhyme2 = rhyme("Rhyme2", design::kRhymeTops[1], 75, "weed");
    Rhyme3 = rhyme("Rhyme3", design::kRhymeTops[2], 66, "seed");
    const Box& cover = design::kCoverPicture;
    BackGround = new PictureBox(this, "BackGround", cover.left, cover.top, cover.width,
                                cover.height, PictureBox::Drawing::Stretched, Dispatcher());
    BackGround->SetIgnoresMouse(true);
    BackGround->SetCursorShape(CursorShape::Arrow);
    // The headings of the narrator's words in writing (narration.h decides which shows).
    VoiceOnly = MakeLabel("VoiceOnly", 24, 266, 83, 20, "Voice Says:");
    VoiceOnly->SetFont(kSansSerif, design::kLabelFontPixels);
    const Box& answers = design::kAnswersLabel;
    AnswersLabel = MakeLabel("AnswersLabel", answers.left, answers.top, answers.width,
                             answers.height, "Answers:");
    AnswersLabel->SetFont(kSansSerif, design::kLabelFontPixels);
    AnswersLabel->SetHint("Here are some answers to the questions above.", false);
    ErrorLabel = MakeLabel("ErrorLabel", 128, 0, 51, 13, "Error Label");
    UpArrow =
        new PointerArrow(this, "UpArrow", 371, 305, design::kArrowWidth, design::kArrowHeight);
    UpArrow->SetVisible(false);
    UpArrow->SetEnabled(false);
    // The memos, in the keyboard's order.
    const auto memo = [this](const char* name, const Box& box) {
        return MakeMemo(name, box.left, box.top, box.width, box.height);
    };
    Instructions = memo("Instructions", design::kInstructions);
    Instructions->SetFont(kTimesNewRoman, 19);
    Instructions->SetLines({"Listen.", "", "Repeat.", "", "Spell and read."});
    VoicePrompt = memo("VoicePrompt", design::kVoicePrompt);
    VoicePrompt->SetVisible(false);
    Text = memo("Text", design::kTextMemo);
    Text->SetBorderStyle(Memo::BorderStyle::None);
    Text->SetFont(kTimesNewRoman, design::kTextMemoFontPixels);
    Text->SetVisible(false);
}

void TViewBook::MakeDiagnosticFields() {
    // Along the bottom of the window, each as wide as its field's values need.
    struct Field {
        EditField* TViewBook::*member;
        const char* name;
        int left;
        int width;
    };
    const Field fields[] = {
        {&TViewBook::Show1, "Show1", 24, 25},    {&TViewBook::Show2, "Show2", 48, 25},
        {&TViewBook::Show3, "Show3", 72, 17},    {&TViewBook::Show4, "Show4", 88, 65},
        {&TViewBook::Show6, "Show6", 160, 49},   {&TViewBook::Show7, "Show7", 208, 41},
        {&TViewBook::Show8, "Show8", 248, 33},   {&TViewBook::Show9, "Show9", 280, 33},
        {&TViewBook::Show10, "Show10", 312, 33}, {&TViewBook::Show11, "Show11", 344, 81},
        {&TViewBook::Show13, "Show13", 432, 49}, {&TViewBook::Show14, "Show14", 480, 49},
        {&TViewBook::Show15, "Show15", 528, 17}};
    for (const Field& field : fields) {
        auto* made = new EditField(this, field.name, field.left, 504, field.width, 21);
        made->SetVisible(false);
        this->*field.member = made;
    }
    ScriptStrings = MakeMemo("ScriptStrings", 440, 456, 97, 33);
    ScriptStrings->SetVisible(false);
}

void TViewBook::MakePlayers(MediaBackendFactory& mediaBackends) {
    TextSpeachPlay =
        new TMediaPlayer(this, "TextSpeachPlay", mediaBackends, FormClock(), Dispatcher());
    TextSpeachPlay->SetBounds(584, 26, 29, 30);
    TextSpeachPlay->SetVisible(false);
    AniShow = new VideoDisplay(this, "AniShow");
    AniShow->SetBounds(225, 25, 315, 226);
    AniShow->SetVisible(false);
    AniShow->SetEnabled(false);
    AniShow->SetHint("To disable animations click on the animation button.");
    AniPlay = new TMediaPlayer(this, "AniPlay", mediaBackends, FormClock(), Dispatcher());
    AniPlay->SetBounds(616, 26, 29, 30);
    AniPlay->SetVisible(false);
    AniPlay->SetAutoRewind(true);
    AniPlay->SetDisplay(AniShow);
}

void TViewBook::MakeScriptTimers() {
    const auto timer = [this](const char* name, int intervalMs) {
        return new Timer(this, name, intervalMs, FormClock(), Dispatcher());
    };
    // The page script gives ReadBook, ShowRhyme and Arrows their intervals before it starts them.
    CoverTimed = timer("CoverTimed", 3500);
    ReadBook = timer("ReadBook", 2000);
    ShowRhyme = timer("ShowRhyme", 1000);
    Arrows = timer("Arrows", 1000);
    AniTime = timer("AniTime", 500);
}

void TViewBook::StackInDesignedOrder() {
    // Overlapping controls lie in the window's designed order, lower first: the rules over the
    // ruled text lines, the picture over the rules, the words, memos and clip over the picture.
    QWidget* const designedOrder[] = {
        Text3,        Text2,       Text1,         RestartBit, NextBit,    Note,         Rhyme1,
        Rhyme2,       Rhyme3,      Previous,      Home,       Next,       DotLine1,     DotLine2,
        DotLine3,     SolidLine1,  SolidLine2,    SolidLine3, SolidLine4, SolidLine5,   SolidLine6,
        BackGround,   VoiceOnly,   AnswersLabel,  ErrorLabel, AniBit,     NarrationBit, UpArrow,
        Instructions, VoicePrompt, Text,          Show1,      Show2,      Show3,        Show4,
        Show6,        Show7,       Show8,         Show9,      Show10,     Show11,       Show13,
        Show14,       Show15,      ScriptStrings, AniShow};
    for (QWidget* control : designedOrder) {
        control->raise();
    }
}

void TViewBook::WireSwitches() {
    // NarrationBitClick and AniBitClick: the button stays disabled until its switch is done.
    NarrationBit->SetOnClick([this] {
        NarrationBit->SetEnabled(false);
        ToggleNarration(viewer_);
    });
    AniBit->SetOnClick([this] {
        AniBit->SetEnabled(false);
        ToggleAnimation(viewer_);
    });
}

void TViewBook::WireScriptAndMedia() {
    ReadBook->SetOnTimer([this] { ReadBookTimer(viewer_); });
    ShowRhyme->SetOnTimer([this] { ShowRhymeTimer(viewer_); });
    Arrows->SetOnTimer([this] { ArrowsTimer(viewer_); });
    AniTime->SetOnTimer([this] { AniTimeTimer(viewer_); });
    AniPlay->SetOnNotify([this] { AniPlayNotify(viewer_); });
}

void TViewBook::WireNavigation() {
    CoverTimed->SetOnTimer([this] { CoverTimedTimer(viewer_); });
    Next->SetOnClick([this] { GoToNextPage(viewer_); });
    Previous->SetOnClick([this] { GoToPreviousPage(viewer_); });
    Home->SetOnClick([this] { GoToCover(viewer_); });
    NextBit->SetOnClick([this] { GoToNextBook(viewer_); });
    RestartBit->SetOnClick([this] { RestartToLaunchPad(viewer_); });
    // A memo hands the keyboard straight back to the form, whichever way the mouse reached it, so
    // that it never shows a caret and the arrow and letter keys go on turning pages.
    for (Memo* memo : {Instructions, Text, VoicePrompt}) {
        const auto focusGuard = [this, memo] {
            memo->SetEnabled(false);
            memo->SetEnabled(true);
            FocusForm();
        };
        memo->SetOnClick(focusGuard);
        memo->SetOnMouseDown(focusGuard);
        memo->SetOnContextPopup(focusGuard);
    }
}

TViewBook::~TViewBook() {
    FormClock().Cancel(afterThisHandler_);
}

void TViewBook::AfterThisHandler(std::function<void()> work) {
    FormClock().Cancel(afterThisHandler_);
    afterThisHandler_ = FormClock().CallAfter(0, [this, work = std::move(work)] {
        afterThisHandler_ = 0;
        Dispatcher().Run(work);
    });
}

void TViewBook::ReleaseTextSpeachPlay() {
    delete TextSpeachPlay.data();
}

void TViewBook::FormActivate() {
    ViewerActivate(viewer_);
}

void TViewBook::FormClose() {
    ReleaseTextSpeachPlay();
    launch_.Close();
}

void TViewBook::FormKeyDown(int virtualKey) {
    ViewerKeyDown(viewer_, virtualKey);
}

void TViewBook::FormKeyPress(char character) {
    ViewerKeyPress(viewer_, character);
}

} // namespace tavelio
