// Any bytes as a data object's ID-list array: rejected, or lists that all lie inside it.
#include "parse/IDListBytes.h"
#include "parse/ShellIDListArray.h"

#include <cstdlib>

namespace {

void CheckInside(TByteSpan list, TByteSpan block)
{
    if (list.data() < block.data() || list.data() + list.size() > block.data() + block.size() ||
        BoundedIDListSize(list) != list.size())
        std::abort();
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    const TByteSpan block(data, size);
    const auto array = ParseShellIDListArray(block);
    if (!array)
        return 0;
    CheckInside(array->Folder, block);
    for (const TByteSpan child : array->Children)
        CheckInside(child, block);
    return 0;
}
