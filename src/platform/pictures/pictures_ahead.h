// PicturesAhead: draws a metafile picture on a thread of its own before it is needed, so that the
// page turn that shows it finds it drawn. Metafiles are the pictures worth it: drawing their
// records takes tens of milliseconds, more than a frame, where a page-sized JPEG or bitmap decodes
// in well under one.
//
// Load is LoadPictureFile with one shortcut: a metafile whose file holds exactly the bytes drawn
// ahead, as the same kind, is not drawn again but taken from the drawing ahead (waiting for it to
// finish). A drawing ahead that failed is never taken, so such a file is drawn and fails as it
// always does, with the loader's own error. Its drawings, ahead or not, never overlap: the
// metafile libraries don't promise to draw two pictures at once.
//
// Ownership: used from one thread; the drawing thread touches only the job it was started with.
// Destroying it waits for a drawing in progress.
#pragma once

#include <QImage>
#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <thread>
#include <vector>

namespace tavelio {

class PicturesAhead {
public:
    PicturesAhead() = default;
    ~PicturesAhead();
    PicturesAhead(const PicturesAhead&) = delete;
    PicturesAhead& operator=(const PicturesAhead&) = delete;

    // Starts drawing, on the drawing thread, the bytes that read returns (read runs there too) as a
    // picture file of that extension; does nothing unless IsMetafileExtension(extension). Replaces
    // the drawing ahead made before, after waiting for it. A read or drawing that raises leaves
    // nothing drawn ahead.
    void DrawAhead(const std::string& extension, std::function<std::vector<std::uint8_t>()> read);

    // As LoadPictureFile(path), taking a metafile drawn ahead from the same bytes.
    QImage Load(const std::string& path);

private:
    struct Job {
        std::string kind; // PictureKind of the extension it was drawn as
        std::vector<std::uint8_t> bytes;
        QImage picture; // null unless the drawing succeeded
    };
    // Waits for the drawing thread, if it runs; the job is the caller's again afterwards.
    void FinishDrawing();

    std::unique_ptr<Job> job_;
    std::thread drawing_;
};

} // namespace tavelio
