#include "threadpool/ZelWorkItems.h"

#include "core/CriticalSection.h"
#include "core/PathText.h"
#include "core/TextCompare.h"
#include "shell/IDList.h"
#include "shell/Nautilex.h"
#include "shell/PathUtils.h"
#include "threadpool/LongPath.h"
#include "threadpool/ReparsePoint.h"
#include "threadpool/WicThumbnail.h"

#include <shellapi.h>

#include <map>
#include <memory>

const IID IID_IIconViewer = __uuidof(IIconViewer);
const IID IID_IThumbnailViewer = __uuidof(IThumbnailViewer);

namespace {

// A private browser for one worker: no owner, and no error boxes from a background thread.
std::unique_ptr<TNautilex> WorkerBrowser(TBorrowedIDList absoluteIDList)
{
    auto browser = std::make_unique<TNautilex>(nullptr);
    browser->ShowErrorMessages = false;
    browser->SetAbsoluteIDList(absoluteIDList);
    return browser;
}

// The size the shell's extractor is asked for when none is given.
constexpr int kDefaultWicSize = 200;

// Whether the shell is asked for thumbnails of image files of a kind (by extension) that this
// program can decode itself: always, until it has given none for this many of them in a row
// without ever giving one. Asking costs as much as the decoding (Wine's shell gives none at
// all); a kind the shell has given a thumbnail for is always asked for again.
constexpr int kShellMissesBeforeSkipping = 16;

class TShellThumbnailRecord {
public:
    bool WorthAsking(const std::wstring& extension) const
    {
        TCriticalSectionLock guard(lock_);
        const auto found = kinds_.find(extension);
        return found == kinds_.end() || found->second.answered ||
               found->second.misses < kShellMissesBeforeSkipping;
    }
    void Note(const std::wstring& extension, bool answered)
    {
        TCriticalSectionLock guard(lock_);
        TKind& kind = kinds_[extension];
        kind.answered = kind.answered || answered;
        kind.misses = answered ? 0 : kind.misses + 1;
    }

private:
    struct TKind {
        int misses = 0;
        bool answered = false;
    };
    mutable TCriticalSection lock_;
    std::map<std::wstring, TKind> kinds_;
};

TShellThumbnailRecord& ShellThumbnails()
{
    static TShellThumbnailRecord record;
    return record;
}

uint64_t FileSizeOf(const WIN32_FIND_DATAW& data)
{
    return (static_cast<uint64_t>(data.nFileSizeHigh) << 32) | data.nFileSizeLow;
}

}  // namespace

// ---------------------------------------------------------------------------------------------
// TIconWorkItem

TIconWorkItem::TIconWorkItem(TOwnedIDList absoluteIDList, TWorkItemOwner owner,
                             IIconViewer* receiver, BYTE kind)
    : idList_(std::move(absoluteIDList)), receiver_(receiver), kind_(kind)
{
    SetOwner(owner);
    SetCompletionHandler([this] { ApplyResult(); });
}

void TIconWorkItem::Execute()
{
    TErrorModeScope errorMode(SEM_FAILCRITICALERRORS);
    index_ = -1;
    if (kind_ == kIconKindNormal || kind_ == kIconKindOpen) {
        UINT flags = SHGFI_SYSICONINDEX | SHGFI_SMALLICON;
        if (kind_ == kIconKindOpen)
            flags |= SHGFI_OPENICON;
        SHFILEINFOW info{};
        DWORD_PTR found = 0;
        if (!path_.empty())
            found = SHGetFileInfoW(path_.c_str(), 0, &info, sizeof(info), flags);
        else if (idList_)
            found = SHGetFileInfoW(reinterpret_cast<LPCWSTR>(idList_.get()), 0, &info, sizeof(info),
                                   flags | SHGFI_PIDL);
        if (found != 0)
            index_ = info.iIcon;
    } else if (kind_ == kIconKindOverlay && idList_) {
        try {
            const std::unique_ptr<TNautilex> browser = WorkerBrowser(idList_);
            idList_.reset();
            index_ = browser->OverlayIndex();
        } catch (...) {
            index_ = -1;
        }
    }
    idList_.reset();
}

