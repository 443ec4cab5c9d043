#pragma once
// The reparse data of a junction (mount point) or symbolic link as the file system returns
// it: an 8-byte header (tag, data length), the offsets and lengths of the substitute and print
// names, a flags word for symbolic links only, then the names' buffer. The substitute name must
// lie wholly inside both the data the header announces and the bytes returned.
#include "parse/ByteSpan.h"

#include <string>

constexpr std::uint32_t kReparseTagMountPoint = 0xA0000003;
constexpr std::uint32_t kReparseTagSymlink = 0xA000000C;

struct TReparseLink {
    bool SymbolicLink = false;
    // A symbolic link relative to its own folder.
    bool Relative = false;
    // The substitute name as stored ("\??\C:\x", "\??\UNC\server\share", or relative text).
    std::u16string Target;
};

// Nothing for other tags and for data that breaks a rule.
std::optional<TReparseLink> ParseReparseData(TByteSpan bytes);

// A stored target as a plain path: "\??\UNC\s\x" to "\\s\x", every "\??\" removed.
std::u16string PlainReparseTarget(std::u16string target);
