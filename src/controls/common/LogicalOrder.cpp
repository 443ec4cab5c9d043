#include "controls/common/LogicalOrder.h"

#include "shell/PathUtils.h"

#include <windows.h>

#include <algorithm>
#include <cstdint>

namespace {

constexpr char kNumberMark = 2;  // a run of digits sorts before any other character
constexpr char kCharacterMark = 3;

bool IsDigit(wchar_t character) noexcept
{
    return character >= L'0' && character <= L'9';
}

// Rank (from 1) of every character other than a digit that occurs in the texts, in the order
// the locale compares single characters ignoring case; equal characters share a rank.
std::vector<uint16_t> CharacterRanks(const std::vector<const std::wstring*>& texts)
{
    std::vector<uint16_t> ranks(0x10000, 0);
    std::vector<wchar_t> present;
    for (const std::wstring* text : texts)
        for (const wchar_t character : *text)
            if (!IsDigit(character) && ranks[character] == 0) {
                ranks[character] = 1;
                present.push_back(character);
            }
    const LCID locale = GetThreadLocale();
    auto compare = [locale](wchar_t first, wchar_t second) {
        return CompareStringW(locale, NORM_IGNORECASE, &first, 1, &second, 1) - CSTR_EQUAL;
    };
    std::stable_sort(present.begin(), present.end(),
                     [&](wchar_t first, wchar_t second) { return compare(first, second) < 0; });
    uint16_t rank = 0;
    for (size_t index = 0; index < present.size(); ++index) {
        if (index == 0 || compare(present[index - 1], present[index]) != 0)
            ++rank;
        ranks[present[index]] = rank;
    }
    return ranks;
}

}  // namespace

std::vector<std::string> LogicalSortKeys(const std::vector<const std::wstring*>& texts)
{
    const std::vector<uint16_t> ranks = CharacterRanks(texts);
    std::vector<std::string> keys;
    keys.reserve(texts.size());
    for (const std::wstring* text : texts) {
        std::string key;
        key.reserve(text->size() * 3);
        for (size_t at = 0; at < text->size();) {
            const wchar_t character = (*text)[at];
            if (!IsDigit(character)) {
                key += kCharacterMark;
                key += static_cast<char>(ranks[character] >> 8);
                key += static_cast<char>(ranks[character] & 0xFF);
                ++at;
                continue;
            }
            // A number: its digits without leading zeros, after their count, so that a
            // longer number sorts after a shorter one.
            size_t end = at;
            while (end < text->size() && IsDigit((*text)[end]))
                ++end;
            size_t start = at;
            while (start + 1 < end && (*text)[start] == L'0')
                ++start;
            const size_t digits = end - start;
            key += kNumberMark;
            key += static_cast<char>((digits >> 8) & 0xFF);
            key += static_cast<char>(digits & 0xFF);
            for (size_t digit = start; digit < end; ++digit)
                key += static_cast<char>((*text)[digit]);
            at = end;
        }
        keys.push_back(std::move(key));
    }
    return keys;
}

void ConfirmLogicalOrder(const std::vector<const std::wstring*>& texts, int direction,
                         std::vector<size_t>::iterator first, std::vector<size_t>::iterator last)
{
    if (last - first < 2)
        return;
    bool confirmed = true;
    for (auto at = first + 1; at != last && confirmed; ++at) {
        const std::wstring& before = *texts[*(at - 1)];
        const std::wstring& after = *texts[*at];
        confirmed = before == after || CompareNames(before, after) * direction <= 0;
    }
    if (confirmed)
        return;
    std::stable_sort(first, last, [&](size_t one, size_t other) {
        return CompareNames(*texts[one], *texts[other]) * direction < 0;
    });
}