void TIconWorkItem::Abort()
{
    TBasicWorkItem::Abort();
    receiver_.Take();
}

void TIconWorkItem::ApplyResult()
{
    if (WaitIfPausedAndCheckAborted())
        return;
    if (TComPtr<IIconViewer> receiver = receiver_.Take())
        receiver->SetImage(index_, kind_, GetOwner());
}

// ---------------------------------------------------------------------------------------------
// TThumbnailWorkItem

TThumbnailWorkItem::TThumbnailWorkItem(TBorrowedIDList absoluteIDList, TWorkItemOwner owner,
                                       int imageIndex, IThumbnailViewer* receiver, int height,
                                       int width)
    : width_(width),
      height_(height),
      idList_(CopyIDList(absoluteIDList)),
      receiver_(receiver),
      imageIndex_(imageIndex)
{
    SetOwner(owner);
    SetCompletionHandler([this] { ApplyResult(); });
}

void TThumbnailWorkItem::Execute()
{
    TErrorModeScope errorMode(SEM_FAILCRITICALERRORS);
    bitmap_.reset();
    if (!idList_)
        return;
    try {
        const std::wstring path = path_.empty() ? PathFromIDList(idList_) : path_;
        const bool image = IsWicImageFile(path);
        const std::wstring kind = image ? UpperCase(ExtractFileExt(path)) : std::wstring();
        // The shell's own thumbnail wins; an image it has none for is decoded here.
        if (!image || ShellThumbnails().WorthAsking(kind)) {
            const std::unique_ptr<TNautilex> browser = WorkerBrowser(idList_);
            bitmap_ = browser->ExtractThumbnail(width_, height_);
            if (image && !Aborted())
                ShellThumbnails().Note(kind, static_cast<bool>(bitmap_));
        }
        if (!bitmap_ && image && !Aborted()) {
            const bool sized = width_ > 0 && height_ > 0;
            bitmap_ = WicThumbnail(path, sized ? width_ : kDefaultWicSize,
                                   sized ? height_ : kDefaultWicSize, GetSysColor(COLOR_WINDOW));
        }
    } catch (...) {
        bitmap_.reset();
    }
    idList_.reset();
}

void TThumbnailWorkItem::Abort()
{
    TBasicWorkItem::Abort();
    receiver_.Take();
}

void TThumbnailWorkItem::ApplyResult()
{
    if (WaitIfPausedAndCheckAborted())
        return;
    if (TComPtr<IThumbnailViewer> receiver = receiver_.Take())
        receiver->SetThumbnail(static_cast<HBITMAP>(bitmap_.release()), imageIndex_);
}

// ---------------------------------------------------------------------------------------------
// TZelFolderSizeWorkItem

TZelFolderSizeWorkItem::TZelFolderSizeWorkItem(std::wstring path, bool followReparsePoints,
                                               bool recursive)
    : rootPath_(std::move(path)), recursive_(recursive), followReparsePoints_(followReparsePoints)
{
}

