#pragma once
// The bookmark file's contents (see parse/BookmarkStreamFormat.h) for the program: a file that
// cannot be read whole throws EBookmarkStreamError with the reason.
#include "core/Exception.h"
#include "parse/BookmarkStreamFormat.h"

#include <string>

class EBookmarkStreamError : public Exception {
public:
    using Exception::Exception;
};

TBookmarkListState ReadBookmarkStream(const std::string& bytes);
