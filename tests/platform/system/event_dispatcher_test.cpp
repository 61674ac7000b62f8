#include "platform/system/error_box_fakes.h"
#include "platform/system/event_dispatcher.h"

#include <filesystem>
#include <gmock/gmock.h>
#include <gtest/gtest.h>

namespace tavelio {
namespace {

using ::testing::ElementsAre;
using ::testing::HasSubstr;

// An exception outside the program's own family ends its handler with an error box, as the
// program's own errors do, and the next handler runs as usual.
TEST(EventDispatcherTest, ForeignExceptionEndsOnlyItsHandlerWithAnErrorBox) {
    RecordingErrorBox box;
    EventDispatcher dispatcher(box);
    bool nextHandlerRan = false;

    // /dev/null is not a folder: opening it for a walk raises std::filesystem::filesystem_error.
    dispatcher.Run([] { std::filesystem::directory_iterator entries("/dev/null"); });
    dispatcher.Run([] { throw 42; });
    dispatcher.Run([&] { nextHandlerRan = true; });

    EXPECT_THAT(box.Texts(), ElementsAre(HasSubstr("/dev/null"), "Unexpected error."));
    EXPECT_TRUE(nextHandlerRan);
}

} // namespace
} // namespace tavelio
