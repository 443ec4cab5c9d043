#include "parse/DropFileList.h"

namespace {

constexpr std::size_t kWideFlagOffset = 16;

// Splits null-ended names of `unit`-byte characters until the empty name; false when the
// bytes end first.
template <typename TText>
bool SplitNames(TByteSpan names, std::vector<TText>& result)
{
    constexpr std::size_t unit = sizeof(typename TText::value_type);
    TText name;
    for (std::size_t offset = 0; names.size() - offset >= unit; offset += unit) {
        typename TText::value_type c = 0;
        for (std::size_t i = 0; i < unit; ++i)
            c = static_cast<typename TText::value_type>(c | (names[offset + i] << (8 * i)));
        if (c != 0) {
            name += c;
            continue;
        }
        if (name.empty())
            return true;
        result.push_back(std::move(name));
        name.clear();
    }
    return false;
}

}  // namespace

std::optional<TDropFileList> ParseDropFileList(TByteSpan bytes)
{
    const std::optional<std::uint32_t> namesOffset = ReadUInt32(bytes, 0);
    const std::optional<std::uint32_t> wide = ReadUInt32(bytes, kWideFlagOffset);
    if (!namesOffset || !wide || *namesOffset < kDropFilesHeaderSize || *namesOffset > bytes.size())
        return std::nullopt;
    TDropFileList result;
    result.Wide = *wide != 0;
    const TByteSpan names = bytes.subspan(*namesOffset);
    const bool ended =
        result.Wide ? SplitNames(names, result.WideNames) : SplitNames(names, result.NarrowNames);
    if (!ended)
        return std::nullopt;
    return result;
}
