// Test helper: the viewer window on Qt's offscreen platform with a virtual clock, recorded error
// boxes, simulated media and a page table the test fills. The test runs in a scratch folder of
// its own, the working directory where the picture archive is looked for, which also holds the
// temporary directory TempDir.
#pragma once

#include "platform/media/simulated_media_backend.h"
#include "support/database_builder.h"
#include "support/form_services.h"
#include "support/scratch_dir.h"
#include "viewer/view_book.h"

#include <QBuffer>
#include <QImage>
#include <filesystem>
#include <gtest/gtest.h>
#include <string>

namespace tavelio::test {

class ViewerFixture : public ::testing::Test, protected FormServices {
protected:
    ViewerFixture() {
        std::filesystem::current_path(folder_.Root());
        std::filesystem::create_directory(folder_.Path("tmp"));
        settings_.TempDir = folder_.Path("tmp/");
        for (int slot = PageTable::kFirstSlot; slot <= PageTable::kLastSlot; ++slot) {
            pages_.At(slot).PicType = "NA";
        }
        cursor_.CurPage = 1;
        cursor_.StoryPage = 8;
    }
    ~ViewerFixture() override { std::filesystem::current_path(previousDirectory_); }

    QVDBType& Page(int slot) { return pages_.At(slot); }

    std::string TempPath(const std::string& picType) const {
        return settings_.TempDir + "TempPic." + picType;
    }

    // A picture file of that size in one colour, as the format names it ("BMP", "JPG").
    static std::string PictureBytes(int width, int height, QColor colour, const char* format) {
        QImage picture(width, height, QImage::Format_RGB32);
        picture.fill(colour);
        QByteArray bytes;
        QBuffer buffer(&bytes);
        buffer.open(QIODevice::WriteOnly);
        picture.save(&buffer, format);
        return bytes.toStdString();
    }

    // Writes the picture archive with the given pictures one after the other and points the
    // records of the given slots at them, with the extension given.
    struct StoredPicture {
        int slot;
        std::string bytes;
        std::string picType;
    };
    void WriteArchive(const std::vector<StoredPicture>& pictures) {
        std::string archive;
        for (const StoredPicture& picture : pictures) {
            QVDBType& record = pages_.At(picture.slot);
            record.PicOffset = static_cast<std::int32_t>(archive.size());
            record.PicSize = static_cast<std::int32_t>(picture.bytes.size());
            record.PicType = picture.picType;
            archive += picture.bytes;
        }
        WriteFile(folder_.Path("Graphics.dat"), Encode(archive));
    }

    const std::vector<std::string>& Errors() const { return errorBox_.Texts(); }

    std::filesystem::path previousDirectory_ = std::filesystem::current_path();
    ScratchDir folder_;
    SimulatedMediaBackendFactory media_{clock_};
    Form launch_{environment_, "Launch", Form::FrameStyle::FixedSingle};
    PageTable pages_;
    BookCursor cursor_;
    Settings settings_;
    TViewBook view_{environment_, media_, launch_, pages_, cursor_, settings_};
    Viewer& viewer_ = view_.State();
};

} // namespace tavelio::test
