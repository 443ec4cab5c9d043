#include "parse/ShellIDListArray.h"

#include "parse/IDListBytes.h"

namespace {

// The whole list at `offset` of the block; nothing when it does not end inside.
std::optional<TByteSpan> ListAt(TByteSpan block, std::uint32_t offset)
{
    if (offset >= block.size())
        return std::nullopt;
    const TByteSpan rest = block.subspan(offset);
    const std::size_t size = BoundedIDListSize(rest);
    if (size == 0)
        return std::nullopt;
    return rest.first(size);
}

}  // namespace

std::optional<TShellIDListArray> ParseShellIDListArray(TByteSpan bytes)
{
    const std::optional<std::uint32_t> count = ReadUInt32(bytes, 0);
    if (!count)
        return std::nullopt;
    // The offset table alone must fit before anything is allocated for it.
    const std::uint64_t tableEnd = 4 + (static_cast<std::uint64_t>(*count) + 1) * 4;
    if (tableEnd > bytes.size())
        return std::nullopt;
    TShellIDListArray result;
    const std::optional<TByteSpan> folder = ListAt(bytes, *ReadUInt32(bytes, 4));
    if (!folder)
        return std::nullopt;
    result.Folder = *folder;
    result.Children.reserve(*count);
    for (std::uint32_t index = 1; index <= *count; ++index) {
        const std::optional<TByteSpan> child = ListAt(bytes, *ReadUInt32(bytes, 4 + 4 * index));
        if (!child)
            return std::nullopt;
        result.Children.push_back(*child);
    }
    return result;
}
