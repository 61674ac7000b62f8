// Names of keys as scenario scripts write them, mapped to the virtual-key codes that the forms'
// key-down handlers receive.
#pragma once

#include <optional>
#include <string_view>

namespace tavelio {

// The virtual-key code that name stands for, or nothing when name is not a key:
// - a key name, without regard to case: Escape (Esc), Return (Enter), Space, Tab, Backspace,
//   Insert, Delete, Home, End, PageUp, PageDown, Left, Up, Right, Down, F1 to F12;
// - one letter (either case, the key of its capital) or one digit (the digit key);
// - two or more decimal digits: that code, 0 to 255 (so code 8 is written 08).
std::optional<int> VirtualKeyFromName(std::string_view name);

} // namespace tavelio
