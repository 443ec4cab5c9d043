#include "parse/IDListBytes.h"

namespace {

// Calls `visit(item)` for each item; the list's whole size, or 0 when it is malformed.
template <typename TVisit>
std::size_t WalkIDList(TByteSpan bytes, TVisit visit)
{
    std::size_t offset = 0;
    for (;;) {
        const std::optional<std::uint16_t> itemSize = ReadUInt16(bytes, offset);
        if (!itemSize)
            return 0;  // no terminator before the end
        if (*itemSize == 0)
            return offset + kIDListSizeField;
        // An item shorter than its size field would make the next one overlap it.
        if (*itemSize < kIDListSizeField || *itemSize > bytes.size() - offset)
            return 0;
        visit(bytes.subspan(offset, *itemSize));
        offset += *itemSize;
    }
}

}  // namespace

std::size_t BoundedIDListSize(TByteSpan bytes)
{
    return WalkIDList(bytes, [](TByteSpan) {});
}

std::optional<std::vector<TByteSpan>> BoundedIDListItems(TByteSpan bytes)
{
    std::vector<TByteSpan> items;
    if (WalkIDList(bytes, [&items](TByteSpan item) { items.push_back(item); }) == 0)
        return std::nullopt;
    return items;
}
