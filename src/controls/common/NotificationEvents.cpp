#include "controls/common/NotificationEvents.h"

#include <shlobj.h>

// The table the report decoding shares must say what the system's headers say.
static_assert(kReportFlags[neAssociationChange] == static_cast<std::uint32_t>(SHCNE_ASSOCCHANGED));
static_assert(kReportFlags[neAttributesChange] == static_cast<std::uint32_t>(SHCNE_ATTRIBUTES));
static_assert(kReportFlags[neFileChange] == static_cast<std::uint32_t>(SHCNE_UPDATEITEM));
static_assert(kReportFlags[neFileCreate] == static_cast<std::uint32_t>(SHCNE_CREATE));
static_assert(kReportFlags[neFileDelete] == static_cast<std::uint32_t>(SHCNE_DELETE));
static_assert(kReportFlags[neFileRename] == static_cast<std::uint32_t>(SHCNE_RENAMEITEM));
static_assert(kReportFlags[neDriveAdd] == static_cast<std::uint32_t>(SHCNE_DRIVEADD));
static_assert(kReportFlags[neDriveRemove] == static_cast<std::uint32_t>(SHCNE_DRIVEREMOVED));
static_assert(kReportFlags[neShellDriveAdd] == static_cast<std::uint32_t>(SHCNE_DRIVEADDGUI));
static_assert(kReportFlags[neDriveSpaceChange] == static_cast<std::uint32_t>(SHCNE_FREESPACE));
static_assert(kReportFlags[neMediaInsert] == static_cast<std::uint32_t>(SHCNE_MEDIAINSERTED));
static_assert(kReportFlags[neMediaRemove] == static_cast<std::uint32_t>(SHCNE_MEDIAREMOVED));
static_assert(kReportFlags[neFolderCreate] == static_cast<std::uint32_t>(SHCNE_MKDIR));
static_assert(kReportFlags[neFolderDelete] == static_cast<std::uint32_t>(SHCNE_RMDIR));
static_assert(kReportFlags[neFolderRename] == static_cast<std::uint32_t>(SHCNE_RENAMEFOLDER));
static_assert(kReportFlags[neFolderUpdate] == static_cast<std::uint32_t>(SHCNE_UPDATEDIR));
static_assert(kReportFlags[neNetShare] == static_cast<std::uint32_t>(SHCNE_NETSHARE));
static_assert(kReportFlags[neNetUnShare] == static_cast<std::uint32_t>(SHCNE_NETUNSHARE));
static_assert(kReportFlags[neServerDisconnect] ==
              static_cast<std::uint32_t>(SHCNE_SERVERDISCONNECT));
static_assert(kReportFlags[neImageListChange] == static_cast<std::uint32_t>(SHCNE_UPDATEIMAGE));
static_assert(kReportInterruptFlag == static_cast<std::uint32_t>(SHCNE_INTERRUPT));

long ShellFlagOf(TNotificationEvent event)
{
    const int index = static_cast<int>(event);
    return index >= 0 && index < kNotificationEventCount ? static_cast<long>(kReportFlags[index])
                                                         : 0;
}

long ShellFlagsOf(const TNotificationEvents& events)
{
    long flags = 0;
    for (int index = 0; index < kNotificationEventCount; ++index)
        if (events.test(static_cast<size_t>(index)))
            flags |= static_cast<long>(kReportFlags[index]);
    return flags;
}

TNotificationEvent NotificationEventOf(long shellFlag)
{
    return ReportEventOf(static_cast<std::uint32_t>(shellFlag));
}
