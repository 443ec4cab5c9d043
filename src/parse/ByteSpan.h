#pragma once
// Bytes that came from outside the program (a file, a data object, the file system), read
// with every offset checked against their end. Plain C++: no system headers, so that the
// parsers built on it also compile and get fuzzed natively.
#include <cstddef>
#include <cstdint>
#include <optional>
#include <span>

using TByteSpan = std::span<const std::uint8_t>;

// Little-endian unsigned numbers at `offset`; nothing when they do not lie wholly inside.
inline std::optional<std::uint16_t> ReadUInt16(TByteSpan bytes, std::size_t offset)
{
    if (offset > bytes.size() || bytes.size() - offset < 2)
        return std::nullopt;
    return static_cast<std::uint16_t>(bytes[offset] | (bytes[offset + 1] << 8));
}

inline std::optional<std::uint32_t> ReadUInt32(TByteSpan bytes, std::size_t offset)
{
    if (offset > bytes.size() || bytes.size() - offset < 4)
        return std::nullopt;
    std::uint32_t value = 0;
    for (std::size_t i = 0; i < 4; ++i)
        value |= static_cast<std::uint32_t>(bytes[offset + i]) << (8 * i);
    return value;
}
