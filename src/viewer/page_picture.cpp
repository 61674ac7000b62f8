#include "viewer/page_picture.h"

#include "base/text_encoding.h"
#include "content/data_file_names.h"
#include "content/page_rules.h"
#include "viewer/page_layout.h"
#include "viewer/view_book.h"

#include <cstdio>

namespace tavelio {
namespace {

class DiskPictureFiles final : public PictureFiles {
public:
    PictureCopy CopyOut(const std::string& tempPath, std::int32_t picOffset,
                        std::int32_t picSize) override {
        return CopyPictureOut(kPictureArchiveFileName, tempPath, picOffset, picSize);
    }
    bool Delete(const std::string& path) override { return std::remove(path.c_str()) == 0; }
};

void ShowError(Label& errorLabel, const std::string& message, const std::string& tempPath) {
    // The caption is Windows-1252; the path is this system's, which may hold other characters.
    errorLabel.SetCaption(message + Utf8ToCp1252(tempPath).value_or(tempPath));
    errorLabel.SetVisible(true);
}

} // namespace

void ShowPagePicture(Viewer& viewer, std::uint8_t slot) {
    DiskPictureFiles disk;
    ShowPagePicture(viewer, slot, disk);
}

void ShowPagePicture(Viewer& viewer, std::uint8_t slot, PictureFiles& files) {
    const QVDBType& record = viewer.pages.At(slot);
    if (!HasPicture(record)) {
        return;
    }
    Label& errorLabel = *viewer.view.ErrorLabel;
    errorLabel.SetVisible(false);
    const std::string tempPath = PictureTempPath(viewer.settings.TempDir, record.PicType);
    if (files.CopyOut(tempPath, record.PicOffset, record.PicSize) == PictureCopy::WriteWentShort) {
        ShowError(errorLabel, "Error writing Temp File ", tempPath);
    }
    if (!errorLabel.OwnVisible()) {
        viewer.view.BackGround->LoadFromFile(tempPath, viewer.pictures);
    }
    if (!files.Delete(tempPath)) {
        ShowError(errorLabel, "Error deleting Temp File ", tempPath);
    }
}

void DrawNextPictureAhead(Viewer& viewer) {
    const QVDBType& next = viewer.pages.At(SlotAfter(viewer.cursor.CurPage));
    viewer.pictures.DrawAhead(next.PicType, [offset = next.PicOffset, size = next.PicSize] {
        return ReadPictureOut(kPictureArchiveFileName, offset, size);
    });
}

} // namespace tavelio
