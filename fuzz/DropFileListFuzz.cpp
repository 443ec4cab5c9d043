// Any bytes as a dropped file list: rejected, or names that are neither empty nor hold a null.
#include "parse/DropFileList.h"

#include <cstdlib>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    const auto list = ParseDropFileList(TByteSpan(data, size));
    if (!list)
        return 0;
    if (!list->Wide && !list->WideNames.empty())
        std::abort();
    for (const std::u16string& name : list->WideNames)
        if (name.empty() || name.find(u'\0') != std::u16string::npos)
            std::abort();
    for (const std::string& name : list->NarrowNames)
        if (name.empty() || name.find('\0') != std::string::npos)
            std::abort();
    return 0;
}
