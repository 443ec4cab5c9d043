#pragma once
// The file names of a dropped or pasted data object (CF_HDROP, a DROPFILES block): a 20-byte
// header whose first field is the offset of the names and whose last tells wide from narrow
// text, then the names, each ended by a null, the list ended by an empty name. The list must
// end inside the block.
#include "parse/ByteSpan.h"

#include <string>
#include <vector>

struct TDropFileList {
    bool Wide = true;
    std::vector<std::u16string> WideNames;  // when Wide
    std::vector<std::string> NarrowNames;   // otherwise, in the system code page
};

constexpr std::size_t kDropFilesHeaderSize = 20;

// Nothing when the block breaks any rule.
std::optional<TDropFileList> ParseDropFileList(TByteSpan bytes);
