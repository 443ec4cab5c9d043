#pragma once
// Walking an ID list whose bytes came from outside (a data object, the clipboard, a shell
// extension): every item must lie inside the bytes, hold at least its own size field, and the
// list must end with its two-byte terminator before the bytes do. A list that breaks a rule is
// rejected whole rather than walked past its end.
#include "parse/ByteSpan.h"

#include <vector>

// Size of an item's size field, and of the terminator.
constexpr std::size_t kIDListSizeField = 2;

// Bytes of the list at the start of `bytes`, terminator included; 0 when it is malformed.
std::size_t BoundedIDListSize(TByteSpan bytes);

// The items of the list, each with its size field; nothing when it is malformed.
std::optional<std::vector<TByteSpan>> BoundedIDListItems(TByteSpan bytes);
