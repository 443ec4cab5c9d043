#pragma once
// Texts in the shell's logical order (CompareNames: "img2" before "img10"), quickly. Comparing
// two texts that way costs microseconds under Wine, too much for a sort of 100,000 names, so
// each text gets a key (its runs of digits as numbers, every other character as its rank among
// the characters present, by the locale's comparison ignoring case): keys compare byte by byte.
// A key only proposes the order; CompareNames confirms each neighbouring pair and has the last
// word where it disagrees.
#include <cstddef>
#include <string>
#include <vector>

// The keys of `texts`, in the same order.
std::vector<std::string> LogicalSortKeys(const std::vector<const std::wstring*>& texts);

// Puts order[first, last) in the order CompareNames gives the texts (`direction` 1 or -1; ties
// keep their order), where `texts[i]` is the text of index i. The range is expected sorted by
// the texts' keys in that direction: each neighbouring pair is confirmed, and only a range the
// keys got wrong is sorted again by CompareNames itself.
void ConfirmLogicalOrder(const std::vector<const std::wstring*>& texts, int direction,
                         std::vector<size_t>::iterator first, std::vector<size_t>::iterator last);
