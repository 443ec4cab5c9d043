// Any bytes as reparse data: rejected, or a target no longer than the data it came from.
#include "parse/ReparseData.h"

#include <cstdlib>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    const auto link = ParseReparseData(TByteSpan(data, size));
    if (!link)
        return 0;
    if (link->Target.size() * 2 > size || (link->Relative && !link->SymbolicLink))
        std::abort();
    const std::u16string plain = PlainReparseTarget(link->Target);
    if (plain.size() > link->Target.size() || plain.find(u"\\??\\") != std::u16string::npos)
        std::abort();
    return 0;
}
