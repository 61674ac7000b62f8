// The page picture: copied out of the picture archive "Graphics.dat" into the run's temporary
// file "TempPic." + PicType, loaded into BackGround and deleted again.
#pragma once

#include <cstdint>

namespace tavelio {

struct Viewer;

// Shows the picture of the record in slot (1 to 224) in BackGround; does nothing for a record
// whose PicType is "NA". Problems with the temporary file go to ErrorLabel; everything else
// (a missing archive, the loaders' errors) is raised, and BackGround keeps its picture.
void ShowPagePicture(Viewer& viewer, std::uint8_t slot);

} // namespace tavelio
