#include "book/page_pictures.h"

#include "book/file_bytes.h"
#include "book/tool_error.h"
#include "content/page_design.h"
#include "content/page_rules.h"
#include "platform/pictures/picture_loader.h"

#include <QImageReader>
#include <QPainter>
#include <QSvgRenderer>
#include <algorithm>
#include <cmath>
#include <set>

namespace tavelio::book {
namespace {

namespace fs = std::filesystem;

const std::set<std::string> kReadableKinds = {"jpg", "jpeg", "png", "bmp",
                                              "gif", "svg",  "wmf", "emf"};
const std::set<std::string> kShownKinds = {"jpg", "jpeg", "bmp", "wmf", "emf"};
// A metafile is drawn to its box, so proportions this close count as the same.
constexpr double kSameProportion = 0.01;
constexpr int kJpegQuality = 90;
// The room a picture page leaves its picture, at the designed window's size.
constexpr int kRoomWidth = design::kPageWidth - design::kFitMarginX;
constexpr int kRoomHeight = design::kPageHeight - design::kFitMarginY;
// The viewer draws a picture page's picture 4 pixels larger each way than its media size.
constexpr int kFitGrowth = 4;

// A source picture, drawable at any size.
class SourcePicture {
public:
    SourcePicture(const fs::path& file, const std::string& where) : where_(where) {
        kind_ = PictureKind(PictureExtension(file.string()));
        if (!kReadableKinds.contains(kind_)) {
            throw Refuse(file.string() + " is not a picture make reads: give a JPEG, PNG, BMP, "
                                         "GIF, SVG, WMF or EMF file");
        }
        if (kind_ == "svg") {
            svg_ = std::make_unique<QSvgRenderer>(QString::fromStdString(file.string()));
            if (!svg_->isValid() || svg_->defaultSize().isEmpty()) {
                throw Refuse(file.string() + ": not an SVG picture that can be drawn");
            }
            size_ = svg_->defaultSize();
        } else if (IsMetafileExtension(kind_)) {
            const std::string bytes = ReadInputFile(file.string());
            try {
                image_ = DrawMetafile(
                    kind_, {reinterpret_cast<const std::uint8_t*>(bytes.data()), bytes.size()});
            } catch (const Error& error) {
                throw Refuse(file.string() + ": " + ErrorBoxText(error.what()));
            }
            size_ = image_.size();
        } else {
            QImageReader reader(QString::fromStdString(file.string()));
            reader.setAutoTransform(true); // a phone photo says which way up it was taken
            if (!reader.read(&image_)) {
                throw Refuse(file.string() + ": can't be read as a picture (" +
                             reader.errorString().toStdString() + ")");
            }
            size_ = image_.size();
        }
        if (size_.isEmpty()) {
            throw Refuse(file.string() + ": the picture is empty");
        }
    }

    const std::string& Kind() const { return kind_; }
    QSize Size() const { return size_; }

    void Draw(QPainter& painter, const QRectF& target) const {
        if (svg_) {
            svg_->render(&painter, target);
        } else {
            painter.drawImage(target, image_);
        }
    }

private:
    ToolError Refuse(const std::string& what) const { return ToolError(where_ + ": " + what); }

    std::string where_;
    std::string kind_;
    QSize size_;
    QImage image_;
    std::unique_ptr<QSvgRenderer> svg_;
};

double Proportion(QSizeF size) {
    return size.width() / size.height();
}

// The picture's own size, shrunk to the room a picture page leaves it.
QSize PicturePageBox(QSize natural) {
    return natural
        .scaled(std::min(natural.width(), kRoomWidth), std::min(natural.height(), kRoomHeight),
                Qt::KeepAspectRatio)
        .expandedTo({kFitGrowth + 1, kFitGrowth + 1});
}

bool FitsAsItIs(const SourcePicture& picture, QSize box) {
    if (!kShownKinds.contains(picture.Kind())) {
        return false;
    }
    if (IsMetafileExtension(picture.Kind())) {
        return std::abs(Proportion(picture.Size()) / Proportion(box) - 1.0) <= kSameProportion;
    }
    return picture.Size() == box;
}

} // namespace

PagePicture MakePagePicture(const BookSource& source, const SourcePage& page,
                            const fs::path& workFolder) {
    const std::string where = SourcePlace(source, page.pageNo, "picture");
    const SourcePicture picture(*page.picture, where);
    const bool picturePage = page.pageKind == kPicturePageKind;
    const QSize box = picturePage ? PicturePageBox(picture.Size())
                                  : QSize(kFramedPictureWidth, kFramedPictureHeight);
    const QSize media = picturePage ? box - QSize(kFitGrowth, kFitGrowth) : box;
    if (FitsAsItIs(picture, box)) {
        return {*page.picture, media.width(), media.height()};
    }
    QImage made(box, QImage::Format_RGB32);
    made.fill(Qt::white);
    {
        QPainter painter(&made);
        painter.setRenderHint(QPainter::SmoothPixmapTransform);
        painter.setRenderHint(QPainter::Antialiasing);
        const design::PlacedPicture placed = design::PlacePictureInBox(
            picture.Size().width(), picture.Size().height(), box.width(), box.height());
        picture.Draw(painter, {placed.left, placed.top, placed.width, placed.height});
    }
    const fs::path file = workFolder / ("page" + std::to_string(page.pageNo) + ".jpg");
    if (!made.save(QString::fromStdString(file.string()), "JPG", kJpegQuality)) {
        throw ToolError(file.string() + ": can't be written");
    }
    return {file, media.width(), media.height()};
}

} // namespace tavelio::book
