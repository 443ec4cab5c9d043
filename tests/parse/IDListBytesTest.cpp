// ID lists from outside: well-formed lists are walked exactly, anything else is refused whole.
#include "parse/IDListBytes.h"
#include "parse/ParseBytes.h"
#include "parse/ShellIDListArray.h"

#include <gtest/gtest.h>

namespace {

const TBytes kTwoItems = IDListBytes({{1, 2, 3}, {4}});

}  // namespace

TEST(BoundedIDList, WellFormedListsAreMeasuredAndSplitExactly)
{
    EXPECT_EQ(BoundedIDListSize(SpanOf(UInt16Bytes(0))), 2u);
    EXPECT_EQ(BoundedIDListSize(SpanOf(kTwoItems)), 5u + 3u + 2u);
    // Bytes after the terminator are not the list's.
    EXPECT_EQ(BoundedIDListSize(SpanOf(kTwoItems + TBytes{9, 9, 9})), 10u);
    const auto items = BoundedIDListItems(SpanOf(kTwoItems));
    ASSERT_TRUE(items);
    ASSERT_EQ(items->size(), 2u);
    EXPECT_EQ((*items)[0].data(), kTwoItems.data());
    EXPECT_EQ((*items)[0].size(), 5u);
    EXPECT_EQ((*items)[1].size(), 3u);
}

TEST(BoundedIDList, MalformedListsAreRefusedWithoutReadingPastTheirEnd)
{
    struct TCase {
        const char* what;
        TBytes bytes;
    };
    const TCase cases[] = {
        {"no bytes", {}},
        {"half a size field", {0}},
        {"no terminator", TBytes(kTwoItems.begin(), kTwoItems.end() - 2)},
        {"half a terminator", TBytes(kTwoItems.begin(), kTwoItems.end() - 1)},
        {"an item longer than the bytes", UInt16Bytes(40) + TBytes{1, 2} + UInt16Bytes(0)},
        {"an item shorter than its size field", UInt16Bytes(1) + UInt16Bytes(0) + UInt16Bytes(0)},
        {"the largest item size", UInt16Bytes(0xFFFF) + UInt16Bytes(0)},
    };
    for (const TCase& c : cases) {
        // Each case in a block of its own size, so that a read past it is the sanitizers' to see.
        const TBytes bytes = c.bytes;
        EXPECT_EQ(BoundedIDListSize(SpanOf(bytes)), 0u) << c.what;
        EXPECT_FALSE(BoundedIDListItems(SpanOf(bytes))) << c.what;
    }
}

namespace {

// An array block: the count, the offsets, then the lists one after the other.
TBytes ArrayBytes(const std::vector<TBytes>& lists)
{
    TBytes head = UInt32Bytes(static_cast<std::uint32_t>(lists.size() - 1));
    std::uint32_t offset = static_cast<std::uint32_t>(4 + 4 * lists.size());
    TBytes body;
    for (const TBytes& list : lists) {
        head = head + UInt32Bytes(offset);
        offset += static_cast<std::uint32_t>(list.size());
        body = body + list;
    }
    return head + body;
}

}  // namespace

TEST(ShellIDListArray, GivesTheFolderAndEachChildInsideTheBlock)
{
    const TBytes folder = IDListBytes({{7, 7}});
    const TBytes block = ArrayBytes({folder, kTwoItems, IDListBytes({{5}})});
    const auto array = ParseShellIDListArray(SpanOf(block));
    ASSERT_TRUE(array);
    EXPECT_EQ(TBytes(array->Folder.begin(), array->Folder.end()), folder);
    ASSERT_EQ(array->Children.size(), 2u);
    EXPECT_EQ(TBytes(array->Children[0].begin(), array->Children[0].end()), kTwoItems);
    EXPECT_EQ(array->Children[1].size(), 5u);

    const auto desktopOnly = ParseShellIDListArray(SpanOf(ArrayBytes({UInt16Bytes(0)})));
    ASSERT_TRUE(desktopOnly);
    EXPECT_TRUE(desktopOnly->Children.empty());
}

TEST(ShellIDListArray, BlocksThatBreakARuleAreRefused)
{
    const TBytes good = ArrayBytes({IDListBytes({{7}}), kTwoItems});
    TBytes offsetPastEnd = good;
    offsetPastEnd[8] = 200;
    TBytes offsetIntoLastByte = good;
    offsetIntoLastByte[8] = static_cast<std::uint8_t>(good.size() - 1);
    const TBytes countTooLarge = UInt32Bytes(0xFFFFFFFF) + UInt32Bytes(8) + UInt16Bytes(0);
    const TBytes tableCut = UInt32Bytes(3) + UInt32Bytes(12) + UInt32Bytes(12);
    const TBytes childUnterminated = TBytes(good.begin(), good.end() - 1);
    for (const TBytes& block : {TBytes{}, TBytes{1, 0, 0}, offsetPastEnd, offsetIntoLastByte,
                                countTooLarge, tableCut, childUnterminated})
        EXPECT_FALSE(ParseShellIDListArray(SpanOf(block))) << block.size() << " bytes";
}
