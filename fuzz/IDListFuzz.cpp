// Any bytes as an ID list from outside: either rejected, or a list whose items tile it exactly
// up to its terminator.
#include "parse/IDListBytes.h"

#include <cstdlib>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    const TByteSpan bytes(data, size);
    const std::size_t listSize = BoundedIDListSize(bytes);
    const auto items = BoundedIDListItems(bytes);
    if (listSize == 0) {
        if (items)
            std::abort();
        return 0;
    }
    if (!items || listSize > size)
        std::abort();
    std::size_t offset = 0;
    for (const TByteSpan item : *items) {
        if (item.data() != data + offset || item.size() < kIDListSizeField)
            std::abort();
        offset += item.size();
    }
    if (offset + kIDListSizeField != listSize || data[offset] != 0 || data[offset + 1] != 0)
        std::abort();
    return 0;
}
