// Installing the handwriting font for the run: the font file that start-up writes is added to the
// fonts the program can use, and removed again at shutdown. The program does not look at the
// results; they are there for tests and diagnostics.
#pragma once

#include <string>
#include <utility>
#include <vector>

namespace tavelio {

class FontInstaller {
public:
    virtual ~FontInstaller() = default;

    // Makes the fonts in fontFile available; true when it held at least one font.
    virtual bool Add(const std::string& fontFile) = 0;

    // Withdraws what Add made available from fontFile; false when nothing was.
    virtual bool Remove(const std::string& fontFile) = 0;
};

// Keeps a list of the calls made and installs nothing: for tests of start-up and shutdown.
class RecordingFontInstaller final : public FontInstaller {
public:
    enum class Call { Add, Remove };

    bool Add(const std::string& fontFile) override {
        calls_.emplace_back(Call::Add, fontFile);
        return true;
    }
    bool Remove(const std::string& fontFile) override {
        calls_.emplace_back(Call::Remove, fontFile);
        return true;
    }
    const std::vector<std::pair<Call, std::string>>& Calls() const { return calls_; }

private:
    std::vector<std::pair<Call, std::string>> calls_;
};

} // namespace tavelio
