#include "launch/splash.h"

#include "launch/launch_pictures.h"

namespace tavelio {

TSplash::TSplash(const FormEnvironment& environment, QWidget* owner)
    : Form(environment, "Splash", FrameStyle::None, owner) {
    SetStayOnTop();
    // The designed size; start-up gives the splash the screen's size.
    SetClientSize(557, 391);
    SetColor(Qt::white);
    SetCursorShape(CursorShape::HourGlass);
    SetEnabled(false);

    SplashBack = new PictureBox(this, "SplashBack", 0, 0, 800, 6, PictureBox::Drawing::Stretched,
                                Dispatcher());
    SplashBack->SetPicture(LaunchPicture("splash-back.bmp"));
    SplashBack->SetCursorShape(CursorShape::HourGlass);
    SplashBack->SetVisible(false);

    SplashFront = new PictureBox(this, "SplashFront", 136, 24, 354, 354,
                                 PictureBox::Drawing::Centred, Dispatcher());
    SplashFront->SetPicture(LaunchPicture("splash-front.bmp"));
    SplashFront->SetDetailedPicture([] { return LaunchPicture("splash-front@2x.png"); });
    SplashFront->SetCursorShape(CursorShape::HourGlass);

    CloseTime = new Timer(this, "CloseTime", 3000, FormClock(), Dispatcher());
    CloseTime->SetOnTimer([this] { CloseTimeTimer(); });
    CloseTime->SetEnabled(true);
}

void TSplash::CloseTimeTimer() {
    CloseTime->SetEnabled(false);
    Close();
}

} // namespace tavelio
