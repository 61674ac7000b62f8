// The pictures stored with the launch pad and the splash, as Qt resources of the program: the
// level letters and the covers are JPEGs, decoded by the program's libjpeg decoder; the splash's
// two bitmaps are read by Qt's BMP reader; the window icon is a PNG. The pictures shown at their
// natural size have versions with twice the pixels for high-density screens ("level-a@2x.jpg",
// "splash-front@2x.png").
#pragma once

#include <QIcon>
#include <QImage>

namespace tavelio {

// Makes the stored pictures readable. The application set-up calls it once, before the first
// window is made; calling it again does nothing.
void RegisterLaunchPictures();

// The picture of that file name ("level-a.jpg", "splash-back.bmp", ...). A picture that is not
// stored raises EInvalidGraphic.
QImage LaunchPicture(const char* fileName);

// The program's window icon.
QIcon ProgramIcon();

} // namespace tavelio
