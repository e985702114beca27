// Tests of the STRMAP lookup on its text.
#include "base/strmap.h"

#include <gtest/gtest.h>

#include <string>

namespace {

unsigned lookup(const std::string &text, const char *key)
{
    return findStrmapId(text.data(), text.size(), key);
}

TEST(StrmapTest, KeysAndIdsLineByLine)
{
    const std::string text = "A=1\r\n==B=2\rC=\nD\n\nA=9\nE=7";
    EXPECT_EQ(1u, lookup(text, "A"));   // the first match wins
    EXPECT_EQ(2u, lookup(text, "B"));   // leading '=' skipped
    EXPECT_EQ(0u, lookup(text, "C"));   // no digits
    EXPECT_EQ(0u, lookup(text, "D"));   // no '='
    EXPECT_EQ(7u, lookup(text, "E"));   // last line without its end
    EXPECT_EQ(0u, lookup(text, "a"));
    EXPECT_EQ(0u, lookup(text, ""));
    // The size bounds the text, not a NUL.
    EXPECT_EQ(0u, lookup(std::string("X=5", 2), "X"));
    EXPECT_EQ(3u, lookup(std::string("\0Y=3", 4), "Y"));
}

TEST(StrmapTest, LongLinesAreCut)
{
    const std::string longKey(600, 'K');
    const std::string text = longKey + "=5\nAFTER=4\n" + std::string(kStrmapLineSize - 2, 'L') + "=6\n";
    EXPECT_EQ(0u, lookup(text, longKey.c_str()));
    EXPECT_EQ(4u, lookup(text, "AFTER"));
    EXPECT_EQ(0u, lookup(text, std::string(kStrmapLineSize - 2, 'L').c_str()));  // "=6" cut to "="
}

}  // namespace
