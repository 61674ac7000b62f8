// The application object's program-wide set-up, shared by the program entry and the scenario
// runner so that both run the program under the same name, icon and quit rule, with the pictures
// stored with the program readable.
#pragma once

namespace tavelio {

// Call once, right after the QApplication has been made.
void SetUpApplication();

} // namespace tavelio
