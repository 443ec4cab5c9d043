// Any ten bookmark lines, with any bytes in them: written as a bookmark file, they read back
// as the same lines.
#include "parse/BookmarkStreamFormat.h"

#include <algorithm>
#include <cstdlib>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    // Each line is a length byte and that many bytes (as many as are left); lines the input
    // runs out before stay empty.
    TBookmarkListState state;
    state.Lines.assign(10, std::string());
    std::size_t at = 0;
    for (std::string& line : state.Lines) {
        if (at >= size)
            break;
        const std::size_t wanted = data[at];
        ++at;
        const std::size_t length = std::min(wanted, size - at);
        line.assign(reinterpret_cast<const char*>(data + at), length);
        at += length;
    }
    const std::string written = WriteBookmarkStream(state);
    TBookmarkListState read;
    try {
        read = ParseBookmarkStream(
            TByteSpan(reinterpret_cast<const std::uint8_t*>(written.data()), written.size()));
    } catch (const TFormatError&) {
        std::abort();  // what the program wrote, it must read
    }
    if (read.Lines != state.Lines)
        std::abort();
    return 0;
}
