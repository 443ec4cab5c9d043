// Any bytes as a bookmark file: refused with a format error or read into a state that writes
// back to a file that reads the same.
#include "parse/BookmarkStreamFormat.h"

#include <cstdlib>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    TBookmarkListState state;
    try {
        state = ParseBookmarkStream(TByteSpan(data, size));
    } catch (const TFormatError&) {
        return 0;
    }
    const std::string written = WriteBookmarkStream(state);
    const TBookmarkListState again = ParseBookmarkStream(
        TByteSpan(reinterpret_cast<const std::uint8_t*>(written.data()), written.size()));
    if (WriteBookmarkStream(again) != written || again.Lines != state.Lines)
        std::abort();
    return 0;
}
