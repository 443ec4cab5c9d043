#include "app/BookmarkStream.h"

#include "core/TextConversion.h"

TBookmarkListState ReadBookmarkStream(const std::string& bytes)
{
    try {
        return ParseBookmarkStream(
            TByteSpan(reinterpret_cast<const std::uint8_t*>(bytes.data()), bytes.size()));
    } catch (const TFormatError& e) {
        throw EBookmarkStreamError(NarrowToWide(e.what()));
    }
}
