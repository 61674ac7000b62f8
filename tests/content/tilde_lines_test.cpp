#include "content/tilde_lines.h"

#include <gtest/gtest.h>
#include <string>
#include <vector>

namespace tavelio {
namespace {

struct SplitCase {
    std::string text;
    std::vector<std::string> lines;
};

class SplitTildeLinesTest : public ::testing::TestWithParam<SplitCase> {};

TEST_P(SplitTildeLinesTest, GivesTheLines) {
    EXPECT_EQ(SplitTildeLines(GetParam().text), GetParam().lines)
        << "text: \"" << GetParam().text << "\"";
}

INSTANTIATE_TEST_SUITE_P(
    Cases, SplitTildeLinesTest,
    ::testing::Values(
        SplitCase{"", {}}, SplitCase{" ", {" "}}, SplitCase{"~", {""}}, SplitCase{"~~", {"", ""}},
        SplitCase{"one", {"one"}}, SplitCase{"one~", {"one"}}, SplitCase{"one~~", {"one", ""}},
        SplitCase{"~one", {"", "one"}}, SplitCase{"one~two", {"one", "two"}},
        SplitCase{"one~two~", {"one", "two"}},
        // The designed instructions: two tildes between the sentences give the blank lines.
        SplitCase{"Listen.~~Repeat.~~Spell and read.",
                  {"Listen.", "", "Repeat.", "", "Spell and read."}},
        // Nothing is trimmed or translated.
        SplitCase{" a ~\r\n~b\t", {" a ", "\r\n", "b\t"}},
        SplitCase{std::string("a\0b~c", 5), {std::string("a\0b", 3), "c"}}));

} // namespace
} // namespace tavelio
