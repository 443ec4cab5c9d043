// Decoding a change report: events, image indexes, and lists that are refused.
#include "parse/ChangeReport.h"
#include "parse/ParseBytes.h"

#include <gtest/gtest.h>

TEST(ChangeReport, EventsComeFromTheFlagWithoutTheInterruptMark)
{
    for (int index = 0; index < neUnknown; ++index) {
        const auto event = static_cast<TNotificationEvent>(index);
        EXPECT_EQ(ReportEventOf(kReportFlags[index]), event);
        EXPECT_EQ(ReportEventOf(kReportFlags[index] | kReportInterruptFlag), event);
    }
    // Several flags at once, none, or all are no event of the table.
    for (std::uint32_t flag : {0x3u, 0x0u, 0x7FFFFFFFu, 0xFFFFFFFFu})
        EXPECT_EQ(ReportEventOf(flag), neUnknown) << flag;
}

TEST(ChangeReport, ImageIndexComesFromThePackedListOnlyWhenItHoldsOne)
{
    const TBytes packed = UInt16Bytes(10) + UInt32Bytes(42) + UInt32Bytes(0) + UInt16Bytes(0);
    const std::uint32_t image = kReportFlags[neImageListChange];
    const TChangeReport first = DecodeChangeReport(image, SpanOf(packed), {}, false);
    EXPECT_TRUE(first.HasImageIndex);
    EXPECT_EQ(first.ImageIndex, 42);
    EXPECT_EQ(first.First.size(), packed.size());
    const TChangeReport second = DecodeChangeReport(image, {}, SpanOf(packed), true);
    EXPECT_EQ(second.ImageIndex, 42);
    EXPECT_FALSE(DecodeChangeReport(image, SpanOf(packed), {}, true).HasImageIndex);

    const TBytes tooShortItem = UInt16Bytes(5) + UInt32Bytes(42);
    const TBytes cut = UInt16Bytes(10) + TBytes{42, 0};
    for (const TBytes& bytes : {tooShortItem, cut, TBytes{}})
        EXPECT_FALSE(DecodeChangeReport(image, SpanOf(bytes), {}, false).HasImageIndex);
}

TEST(ChangeReport, MalformedListsArePassedOnAsNone)
{
    const TBytes good = IDListBytes({{1, 2}, {3}});
    const TBytes unterminated(good.begin(), good.end() - 2);
    const std::uint32_t rename = kReportFlags[neFileRename];
    const TChangeReport report =
        DecodeChangeReport(rename, SpanOf(good), SpanOf(unterminated), false);
    EXPECT_EQ(report.Event, neFileRename);
    EXPECT_EQ(report.First.size(), good.size());
    EXPECT_TRUE(report.Second.empty());
    EXPECT_FALSE(report.HasImageIndex);
}
