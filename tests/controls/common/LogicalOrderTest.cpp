// The quick logical order of texts: its keys and their confirmation give the order of the
// shell's own logical comparison (CompareNames), in both directions.
#include "controls/common/LogicalOrder.h"

#include "shell/PathUtils.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <numeric>
#include <string>
#include <vector>

namespace {

std::string Narrow(const std::wstring& text)
{
    std::string narrow;
    for (const wchar_t character : text)
        narrow += character < 0x80 ? static_cast<char>(character) : '?';
    return narrow;
}

// Sorts the texts as the list does: by key, then confirmed.
std::vector<size_t> LogicalOrder(const std::vector<std::wstring>& texts, int direction)
{
    std::vector<const std::wstring*> pointers;
    for (const std::wstring& text : texts)
        pointers.push_back(&text);
    const std::vector<std::string> keys = LogicalSortKeys(pointers);
    std::vector<size_t> order(texts.size());
    std::iota(order.begin(), order.end(), size_t{0});
    std::stable_sort(order.begin(), order.end(), [&](size_t one, size_t other) {
        return direction > 0 ? keys[one] < keys[other] : keys[other] < keys[one];
    });
    ConfirmLogicalOrder(pointers, direction, order.begin(), order.end());
    return order;
}

struct TTextsCase {
    const char* name;
    std::vector<std::wstring> texts;
};

TEST(LogicalOrderTest, GivesTheOrderOfTheShellsLogicalComparison)
{
    const TTextsCase cases[] = {
        {"numbers in names",
         {L"img10.png", L"img2.png", L"img1.png", L"img100.png", L"img02.png", L"IMG3.png"}},
        {"numbers first and alone", {L"10", L"9", L"a", L"1a", L"a1", L"", L"0", L"00"}},
        {"case, accents and punctuation",
         {L"b", L"A", L"a", L"\u00e4", L"x-y", L"xy", L"x y", L"_x", L"~x", L"Z", L"\u00c9"}},
        {"several numbers", {L"v1.10.2", L"v1.9.10", L"v1.9.9", L"v10", L"v1.10", L"v1"}},
        {"long numbers",
         {L"n4294967297", L"n2", L"n99999999999999999999", L"n100000000000000000000", L"n3"}},
        {"equal texts", {L"same", L"Same", L"same", L"SAME"}},
    };
    for (const TTextsCase& row : cases)
        for (const int direction : {1, -1}) {
            SCOPED_TRACE(std::string(row.name) + (direction > 0 ? " ascending" : " descending"));
            const std::vector<size_t> order = LogicalOrder(row.texts, direction);
            std::vector<size_t> sorted = order;
            std::sort(sorted.begin(), sorted.end());
            std::vector<size_t> all(row.texts.size());
            std::iota(all.begin(), all.end(), size_t{0});
            ASSERT_EQ(sorted, all);
            for (size_t place = 1; place < order.size(); ++place) {
                const std::wstring& before = row.texts[order[place - 1]];
                const std::wstring& after = row.texts[order[place]];
                EXPECT_LE(CompareNames(before, after) * direction, 0)
                    << Narrow(before) << " before " << Narrow(after);
            }
        }
}

TEST(LogicalOrderTest, ConfirmationMendsAnOrderTheKeysGotWrong)
{
    const std::vector<std::wstring> texts{L"img10", L"img2", L"img1"};
    std::vector<const std::wstring*> pointers;
    for (const std::wstring& text : texts)
        pointers.push_back(&text);
    // The plain order of the characters, as a key made without numbers would give it.
    std::vector<size_t> order{2, 0, 1};
    ConfirmLogicalOrder(pointers, 1, order.begin(), order.end());
    EXPECT_EQ(order, (std::vector<size_t>{2, 1, 0}));
}

}  // namespace
