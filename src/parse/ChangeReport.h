#pragma once
// A shell change report as the notifier receives it: an event flag and two ID lists, where an
// image-list report packs the image index into a list of its own (a size, then the number).
#include "parse/ByteSpan.h"

enum TNotificationEvent {
    neAssociationChange,
    neAttributesChange,
    neFileChange,
    neFileCreate,
    neFileDelete,
    neFileRename,
    neDriveAdd,
    neDriveRemove,
    neShellDriveAdd,
    neDriveSpaceChange,
    neMediaInsert,
    neMediaRemove,
    neFolderCreate,
    neFolderDelete,
    neFolderRename,
    neFolderUpdate,
    neNetShare,
    neNetUnShare,
    neServerDisconnect,
    neImageListChange,
    neUnknown,
};

constexpr int kNotificationEventCount = 21;

// The shell's event flag of each event (SHCNE_CREATE and so on); neUnknown stands for all.
inline constexpr std::uint32_t kReportFlags[kNotificationEventCount] = {
    0x08000000, 0x00000800, 0x00002000, 0x00000002, 0x00000004, 0x00000001, 0x00000100,
    0x00000080, 0x00010000, 0x00040000, 0x00000020, 0x00000040, 0x00000008, 0x00000010,
    0x00020000, 0x00001000, 0x00000200, 0x00000400, 0x00004000, 0x00008000, 0x7FFFFFFF,
};

// Marks a report that comes from the file system rather than from a program.
constexpr std::uint32_t kReportInterruptFlag = 0x80000000;

// The event of a flag, the interrupt mark ignored; neUnknown for a flag not in the table.
TNotificationEvent ReportEventOf(std::uint32_t shellFlag);

struct TChangeReport {
    TNotificationEvent Event = neUnknown;
    std::uint32_t Flag = 0;  // without the interrupt mark
    // Image-list reports: the index, when the packed list holds one.
    bool HasImageIndex = false;
    int ImageIndex = 0;
    // The two lists whole, terminator included (a packed index is a list of one item too);
    // empty when absent or malformed.
    TByteSpan First;
    TByteSpan Second;
};

// `first` and `second` are the bytes each list may be read in (empty for none). An image-list
// report carries its index in the second list when `indexInSecond`, else in the first.
TChangeReport DecodeChangeReport(std::uint32_t shellFlag, TByteSpan first, TByteSpan second,
                                 bool indexInSecond);
