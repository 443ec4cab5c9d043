#include "controls/NotificationEvents.h"

#include <shlobj.h>

namespace {

constexpr long kShellFlags[kNotificationEventCount] = {
    SHCNE_ASSOCCHANGED, SHCNE_ATTRIBUTES, SHCNE_UPDATEITEM,       SHCNE_CREATE,
    SHCNE_DELETE,       SHCNE_RENAMEITEM, SHCNE_DRIVEADD,         SHCNE_DRIVEREMOVED,
    SHCNE_DRIVEADDGUI,  SHCNE_FREESPACE,  SHCNE_MEDIAINSERTED,    SHCNE_MEDIAREMOVED,
    SHCNE_MKDIR,        SHCNE_RMDIR,      SHCNE_RENAMEFOLDER,     SHCNE_UPDATEDIR,
    SHCNE_NETSHARE,     SHCNE_NETUNSHARE, SHCNE_SERVERDISCONNECT, SHCNE_UPDATEIMAGE,
    0x7FFFFFFF,
};

}  // namespace

long ShellFlagOf(TNotificationEvent event)
{
    const int index = static_cast<int>(event);
    return index >= 0 && index < kNotificationEventCount ? kShellFlags[index] : 0;
}

long ShellFlagsOf(const TNotificationEvents& events)
{
    long flags = 0;
    for (int index = 0; index < kNotificationEventCount; ++index)
        if (events.test(static_cast<size_t>(index)))
            flags |= kShellFlags[index];
    return flags;
}

TNotificationEvent NotificationEventOf(long shellFlag)
{
    const long flag = shellFlag & ~static_cast<long>(SHCNE_INTERRUPT);
    for (int index = 0; index < neUnknown; ++index)
        if (kShellFlags[index] == flag)
            return static_cast<TNotificationEvent>(index);
    return neUnknown;
}
