// Limits that every picture loader keeps to.
#pragma once

#include <cstdint>

namespace tavelio {

// The largest picture made, in bytes of 32-bit pixels, as Qt's own image readers limit theirs. A
// few bytes of header can claim a picture of 65,000 x 65,000 pixels; a loader refuses to fill
// gigabytes for it.
inline constexpr std::uint64_t kMaxImageBytes = 256ull * 1024 * 1024;

} // namespace tavelio
