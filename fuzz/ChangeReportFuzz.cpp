// Any bytes as a change report: four bytes of flag, one of which list carries the image
// index, then the two lists' bytes split at a length byte. Decoding never reads outside them.
#include "parse/ChangeReport.h"
#include "parse/IDListBytes.h"

#include <algorithm>
#include <cstdlib>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    const TByteSpan bytes(data, size);
    const std::optional<std::uint32_t> flag = ReadUInt32(bytes, 0);
    if (!flag || size < 6)
        return 0;
    const bool indexInSecond = (data[4] & 1) != 0;
    const TByteSpan lists = bytes.subspan(6);
    const std::size_t split = std::min<std::size_t>(data[5], lists.size());
    const TChangeReport report =
        DecodeChangeReport(*flag, lists.first(split), lists.subspan(split), indexInSecond);
    if (report.Event < 0 || report.Event > neUnknown ||
        (report.Event != neUnknown && kReportFlags[report.Event] != report.Flag))
        std::abort();
    if (report.HasImageIndex && report.Event != neImageListChange)
        std::abort();
    if (report.First.size() > split || report.Second.size() > lists.size() - split ||
        (!report.First.empty() && BoundedIDListSize(report.First) != report.First.size()))
        std::abort();
    return 0;
}