void TZelFolderSizeWorkItem::Execute()
{
    TErrorModeScope errorMode(SEM_FAILCRITICALERRORS);
    size_ = 0;
    folderCount_ = 0;
    fileCount_ = 0;
    finalRoot_.clear();
    followedTargets_.clear();
    // Wildcards would make the search below find some other entry than the path's own.
    if (rootPath_.empty() || HasWildcard(rootPath_))
        return;
    // The long form throughout: no length limit, and names ending in dots or spaces kept.
    const std::wstring root = ExcludeTrailingBackslash(LongPathForm(rootPath_));
    if (root.empty())
        return;

    bool isFolder = false;
    bool isLink = false;
    WIN32_FIND_DATAW data{};
    if (IsVolumeRoot(root)) {
        // A drive root has no entry of its own: it counts as a folder with its contents.
        const DWORD attributes = GetFileAttributesW(IncludeTrailingBackslash(root).c_str());
        if (attributes == INVALID_FILE_ATTRIBUTES || (attributes & FILE_ATTRIBUTE_DIRECTORY) == 0)
            return;
        isFolder = true;
    } else {
        TScopedFindHandle search(FindFirstFileW(root.c_str(), &data));
        if (!search)
            return;
        isFolder = (data.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) != 0;
        isLink = IsLink(data);
    }
    if (Aborted())
        return;
    if (!isFolder) {
        CountFile(data);
        return;
    }
    ++folderCount_;
    if (!recursive_)
        return;
    // Only to compare with: walked by its final path, a root whose name ends in a dot would be
    // lost under Wine, whose final paths drop such dots.
    finalRoot_ = ExcludeTrailingBackslash(
        FinalPathOf(IsVolumeRoot(root) ? IncludeTrailingBackslash(root) : root));
    if (finalRoot_.empty())
        finalRoot_ = root;
    Scan(IncludeTrailingBackslash(root), isLink, false);
}

void TZelFolderSizeWorkItem::CountFile(const WIN32_FIND_DATAW& data)
{
    size_ += FileSizeOf(data);
    ++fileCount_;
}

bool TZelFolderSizeWorkItem::CountedElsewhere(const std::wstring& folder) const
{
    if (SameText(folder, finalRoot_))
        return true;
    for (const std::wstring& target : followedTargets_)
        if (SameText(folder, target))
            return true;
    return false;
}

bool TZelFolderSizeWorkItem::IsLink(const WIN32_FIND_DATAW& data) const
{
    return IsLinkReparsePoint(data.dwFileAttributes, ReparseTagOf(data));
}

bool TZelFolderSizeWorkItem::FollowLink(const std::wstring& path, bool reachedThroughLink)
{
    if (!followReparsePoints_ && !reachedThroughLink)
        return false;
    const std::wstring target = ExcludeTrailingBackslash(FinalPathOf(path));
    if (target.empty())
        return true;  // a broken link: nothing below it to count twice
    // A target inside the root (or the root itself) is counted where it lies, and one inside a
    // target followed before was counted with it.
    if (SameText(target, finalRoot_) || IsInsideFolder(finalRoot_, target))
        return false;
    for (const std::wstring& followed : followedTargets_)
        if (SameText(target, followed) || IsInsideFolder(followed, target))
            return false;
    followedTargets_.push_back(target);
    return true;
}

void TZelFolderSizeWorkItem::Scan(const std::wstring& folder, bool reachedThroughLink,
                                  bool outsideRoot)
{
    WIN32_FIND_DATAW data{};
    TScopedFindHandle search(FindFirstFileW((folder + L"*").c_str(), &data));
    if (!search)
        return;
    do {
        if (Aborted())
            return;
        const bool isFolder = (data.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) != 0;
        // Cloud placeholders, deduplicated and compressed files are reparse points too, but
        // they are what they look like: only links lead elsewhere.
        const bool isLink = IsLink(data);
        if (!isFolder && !isLink) {
            CountFile(data);
            continue;
        }
        if (isFolder && IsDotEntry(data.cFileName))
            continue;
        const std::wstring path = folder + data.cFileName;
        bool outside = outsideRoot;
        if (isLink) {
            if (!FollowLink(path, reachedThroughLink))
                continue;
            outside = true;
        } else if (isFolder && outsideRoot && CountedElsewhere(FinalPathOf(path))) {
            // A walk outside the root has come back to the root, or to a target followed
            // before (a link to the root's parent, say).
            continue;
        }
        if (isFolder) {
            ++folderCount_;
            Scan(path + L"\\", isLink, outside);
        } else {
            CountFile(data);
        }
    } while (FindNextFileW(search.get(), &data));
}
