#pragma once
// The special folders of the shell namespace and their fixed CSIDLs.
#include "core/IDListPtr.h"

#include <bitset>
#include <string>

enum TZelShellFolder {
    SF_FILESYSTEMFOLDER,
    SF_BITBUCKET,
    SF_CONTROLS,
    SF_DESKTOP,
    SF_DESKTOPDIRECTORY,
    SF_DRIVES,
    SF_FONTS,
    SF_NETHOOD,
    SF_NETWORK,
    SF_PERSONAL,
    SF_PRINTERS,
    SF_PROGRAMS,
    SF_RECENT,
    SF_SENDTO,
    SF_STARTMENU,
    SF_STARTUP,
    SF_TEMPLATES,
    SF_FAVORITES,
    SF_COMMON_STARTMENU,
    SF_COMMON_STARTUP,
    SF_COMMON_DESKTOPDIRECTORY,
    SF_APPDATA,
    SF_PRINTHOOD,
    SF_COMMON_FAVORITES,
    SF_INTERNET_CACHE,
    SF_COOKIES,
    SF_HISTORY,
    SF_COMMON_PROGRAMS,
    SF_ALTSTARTUP,
    SF_COMMON_APPDATA,
    SF_COMMON_DOCUMENTS,
    SF_INTERNET,
    SF_LOCAL_APPDATA,
    SF_MYPICTURES,
    SF_PROGRAM_FILES,
    SF_SYSTEM,
    SF_PROGRAM_FILES_COMMON,
    SF_WINDOWS,
};

constexpr int kSpecialFolderCount = 38;

// A set of special folders; an empty set means all of them.
using TZelShellFolders = std::bitset<kSpecialFolderCount>;

// The CSIDL of a special folder (SF_FILESYSTEMFOLDER maps to the computer folder).
int SpecialFolderCSIDL(TZelShellFolder folder);

// New absolute list of the folder; null when the system cannot provide it.
TOwnedIDList SpecialFolderIDList(TZelShellFolder folder);
// File-system path of the folder; empty when it has none.
std::wstring SpecialFolderPath(TZelShellFolder folder);
// Which special folder an absolute list names (the first in table order, limited to `among`
// unless it is empty); SF_FILESYSTEMFOLDER when it is none of them.
TZelShellFolder SpecialFolderOf(TBorrowedIDList list, const TZelShellFolders& among = {});
