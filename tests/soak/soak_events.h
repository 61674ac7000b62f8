// Random user events for the soak, as lines of the scenario runner's script: keys, typed
// characters, clicks on any control, waits of random length and now and then the closing of a
// window, which ends the program (the soak then starts it again). The same seed gives the same
// events.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace tavelio::soak {

// count events; clicks go to the controls named.
std::vector<std::string> RandomEvents(std::uint64_t seed, std::size_t count,
                                      const std::vector<std::string>& controls);

} // namespace tavelio::soak
