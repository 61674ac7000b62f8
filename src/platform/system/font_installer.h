// Installing the handwriting font for the run: the font file that start-up writes is added to the
// fonts the program can use, and removed again at shutdown. The program does not look at the
// results; they are there for tests and diagnostics. Tests record the calls instead
// (font_installer_fakes.h).
#pragma once

#include <string>

namespace tavelio {

class FontInstaller {
public:
    virtual ~FontInstaller() = default;

    // Makes the fonts in fontFile available; true when it held at least one font.
    virtual bool Add(const std::string& fontFile) = 0;

    // Withdraws what Add made available from fontFile; false when nothing was.
    virtual bool Remove(const std::string& fontFile) = 0;
};

} // namespace tavelio
