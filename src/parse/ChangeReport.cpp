#include "parse/ChangeReport.h"

#include "parse/IDListBytes.h"

TNotificationEvent ReportEventOf(std::uint32_t shellFlag)
{
    const std::uint32_t flag = shellFlag & ~kReportInterruptFlag;
    for (int index = 0; index < neUnknown; ++index)
        if (kReportFlags[index] == flag)
            return static_cast<TNotificationEvent>(index);
    return neUnknown;
}

TChangeReport DecodeChangeReport(std::uint32_t shellFlag, TByteSpan first, TByteSpan second,
                                 bool indexInSecond)
{
    TChangeReport report;
    report.Flag = shellFlag & ~kReportInterruptFlag;
    report.Event = ReportEventOf(report.Flag);
    if (report.Event == neImageListChange) {
        // The packed list: its size, at least covering the number that follows it.
        const TByteSpan packed = indexInSecond ? second : first;
        const std::optional<std::uint16_t> size = ReadUInt16(packed, 0);
        const std::optional<std::uint32_t> index = ReadUInt32(packed, kIDListSizeField);
        if (size && index && *size >= kIDListSizeField + 4) {
            report.HasImageIndex = true;
            report.ImageIndex = static_cast<int>(*index);
        }
    }
    report.First = first.first(BoundedIDListSize(first));
    report.Second = second.first(BoundedIDListSize(second));
    return report;
}
