#include "soak_events.h"

#include <array>
#include <random>
#include <string_view>

namespace tavelio::soak {
namespace {

// The keys the program answers, with a few it does not.
constexpr std::array<std::string_view, 19> kKeys{
    "Escape", "Return", "Space", "Tab", "Home", "End", "Left", "Up", "Right", "Down",
    "F1",     "A",      "S",     "V",   "N",    "R",   "1",    "2",  "Delete"};
// The characters the program answers, with a few it does not.
constexpr std::array<std::string_view, 14> kCharacters{"a", "A", "s", "S", "v", "V",     "n",
                                                       "N", "r", "R", "1", "2", "space", "\"#\""};

class Generator {
public:
    explicit Generator(std::uint64_t seed) : random_(seed) {}

    std::string Event(const std::vector<std::string>& controls) {
        const int roll = Below(1000);
        if (roll < 2) {
            return Below(2) == 0 ? "close ViewBook" : "close Launch";
        }
        if (roll < 150) {
            return "key Right"; // on to the pages further in, which the other events leave
        }
        if (roll < 400) {
            return "click " + controls[static_cast<std::size_t>(Below(Size(controls)))];
        }
        if (roll < 550) {
            return "key " + std::string(kKeys[static_cast<std::size_t>(Below(Size(kKeys)))]);
        }
        if (roll < 570) {
            return "key " + std::to_string(100 + Below(156)); // any other virtual-key code
        }
        if (roll < 680) {
            return "char " +
                   std::string(kCharacters[static_cast<std::size_t>(Below(Size(kCharacters)))]);
        }
        // Mostly the short pauses of a reader clicking on; sometimes long enough for a
        // narration, a clip or a page script to play out.
        return "wait " + std::to_string(Below(10) == 0 ? Below(20000) : Below(700));
    }

private:
    template <typename List> static int Size(const List& list) {
        return static_cast<int>(list.size());
    }
    int Below(int limit) { return std::uniform_int_distribution<int>(0, limit - 1)(random_); }

    std::mt19937_64 random_;
};

} // namespace

std::vector<std::string> RandomEvents(std::uint64_t seed, std::size_t count,
                                      const std::vector<std::string>& controls) {
    Generator generator(seed);
    std::vector<std::string> events;
    events.reserve(count);
    for (std::size_t i = 0; i < count; ++i) {
        events.push_back(generator.Event(controls));
    }
    return events;
}

} // namespace tavelio::soak
