#include "threadpool/SystemLoad.h"

#include <windows.h>

#include <cstddef>
#include <cstring>
#include <vector>

namespace {

using NtQuerySystemInformationProc = LONG(WINAPI*)(ULONG, void*, ULONG, ULONG*);

const ULONG kSystemBasicInformation = 0;
const ULONG kSystemPerformanceInformation = 2;
const ULONG kSystemTimeOfDayInformation = 3;
const LONG kStatusInfoLengthMismatch = static_cast<LONG>(0xC0000004);

struct TSystemBasicInformation {
    ULONG Reserved;
    ULONG TimerResolution;
    ULONG PageSize;
    ULONG NumberOfPhysicalPages;
    ULONG LowestPhysicalPageNumber;
    ULONG HighestPhysicalPageNumber;
    ULONG AllocationGranularity;
    ULONG_PTR MinimumUserModeAddress;
    ULONG_PTR MaximumUserModeAddress;
    ULONG_PTR ActiveProcessorsAffinityMask;
    CCHAR NumberOfProcessors;
};
#ifdef _WIN64
static_assert(sizeof(TSystemBasicInformation) == 64 &&
              offsetof(TSystemBasicInformation, NumberOfProcessors) == 56);
#else
static_assert(sizeof(TSystemBasicInformation) == 44 &&
              offsetof(TSystemBasicInformation, NumberOfProcessors) == 40);
#endif

// Sizes of the two records as the oldest NT systems define them; later systems may want more.
const ULONG kTimeOfDaySize = 32;
const ULONG kTimeOfDayCurrentTimeOffset = 8;
const ULONG kPerformanceSize = 312;
const ULONG kPerformanceIdleTimeOffset = 0;
// The idle time advances in clock ticks (10 ms and more): over a shorter span, a sample says
// little. In units of 100 ns.
const double kShortestInterval = 50 * 10000.0;

NtQuerySystemInformationProc QueryEntry()
{
    static const NtQuerySystemInformationProc entry = [] {
        HMODULE ntdll = GetModuleHandleW(L"ntdll.dll");
        return ntdll == nullptr ? nullptr
                                : reinterpret_cast<NtQuerySystemInformationProc>(
                                      GetProcAddress(ntdll, "NtQuerySystemInformation"));
    }();
    return entry;
}

// Fills `buffer` with at least `size` bytes of the class; retries once with the length the
// system asks for when it wants a larger record.
bool Query(ULONG infoClass, ULONG size, std::vector<unsigned char>& buffer)
{
    NtQuerySystemInformationProc query = QueryEntry();
    if (query == nullptr)
        return false;
    buffer.assign(size, 0);
    ULONG needed = 0;
    LONG status = query(infoClass, buffer.data(), size, &needed);
    if (status == kStatusInfoLengthMismatch && needed > size && needed < 65536) {
        buffer.assign(needed, 0);
        status = query(infoClass, buffer.data(), needed, &needed);
    }
    return status >= 0;
}

double LargeIntegerAt(const std::vector<unsigned char>& buffer, size_t offset)
{
    ULARGE_INTEGER value;
    std::memcpy(&value, buffer.data() + offset, sizeof(value));
    return value.HighPart * 4294967296.0 + value.LowPart;
}

double LegacyCpuUsage()
{
    HKEY key = nullptr;
    if (RegOpenKeyExW(HKEY_DYN_DATA, L"PerfStats\\StatData", 0, KEY_READ, &key) != ERROR_SUCCESS)
        return -1;
    DWORD value = 0;
    DWORD size = sizeof(value);
    const LONG result = RegQueryValueExW(key, L"KERNEL\\CPUUsage", nullptr, nullptr,
                                         reinterpret_cast<BYTE*>(&value), &size);
    RegCloseKey(key);
    return result == ERROR_SUCCESS && size == sizeof(value) ? static_cast<double>(value) : -1;
}

}  // namespace

int ProcessorCount()
{
    static const int count = [] {
        std::vector<unsigned char> buffer;
        if (!Query(kSystemBasicInformation, sizeof(TSystemBasicInformation), buffer))
            return 1;
        TSystemBasicInformation info;
        std::memcpy(&info, buffer.data(), sizeof(info));
        return info.NumberOfProcessors > 0 ? static_cast<int>(info.NumberOfProcessors) : 1;
    }();
    return count;
}

double TCpuUsageSampler::Sample()
{
    if (QueryEntry() == nullptr)
        return LegacyCpuUsage();
    std::vector<unsigned char> basic;
    std::vector<unsigned char> timeOfDay;
    std::vector<unsigned char> performance;
    if (!Query(kSystemBasicInformation, sizeof(TSystemBasicInformation), basic) ||
        !Query(kSystemTimeOfDayInformation, kTimeOfDaySize, timeOfDay) ||
        !Query(kSystemPerformanceInformation, kPerformanceSize, performance))
        return -1;
    const double idle = LargeIntegerAt(performance, kPerformanceIdleTimeOffset);
    const double time = LargeIntegerAt(timeOfDay, kTimeOfDayCurrentTimeOffset);
    if (hasPrevious_ && time - previousTime_ < kShortestInterval)
        return -1;  // the earlier sample stays the base
    double load = -1;
    if (hasPrevious_)
        load = 100.0 - (idle - previousIdle_) / (time - previousTime_) * 100.0 / ProcessorCount() +
               0.5;
    previousIdle_ = idle;
    previousTime_ = time;
    hasPrevious_ = true;
    return load;
}
