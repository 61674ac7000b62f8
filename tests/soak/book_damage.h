// Damaged copies of a book's data folder, as books arrive from anywhere: a narration or a clip
// missing, a picture archive cut short, page scripts full of garbage.
#pragma once

#include <string>

namespace tavelio::soak {

// Damages the data folder at folder (a copy of the demo book) as named: "no-narration",
// "no-clip", "short-picture", "garbage-script", or "none", which leaves it whole. Raises
// std::invalid_argument for another name.
void DamageBook(const std::string& folder, const std::string& damage);

} // namespace tavelio::soak
