#pragma once
// The process's resource counts, for tests that look for growth over long use. Wine 8 reports
// no GDI or USER object counts (GetGuiResources answers 0; `GuiReported` says whether they
// mean something), and the live windows of the thread stand in for USER objects there; nor
// does it report the handle count, so the valid handle values are counted instead, nor the
// private bytes apart from the commit charge, which is taken instead.
#include <windows.h>

#include <cstdint>
#include <string>

struct TResourceLevel {
    DWORD Handles = 0;
    DWORD GdiObjects = 0;
    DWORD UserObjects = 0;
    DWORD Windows = 0;
    uint64_t PrivateBytes = 0;
    bool GuiReported = false;

    static TResourceLevel Measure();
    std::string Text() const;
};
