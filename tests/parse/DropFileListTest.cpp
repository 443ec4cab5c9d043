// File-name lists of dropped and pasted data: wide and narrow names, and blocks refused.
#include "parse/DropFileList.h"
#include "parse/ParseBytes.h"

#include <gtest/gtest.h>

namespace {

TBytes Header(std::uint32_t namesOffset, bool wide)
{
    // Names offset, drop point, non-client flag, wide flag.
    return UInt32Bytes(namesOffset) + UInt32Bytes(5) + UInt32Bytes(6) + UInt32Bytes(0) +
           UInt32Bytes(wide ? 1 : 0);
}

}  // namespace

TEST(DropFileList, ReadsWideAndNarrowNames)
{
    const std::u16string outside = u"C:\\d\\\u00e9\U0001F600.txt";
    const TBytes wide = Header(20, true) + WideBytes(u"C:\\a.txt") + UInt16Bytes(0) +
                        WideBytes(outside) + UInt16Bytes(0) + UInt16Bytes(0);
    const auto wideList = ParseDropFileList(SpanOf(wide));
    ASSERT_TRUE(wideList);
    EXPECT_TRUE(wideList->Wide);
    EXPECT_EQ(wideList->WideNames, (std::vector<std::u16string>{u"C:\\a.txt", outside}));

    // Names may start past the header.
    const TBytes narrow = Header(24, false) + TBytes{0, 0, 0, 0} + TextBytes("C:\\a.txt") +
                          TBytes{0} + TextBytes("b") + TBytes{0, 0};
    const auto narrowList = ParseDropFileList(SpanOf(narrow));
    ASSERT_TRUE(narrowList);
    EXPECT_FALSE(narrowList->Wide);
    EXPECT_EQ(narrowList->NarrowNames, (std::vector<std::string>{"C:\\a.txt", "b"}));

    const auto none = ParseDropFileList(SpanOf(Header(20, true) + UInt16Bytes(0)));
    ASSERT_TRUE(none);
    EXPECT_TRUE(none->WideNames.empty());
}

TEST(DropFileList, BlocksThatBreakARuleAreRefused)
{
    const TBytes name = WideBytes(u"C:\\a.txt") + UInt16Bytes(0);
    const TBytes header = Header(20, true);
    struct TCase {
        const char* what;
        TBytes bytes;
    };
    const TCase cases[] = {
        {"a cut header", TBytes(header.begin(), header.end() - 1)},
        {"names inside the header", Header(8, true) + name + UInt16Bytes(0)},
        {"names past the end", Header(400, true) + name + UInt16Bytes(0)},
        {"no empty name at the end", Header(20, true) + name},
        {"a name without its null", Header(20, true) + WideBytes(u"C:\\a.txt")},
        {"half a wide character", Header(20, true) + name + TBytes{0}},
        {"narrow names without the end", Header(20, false) + TextBytes("a") + TBytes{0}},
    };
    for (const TCase& c : cases) {
        const TBytes bytes = c.bytes;
        EXPECT_FALSE(ParseDropFileList(SpanOf(bytes))) << c.what;
    }
}
