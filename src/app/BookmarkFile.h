#pragma once
// Reading and writing the bookmark file. A file that cannot be read whole is never written
// over: it is moved aside under a free name beside it, and the caller is told so (once) to
// tell the user. Writing goes to a temporary file beside the target that replaces it only
// when it is complete; a failure throws Exception with the reason, leaving the old file.
#include "app/BookmarkStream.h"

#include <string>

enum class TBookmarkLoad {
    blMissing,     // no file: the initial lines
    blLoaded,      // the file's values
    blKeptAside,   // unreadable, moved to KeptAs; the initial lines
    blUnreadable,  // unreadable and still in place (it could not be moved): do not write
};

struct TBookmarkReadResult {
    TBookmarkLoad Status = TBookmarkLoad::blMissing;
    TBookmarkListState State;
    std::wstring Problem;  // why the file could not be read
    std::wstring KeptAs;   // where it went
};

// Files larger than this are not bookmark lists.
constexpr size_t kMaxBookmarkFileSize = 1 << 20;

TBookmarkReadResult LoadBookmarkFile(const std::wstring& fileName);
void SaveBookmarkFile(const std::wstring& fileName, const TBookmarkListState& state);
// The message the user sees for a read result other than blMissing and blLoaded.
std::wstring BookmarkProblemText(const std::wstring& fileName, const TBookmarkReadResult& result);
