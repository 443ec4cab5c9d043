#pragma once
// The shell's ID-list array (the "Shell IDList Array" clipboard format, CIDA) of a dropped or
// pasted data object: a count, then count + 1 offsets from the start of the block, the first
// to the folder's absolute list and the others to the objects' lists relative to it. Every
// offset must fall inside the block and every list must end inside it.
#include "parse/ByteSpan.h"

#include <vector>

struct TShellIDListArray {
    TByteSpan Folder;                 // the parent folder's list, terminator included
    std::vector<TByteSpan> Children;  // each child's list, terminator included
};

// Nothing when the block breaks any rule.
std::optional<TShellIDListArray> ParseShellIDListArray(TByteSpan bytes);
