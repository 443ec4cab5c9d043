#pragma once
// The background work that the shell controls queue on the worker pool: an object's icon,
// open icon or overlay index, an object's thumbnail, and the size and counts below a path.
// Icon and thumbnail results reach their receiver on the GUI thread; the folder-size result is
// read by the owner's OnWorkDone handler. An aborted item applies nothing.
#include "core/ComPtr.h"
#include "core/IDListPtr.h"
#include "core/ScopedResource.h"
#include "threadpool/WorkItem.h"

#include <windows.h>

#include <atomic>
#include <cstdint>
#include <string>
#include <vector>

// Receives icon results: kind 0 normal icon, 1 overlay, 2 open (selected) icon. `owner` is the
// item's owner tag (the tree node or list item).
struct IIconViewer : public IUnknown {
    virtual void STDMETHODCALLTYPE SetImage(int index, BYTE kind, TWorkItemOwner owner) = 0;
};
__CRT_UUID_DECL(IIconViewer, 0x639DC050, 0x0BD1, 0x4BDA, 0x8D, 0x2F, 0xB7, 0xFC, 0x03, 0x22, 0x94,
                0x3C)

// Receives thumbnails; the receiver takes ownership of the bitmap.
struct IThumbnailViewer : public IUnknown {
    virtual void STDMETHODCALLTYPE SetThumbnail(HBITMAP bitmap, int imageIndex) = 0;
};
__CRT_UUID_DECL(IThumbnailViewer, 0xFDA354CC, 0x0B22, 0x4B9A, 0xA0, 0x42, 0x82, 0xFF, 0x53, 0x7E,
                0x8D, 0x6A)

extern const IID IID_IIconViewer;
extern const IID IID_IThumbnailViewer;

// An item's counted reference to its receiver, released by whoever takes it first: the result
// applier after using it, or Abort. An owner cancels (aborts) its running items on the GUI
// thread before it goes, so nothing calls into a receiver, not even Release, once its owner has
// cancelled.
template <class Interface>
class TReceiverReference {
public:
    explicit TReceiverReference(Interface* receiver) noexcept : receiver_(receiver)
    {
        if (receiver != nullptr)
            receiver->AddRef();
    }
    ~TReceiverReference() { Take(); }
    TReceiverReference(const TReceiverReference&) = delete;
    TReceiverReference& operator=(const TReceiverReference&) = delete;

    // The reference, or null when it was taken already.
    TComPtr<Interface> Take() noexcept
    {
        TComPtr<Interface> receiver;
        // Adopts the reference as it is (mingw's ComPtr::Attach would add one).
        *receiver.GetAddressOf() = receiver_.exchange(nullptr);
        return receiver;
    }

private:
    std::atomic<Interface*> receiver_;
};

constexpr BYTE kIconKindNormal = 0;
constexpr BYTE kIconKindOverlay = 1;
constexpr BYTE kIconKindOpen = 2;

class TIconWorkItem : public TBasicWorkItem {
public:
    // Takes ownership of `absoluteIDList` (a copy made for the item).
    TIconWorkItem(TOwnedIDList absoluteIDList, TWorkItemOwner owner, IIconViewer* receiver,
                  BYTE kind);

    void Execute() override;
    // Also lets go of the receiver.
    void Abort() override;
    // GUI thread: hands the index to the receiver unless the item was aborted.
    virtual void ApplyResult();

    // Looks the icon up by this path instead of the ID list (kinds 0 and 2); set before queueing.
    void SetPath(std::wstring path) { path_ = std::move(path); }
    const std::wstring& Path() const noexcept { return path_; }
    // The system-image-list index (or overlay index) found; -1 for none.
    int Index() const noexcept { return index_; }
    BYTE Kind() const noexcept { return kind_; }

private:
    std::wstring path_;
    int index_ = -1;
    TOwnedIDList idList_;
    TReceiverReference<IIconViewer> receiver_;
    BYTE kind_;
};

class TThumbnailWorkItem : public TBasicWorkItem {
public:
    // Keeps its own copy of `absoluteIDList`. A size that is not positive asks for 200 by 200.
    TThumbnailWorkItem(TBorrowedIDList absoluteIDList, TWorkItemOwner owner, int imageIndex,
                       IThumbnailViewer* receiver, int height, int width);

    void Execute() override;
    // Also lets go of the receiver.
    void Abort() override;
    // GUI thread: hands the bitmap (null when none could be made) to the receiver unless the
    // item was aborted; a bitmap not handed over is freed with the item.
    virtual void ApplyResult();

    // The object's file path, when the caller knows it (set before queueing): spares a look-up
    // that under Wine walks the folder.
    void SetPath(std::wstring path) { path_ = std::move(path); }
    int Width() const noexcept { return width_; }
    int Height() const noexcept { return height_; }
    HBITMAP Bitmap() const noexcept { return static_cast<HBITMAP>(bitmap_.get()); }
    int ImageIndex() const noexcept { return imageIndex_; }

private:
    int width_;
    int height_;
    std::wstring path_;
    TScopedGdiObject bitmap_;
    TOwnedIDList idList_;
    TReceiverReference<IThumbnailViewer> receiver_;
    int imageIndex_;
};

class TZelFolderSizeWorkItem : public TBasicWorkItem {
public:
    TZelFolderSizeWorkItem(std::wstring path, bool followReparsePoints, bool recursive);

    void Execute() override;

    const std::wstring& RootPath() const noexcept { return rootPath_; }
    // 1, or -1 when the owner subtracts the result; the item itself only carries it.
    int Factor() const noexcept { return factor_; }
    void SetFactor(int factor) noexcept { factor_ = factor; }
    uint64_t Size() const noexcept { return size_; }
    int FolderCount() const noexcept { return folderCount_; }
    int FileCount() const noexcept { return fileCount_; }
    bool Recursive() const noexcept { return recursive_; }
    bool FollowReparsePoints() const noexcept { return followReparsePoints_; }

protected:
    // The reparse tag of a found entry (dwReserved0); tests stand in for the kinds of reparse
    // point that only Windows makes.
    virtual DWORD ReparseTagOf(const WIN32_FIND_DATAW& data) const { return data.dwReserved0; }

private:
    // A junction, symbolic link or mount point: walked only when links are followed.
    bool IsLink(const WIN32_FIND_DATAW& data) const;
    // `folder`, in long form, ends with a backslash. `outsideRoot`: reached through a link to
    // a folder that is not below the root.
    void Scan(const std::wstring& folder, bool reachedThroughLink, bool outsideRoot);
    // Whether the entry `path`, a link, is to be walked (or counted, for a file).
    bool FollowLink(const std::wstring& path, bool reachedThroughLink);
    // Whether the folder (a final path) is the root or a target followed before.
    bool CountedElsewhere(const std::wstring& folder) const;
    void CountFile(const WIN32_FIND_DATAW& data);

    std::wstring rootPath_;
    int factor_ = 1;
    uint64_t size_ = 0;
    int folderCount_ = 0;
    int fileCount_ = 0;
    bool recursive_;
    bool followReparsePoints_;
    // Folders are compared by their final paths (links resolved, long names, one spelling),
    // so that none is counted twice however it is reached or however the root is written.
    std::wstring finalRoot_;
    // Final paths of the link targets followed, each walked once.
    std::vector<std::wstring> followedTargets_;
};
