#include "platform/pictures/pictures_ahead.h"

#include "base/posix_file.h"
#include "platform/pictures/picture_loader.h"

#include <algorithm>
#include <exception>

namespace tavelio {

PicturesAhead::~PicturesAhead() {
    FinishDrawing();
}

void PicturesAhead::DrawAhead(const std::string& extension,
                              std::function<std::vector<std::uint8_t>()> read) {
    if (!IsMetafileExtension(extension)) {
        return;
    }
    FinishDrawing();
    job_ = std::make_unique<Job>();
    job_->kind = PictureKind(extension);
    drawing_ = std::thread([job = job_.get(), read = std::move(read)] {
        // Drawing ahead is only a head start: whatever fails here fails again, and is reported,
        // when the page loads its picture itself. Nothing may leave the thread in any case.
        try {
            job->bytes = read();
            job->picture = DrawMetafile(job->kind, job->bytes);
        } catch (const std::exception&) {
            job->picture = QImage();
        }
    });
}

QImage PicturesAhead::Load(const std::string& path) {
    const std::string extension = PictureExtension(path);
    if (!IsMetafileExtension(extension)) {
        return LoadPictureFile(path);
    }
    FinishDrawing();
    const std::string file = ReadWholeFile(path);
    if (job_ != nullptr && !job_->picture.isNull() && job_->kind == PictureKind(extension) &&
        std::equal(file.begin(), file.end(), job_->bytes.begin(), job_->bytes.end(),
                   [](char a, std::uint8_t b) { return static_cast<std::uint8_t>(a) == b; })) {
        return job_->picture;
    }
    return DrawMetafile(extension, std::vector<std::uint8_t>(file.begin(), file.end()));
}

void PicturesAhead::FinishDrawing() {
    if (drawing_.joinable()) {
        drawing_.join();
    }
}

} // namespace tavelio
