#include "shell/WideStringBuilder.h"

#include <gtest/gtest.h>

#include <string>
#include <string_view>

// The buffer from its start through the terminator after Length().
static std::wstring_view Content(const TWideStringBuilder& builder)
{
    return std::wstring_view(builder.Buffer(), builder.Length() + 1);
}

TEST(WideStringBuilder, PlainAppendsConcatenateKeptTerminatorsSeparate)
{
    TWideStringBuilder plain;
    EXPECT_EQ(Content(plain), std::wstring_view(L"", 1));
    plain.AppendList({L"ab", L"", L"cd"});
    EXPECT_EQ(Content(plain), std::wstring_view(L"abcd", 5));
    EXPECT_EQ(plain.Allocated(), TWideStringBuilder::kDefaultGrowthStep);

    TWideStringBuilder kept(true);
    kept.AppendList({L"ab", L"c"});  // each zero, the empty text's zero, then the terminator
    EXPECT_EQ(Content(kept), std::wstring_view(L"ab\0c\0\0", 7));
}

TEST(WideStringBuilder, GrowsBeforeTheTerminatorWouldFillTheBuffer)
{
    // Three characters and a terminator need exactly 8 bytes: the buffer must still grow, so
    // that the zero after a kept terminator lies inside it.
    TWideStringBuilder builder(true, 8);
    builder.Append(L"abc");
    EXPECT_EQ(builder.Allocated(), 16u);
    EXPECT_EQ(Content(builder), std::wstring_view(L"abc\0", 5));

    TWideStringBuilder odd(false, 3);  // rounded up to whole characters
    odd.Append(L"start-");
    const std::wstring longText(1000, L'x');
    odd.Append(longText);
    EXPECT_EQ(odd.Allocated() % 4, 0u);
    EXPECT_EQ(std::wstring(odd.Buffer()), L"start-" + longText);
}
