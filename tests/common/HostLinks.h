#pragma once
// Directory links and drive letters for tests. On Windows they are made with the system's own
// calls; Wine 8 cannot make them itself (CreateSymbolicLinkW does nothing, junctions are not
// supported, DefineDosDeviceW does not reach the file system), so under Wine they are made as
// host symbolic links (in the prefix's "dosdevices" folder for drives), which Wine shows as
// reparse points and as drives.
#include <string>
#include <vector>

bool RunningOnWine();

// Under Wine: the host path of a Windows path (empty elsewhere), and programs run on the host
// itself, which change files behind Wine's back as another program of the machine would. The
// program may still be running when these return: poll for its effect.
std::wstring UnixPathOf(const std::wstring& path);
bool RunHostProgram(const std::wstring& program, const std::vector<std::wstring>& arguments);
// `script` runs under /bin/sh with `arguments` as $1, $2, ...; keep double quotes out of it.
bool RunHostScript(const std::wstring& script, const std::vector<std::wstring>& arguments);

// A directory symbolic link at `link` pointing to the folder `target`; false when neither way
// works. RemoveDirectoryLink removes it (not the target's contents).
bool CreateDirectoryLink(const std::wstring& link, const std::wstring& target);
void RemoveDirectoryLink(const std::wstring& link);

// Links made for one test and removed when it ends, however it ends.
class TDirectoryLinks {
public:
    TDirectoryLinks() = default;
    ~TDirectoryLinks()
    {
        for (const std::wstring& link : links_)
            RemoveDirectoryLink(link);
    }
    TDirectoryLinks(const TDirectoryLinks&) = delete;
    TDirectoryLinks& operator=(const TDirectoryLinks&) = delete;
    bool Add(const std::wstring& link, const std::wstring& target)
    {
        if (!CreateDirectoryLink(link, target))
            return false;
        links_.push_back(link);
        return true;
    }

private:
    std::vector<std::wstring> links_;
};

// Maps `letter` ("Q") to the folder; false when it cannot. UnmapDrive undoes it.
bool MapDrive(wchar_t letter, const std::wstring& folder);
void UnmapDrive(wchar_t letter);

// Under Wine only: chmod from the host side ("000", "755").
bool SetHostMode(const std::wstring& path, const std::wstring& mode);
// Under Wine only: the host path of a path (empty elsewhere), and a command run by the host's
// shell (it may still be running when this returns: poll for its effect).
std::wstring HostPathOf(const std::wstring& path);
bool RunHostShell(const std::wstring& command);
