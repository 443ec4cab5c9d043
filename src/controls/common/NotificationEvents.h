#pragma once
// The change events a notifier reports, and the shell flags they come from.
#include "parse/ChangeReport.h"

#include <bitset>
#include <string>

// Bit i stands for event i.
using TNotificationEvents = std::bitset<kNotificationEventCount>;

// Every event but neUnknown.
inline TNotificationEvents AllKnownNotificationEvents()
{
    return TNotificationEvents(0xFFFFF);
}

// The shell flag (SHCNE_...) an event registers for; neUnknown registers for all of them.
long ShellFlagOf(TNotificationEvent event);
// The OR of the flags of every event in the set.
long ShellFlagsOf(const TNotificationEvents& events);
// The event of a shell flag (SHCNE_INTERRUPT ignored); neUnknown for a flag not in the table.
TNotificationEvent NotificationEventOf(long shellFlag);
