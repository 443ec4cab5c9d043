// Reparse data of junctions and symbolic links: targets, and data that is refused.
#include "parse/ReparseData.h"
#include "parse/ParseBytes.h"

#include <gtest/gtest.h>

namespace {

// The data as the file system returns it; the substitute name first, the print name after.
TBytes ReparseBytes(std::uint32_t tag, const std::u16string& target, std::uint32_t flags = 0)
{
    const TBytes name = WideBytes(target);
    const auto length = static_cast<std::uint16_t>(name.size());
    TBytes body = UInt16Bytes(0) + UInt16Bytes(length) + UInt16Bytes(length) + UInt16Bytes(0);
    if (tag == kReparseTagSymlink)
        body = body + UInt32Bytes(flags);
    body = body + name;
    return UInt32Bytes(tag) + UInt16Bytes(static_cast<std::uint16_t>(body.size())) +
           UInt16Bytes(0) + body;
}

}  // namespace

TEST(ReparseData, JunctionsAndSymbolicLinksGiveTheirTargets)
{
    const auto junction =
        ParseReparseData(SpanOf(ReparseBytes(kReparseTagMountPoint, u"\\??\\C:\\x")));
    ASSERT_TRUE(junction);
    EXPECT_FALSE(junction->SymbolicLink);
    EXPECT_EQ(PlainReparseTarget(junction->Target), u"C:\\x");

    const auto unc = ParseReparseData(SpanOf(ReparseBytes(kReparseTagSymlink, u"\\??\\UNC\\s\\x")));
    ASSERT_TRUE(unc);
    EXPECT_TRUE(unc->SymbolicLink);
    EXPECT_FALSE(unc->Relative);
    EXPECT_EQ(PlainReparseTarget(unc->Target), u"\\\\s\\x");

    const auto relative = ParseReparseData(SpanOf(ReparseBytes(kReparseTagSymlink, u"..\\y", 1)));
    ASSERT_TRUE(relative);
    EXPECT_TRUE(relative->Relative);
    EXPECT_EQ(relative->Target, u"..\\y");
}

TEST(ReparseData, PrefixesAreRemovedEvenWhereARemovalFormsANewOne)
{
    EXPECT_EQ(PlainReparseTarget(u"C:\\plain"), u"C:\\plain");
    EXPECT_EQ(PlainReparseTarget(u"\\??\\C:\\a\\??\\b"), u"C:\\ab");
    // Taking out the inner prefix joins "\" and "??\" into another.
    EXPECT_EQ(PlainReparseTarget(u"\\\\??\\??\\C:\\x"), u"C:\\x");
}

TEST(ReparseData, DataThatBreaksARuleIsRefused)
{
    const TBytes junction = ReparseBytes(kReparseTagMountPoint, u"\\??\\C:\\x");
    TBytes otherTag = junction;
    otherTag[0] = 0x17;
    TBytes nameTooLong = junction;
    nameTooLong[10] = 0x40;
    TBytes nameOffsetPast = junction;
    nameOffsetPast[8] = 0xF0;
    TBytes oddLength = junction;
    oddLength[10] = 3;
    TBytes headerShort = junction;  // the header announces less than the name needs
    headerShort[4] = 10;
    // A junction's layout under the symbolic-link tag: its name runs four bytes past the data.
    TBytes symlinkCut = junction;
    symlinkCut[0] = 0x0C;
    const TBytes headerOnly(junction.begin(), junction.begin() + 8);
    for (const TBytes& bytes : {TBytes{}, headerOnly, otherTag, nameTooLong, nameOffsetPast,
                                oddLength, headerShort, symlinkCut})
        EXPECT_FALSE(ParseReparseData(SpanOf(bytes))) << bytes.size() << " bytes";
}
