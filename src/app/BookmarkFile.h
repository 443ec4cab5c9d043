#pragma once
// Reading and writing the bookmark file. A file that cannot be read whole is never written
// over: one whose content is not a bookmark list is moved aside under a free name beside it;
// one that cannot be opened or read just now (in use, no access) is left where it is. The
// caller is told so, to tell the user once. Writing goes to a temporary file beside the target that
// replaces it only when it is complete; a failure throws Exception with the reason, leaving the old
// file.
#include "app/BookmarkStream.h"

#include <string>

enum class TBookmarkLoad {
    blMissing,     // no file: the initial lines
    blLoaded,      // the file's values
    blKeptAside,   // unreadable, moved to KeptAs; the initial lines
    blUnreadable,  // unreadable and still in place (it could not be moved): do not write
    blNotRead,     // could not be opened or read (in use, no access): left alone, do not write
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
