#pragma once
// Builders for the byte layouts the parsers read, so that a case states its bytes by their
// parts rather than as hex.
#include "parse/ByteSpan.h"

#include <initializer_list>
#include <string>
#include <vector>

using TBytes = std::vector<std::uint8_t>;

inline TBytes operator+(TBytes first, const TBytes& second)
{
    first.insert(first.end(), second.begin(), second.end());
    return first;
}

inline TBytes UInt16Bytes(std::uint16_t value)
{
    return {static_cast<std::uint8_t>(value), static_cast<std::uint8_t>(value >> 8)};
}

inline TBytes UInt32Bytes(std::uint32_t value)
{
    return UInt16Bytes(static_cast<std::uint16_t>(value)) +
           UInt16Bytes(static_cast<std::uint16_t>(value >> 16));
}

inline TBytes TextBytes(const std::string& text)
{
    return TBytes(text.begin(), text.end());
}

inline TBytes WideBytes(const std::u16string& text)
{
    TBytes bytes;
    for (const char16_t c : text)
        bytes = bytes + UInt16Bytes(c);
    return bytes;
}

// An ID list: each payload behind its size field, then the terminator.
inline TBytes IDListBytes(std::initializer_list<TBytes> payloads)
{
    TBytes bytes;
    for (const TBytes& payload : payloads)
        bytes = bytes + UInt16Bytes(static_cast<std::uint16_t>(payload.size() + 2)) + payload;
    return bytes + UInt16Bytes(0);
}

inline TByteSpan SpanOf(const TBytes& bytes)
{
    return TByteSpan(bytes.data(), bytes.size());
}
