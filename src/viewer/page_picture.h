// The page picture: copied out of the picture archive "Graphics.dat" into the run's temporary
// file "TempPic." + PicType, loaded into BackGround and deleted again.
#pragma once

#include "content/picture_archive.h"

#include <cstdint>
#include <string>

namespace tavelio {

struct Viewer;

// The file work of showing a picture: the copy out of the archive in the working directory and
// the deletion of the temporary file. The program uses the files themselves; a test can put a
// medium that fills up, or a file that won't go, in their place.
class PictureFiles {
public:
    virtual ~PictureFiles() = default;
    // As CopyPictureOut (content/picture_archive.h) from "Graphics.dat".
    virtual PictureCopy CopyOut(const std::string& tempPath, std::int32_t picOffset,
                                std::int32_t picSize) = 0;
    // False when the file could not be deleted.
    virtual bool Delete(const std::string& path) = 0;
};

// Shows the picture of the record in slot (1 to 224) in BackGround; does nothing for a record
// without one (HasPicture, page_rules.h). A write that went
// short ("Error writing Temp File " + name; the picture is not loaded) and a deletion that failed
// ("Error deleting Temp File " + name, which wins when both happen) show in ErrorLabel, which
// every call for a page with a picture hides first. Everything else is raised: a missing archive
// before the temporary file is made, a temporary file that can't be made, the loaders' errors
// (then BackGround keeps its picture and the temporary file stays).
void ShowPagePicture(Viewer& viewer, std::uint8_t slot);
void ShowPagePicture(Viewer& viewer, std::uint8_t slot, PictureFiles& files);

// Starts drawing the picture of the record after the current one, the page that Next shows, while
// this page is read, where its kind takes long to draw (a metafile). The archive is read for it
// directly, without a temporary file; a failure there is left for that page to report.
void DrawNextPictureAhead(Viewer& viewer);

} // namespace tavelio
