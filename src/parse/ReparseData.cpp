#include "parse/ReparseData.h"

#include <algorithm>

namespace {

constexpr std::size_t kHeaderSize = 8;
constexpr std::size_t kMountPointPathBuffer = kHeaderSize + 8;
constexpr std::size_t kSymlinkPathBuffer = kMountPointPathBuffer + 4;
constexpr std::uint32_t kSymlinkFlagRelative = 1;

bool StartsWith(const std::u16string& text, const std::u16string& prefix)
{
    return text.compare(0, prefix.size(), prefix) == 0;
}

}  // namespace

std::optional<TReparseLink> ParseReparseData(TByteSpan bytes)
{
    const std::optional<std::uint32_t> tag = ReadUInt32(bytes, 0);
    const std::optional<std::uint16_t> dataLength = ReadUInt16(bytes, 4);
    if (!tag || !dataLength || (*tag != kReparseTagMountPoint && *tag != kReparseTagSymlink))
        return std::nullopt;
    TReparseLink link;
    link.SymbolicLink = *tag == kReparseTagSymlink;
    // What the header announces, never more than what came.
    const TByteSpan data = bytes.first(std::min(bytes.size(), kHeaderSize + *dataLength));
    const std::size_t pathBuffer = link.SymbolicLink ? kSymlinkPathBuffer : kMountPointPathBuffer;
    const std::optional<std::uint16_t> nameOffset = ReadUInt16(data, kHeaderSize);
    const std::optional<std::uint16_t> nameLength = ReadUInt16(data, kHeaderSize + 2);
    if (!nameOffset || !nameLength || data.size() < pathBuffer || *nameLength % 2 != 0)
        return std::nullopt;
    const std::size_t nameStart = pathBuffer + *nameOffset;
    if (nameStart > data.size() || *nameLength > data.size() - nameStart)
        return std::nullopt;
    if (link.SymbolicLink)
        link.Relative = (*ReadUInt32(data, kMountPointPathBuffer) & kSymlinkFlagRelative) != 0;
    link.Target.reserve(*nameLength / 2);
    for (std::size_t at = nameStart; at < nameStart + *nameLength; at += 2)
        link.Target += static_cast<char16_t>(*ReadUInt16(data, at));
    return link;
}

std::u16string PlainReparseTarget(std::u16string target)
{
    if (StartsWith(target, u"\\??\\UNC\\"))
        target = u"\\\\" + target.substr(8);
    const std::u16string prefix = u"\\??\\";
    // A removal can join the text around it into a new prefix: look again just before it.
    for (std::size_t at = 0; (at = target.find(prefix, at)) != std::u16string::npos;) {
        target.erase(at, prefix.size());
        at = at >= prefix.size() - 1 ? at - (prefix.size() - 1) : 0;
    }
    return target;
}
