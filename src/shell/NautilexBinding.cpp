// TNautilex: binding to a folder, the object cursor, the owner window.
#include "shell/Nautilex.h"

#include "core/MessageWindow.h"
#include "shell/IDList.h"
#include "shell/PathUtils.h"
#include "shell/ShellHost.h"
#include "shell/ShellState.h"

TNautilex::TNautilex(TComponent* owner)
    : TComponent(owner), multiObjects_(std::make_unique<TWideStringList>())
{
}

TNautilex::~TNautilex() = default;

void TNautilex::Loaded()
{
    TComponent::Loaded();
    loaded_ = true;
}

UINT TNautilex::ShellErrorMode() const noexcept
{
    return ShowErrorMessages ? 0 : SEM_FAILCRITICALERRORS;
}

std::wstring TNautilex::GetFolder()
{
    if (!folderPathValid_) {
        std::wstring text = PathFromIDList(folderIDList_);
        // Wine reports virtual folders (the network) by a "::{GUID}" text; they have no path.
        if (StartsWithText(text, L"::"))
            text.clear();
        // A folder directly below a top-level folder may be a shortcut: report its target.
        if (IDListItemCount(folderIDList_) == 2 && !text.empty()) {
            const std::wstring target = ResolveLinkTarget(text);
            if (!target.empty())
                text = target;
        }
        if (!text.empty())
            text = IncludeTrailingBackslash(text);
        folderPath_ = std::move(text);
        folderPathValid_ = true;
    }
    return folderPath_;
}

void TNautilex::SetFolder(const std::wstring& path)
{
    if (!path.empty() && SameText(path, GetFolder()))
        return;
    const TOwnedIDList list = IDListFromPath(DesktopFolder.Get(), path);
    if (!list)
        throw ENautilexError(PathNotFoundMessage(path));
    std::wstring text = path.empty() ? path : IncludeTrailingBackslash(path);
    SetFolderIDList(list);
    // Keep the text as the caller gave it rather than a recomputed one.
    folderPath_ = std::move(text);
    folderPathValid_ = true;
}

void TNautilex::SetFolderIDList(TBorrowedIDList list)
{
    if (list == folderIDList_.get()) {
        DropEnumerator();
        return;
    }
    // `list` may be the browser's own object list (AbsoluteIDList): copy it before the
    // object goes.
    TOwnedIDList copy = CopyIDList(list);
    shellDetails_.Reset();
    shellFolder2_.Reset();
    detailsUnavailable_ = false;
    folderIDList_.reset();
    folderPathValid_ = false;
    ++bindingGeneration_;
    // Without a folder list nothing is left that the object or a running pass is relative
    // to, also when binding fails below.
    DropEnumerator();
    if (offerFolder_ && !(copy && SameIDLists(offerFolder_, copy)))
        DropOffer();
    SetObjectIDList(nullptr);
    if (!copy)
        return;
    if (!DesktopFolder)
        throw ENautilexError(BindFailedMessage(E_UNEXPECTED));

    TComPtr<IShellFolder> folder;
    if (!SameIDLists(copy, DesktopIDList)) {
        HRESULT result;
        {
            TErrorModeScope errorMode(ShellErrorMode());
            result =
                DesktopFolder->BindToObject(copy, nullptr, IID_PPV_ARGS(folder.GetAddressOf()));
        }
        if (!folder)
            throw ENautilexError(BindFailedMessage(FAILED(result) ? result : E_NOINTERFACE));
    } else {
        folder = DesktopFolder;
        copy = CopyIDList(DesktopIDList);
    }
    shellFolder_ = std::move(folder);
    folderIDList_ = std::move(copy);
}

TOwnedIDList TNautilex::FolderIDList() const
{
    return CopyIDList(folderIDList_);
}

TZelShellFolder TNautilex::GetSpecialFolder() const
{
    return SpecialFolderOf(folderIDList_);
}

void TNautilex::SetSpecialFolder(TZelShellFolder value)
{
    // The stored default must not rebind a browser whose form sets its folder otherwise.
    if (IsLoading() && value == SF_FILESYSTEMFOLDER)
        return;
    try {
        const TOwnedIDList list = SpecialFolderIDList(value);
        if (list)
            SetFolderIDList(list);
    } catch (...) {
        // A special folder the system cannot bind is simply not selected.
    }
}

void TNautilex::SetAbsoluteIDList(TBorrowedIDList list)
{
    if (list == nullptr)
        return;
    const int count = IDListItemCount(list);
    if (count == 0) {
        SetSpecialFolder(SF_DESKTOP);
        return;
    }
    // Copies first: `list` may be the browser's own folder list, which rebinding frees.
    const TOwnedIDList parent = IDListHead(list, count - 1);
    const TOwnedIDList last = IDListItem(list, count - 1);
    SetFolderIDList(parent);
    SetObjectIDList(last);
}

TBorrowedIDList TNautilex::AbsoluteIDList()
{
    if (!absoluteIDList_ && objectIDList_) {
        ++counts_.AbsoluteIDList;
        absoluteIDList_ = ConcatIDLists(folderIDList_, objectIDList_);
    }
    return absoluteIDList_.get();
}

TOwnedIDList TNautilex::ObjectIDList() const
{
    return CopyIDList(objectIDList_);
}

void TNautilex::SetObjectIDList(TBorrowedIDList list)
{
    objectIDList_ = CopyIDList(list);  // copied before the old block goes: it may be `list`
    absoluteIDList_.reset();
    findDataState_ = TFindDataState::NotFetched;
    findData_.cFileName[0] = L'\0';
    hasSubFoldersCache_ = -1;
}

bool TNautilex::SelectFolderInParent()
{
    SetAbsoluteIDList(folderIDList_.get());
    return true;
}

bool TNautilex::EnterObject()
{
    if (!IsFolder())
        return false;
    const TOwnedIDList target = CopyIDList(AbsoluteIDList());
    SetFolderIDList(target);
    return static_cast<bool>(shellFolder_);
}

HWND TNautilex::OwnerWindow()
{
    if (!ShowErrorMessages && (Walking() || !IsInNetwork(AbsoluteIDList())))
        return nullptr;
    if (loaded_ && Owner() != nullptr && Owner()->ComponentWindow() != nullptr)
        return Owner()->ComponentWindow();
    return ShellHostWindow();
}
