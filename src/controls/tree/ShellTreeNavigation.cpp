// TZelShellTree: rooting, locating a node by its ID list, the selected and special folder,
// the selection and what it tells the shell link, the history.
#include "controls/tree/ShellTree.h"

#include "controls/common/ShellChangeNotifier.h"
#include "core/CallbackException.h"
#include "core/ScopedResource.h"
#include "core/TextConversion.h"
#include "link/ShellLink.h"
#include "shell/IDList.h"
#include "shell/PathUtils.h"
#include "shell/ShellState.h"
#include "shell/SystemImageList.h"
#include "ui/Application.h"
#include "ui/Cursor.h"
#include "ui/UpdateScope.h"

#include <cstring>

namespace {

// `prefix` is `list` or an ancestor of it, item by item.
bool StartsWithIDList(TBorrowedIDList list, TBorrowedIDList prefix)
{
    const UINT prefixSize = IDListSize(prefix);
    if (prefixSize == 0 || prefixSize > IDListSize(list))
        return false;
    if (std::memcmp(list, prefix, prefixSize - sizeof(USHORT)) == 0)
        return true;
    // Lists of one object may differ in bytes: the shell decides.
    const TOwnedIDList head = IDListHead(list, IDListItemCount(prefix));
    return SameIDLists(head, prefix);
}

}  // namespace

// ---- The browser's object ----

void TZelShellTree::MakeBrowserObject(TZelShellTreeNode* node)
{
    const TBorrowedIDList absolute = node->AbsoluteIDList();
    const TBorrowedIDList relative = node->RelativeIDList();
    const UINT absoluteSize = IDListSize(absolute);
    const UINT relativeSize = IDListSize(relative);
    if (browser_->ShellFolder() != nullptr && IDListItemCount(relative) == 1 &&
        absoluteSize > relativeSize) {
        // Siblings share their folder: bind it only when the browser holds another.
        const TOwnedIDList folder = browser_->FolderIDList();
        const UINT folderSize = IDListSize(folder);
        if (folderSize + relativeSize - sizeof(USHORT) == absoluteSize &&
            std::memcmp(folder.get(), absolute, folderSize - sizeof(USHORT)) == 0) {
            browser_->SetObjectIDList(relative);
            return;
        }
    }
    browser_->SetAbsoluteIDList(absolute);
}

// ---- Rooting ----

void TZelShellTree::SetRootedAt(TZelShellFolder value)
{
    Root(value);
}

void TZelShellTree::EnsureRooted()
{
    if (Items()->Count() == 0 && !destroying_)
        Root(rootedAt_);
}

void TZelShellTree::Root(TZelShellFolder value)
{
    rootedAt_ = value;
    TWaitCursor waitCursor;
    TBusyScope busy(this);
    TUpdateScope update(Items());
    Items()->Clear();
    if (value != SF_FILESYSTEMFOLDER)
        rootedAtPath_.clear();
    history_.Clear();

    auto* root = static_cast<TZelShellTreeNode*>(Items()->AddChild(nullptr, std::wstring()));
    root->SetFlag(TZelShellTreeNode::kFolderNode, true);
    if (value == SF_DESKTOP) {
        root->UseDesktopIDList();
        root->ParentFolder = DesktopFolder;
        const int image = TNautilex::DesktopImageIndex();
        root->SetImageIndex(image);
        root->SetSelectedIndex(image);
        root->SetText(TNautilex::DesktopDisplayName());
        root->SetHasChildren(true);
        notifier_->WatchIDList(DesktopIDList);
    } else {
        try {
            TErrorModeScope errorMode(ErrorMode());
            if (value == SF_FILESYSTEMFOLDER)
                browser_->SetFolder(rootedAtPath_);
            else
                browser_->SetSpecialFolder(value);
            const TOwnedIDList folder = browser_->FolderIDList();
            if (!folder)
                throw ENautilexError(NoFolderMessage());
            root->SetRelativeIDList(CopyIDList(folder));
            root->SetAbsoluteIDList(CopyIDList(folder));
            browser_->SelectFolderInParent();
            root->ParentFolder = browser_->ShellFolder();
            root->SetImageIndex(browser_->ImageIndex());
            root->SetSelectedIndex(browser_->OpenImageIndex());
            root->SetText(browser_->DisplayName());
            root->SetHasChildren(browser_->HasSubFolders() || GetShowFiles() || GetShowHidden());
            if (value != SF_FILESYSTEMFOLDER || !rootedAtPath_.empty())
                notifier_->WatchIDList(folder);
        } catch (const ENautilexError&) {
            // A folder the shell cannot give leaves the tree empty.
            Items()->Clear();
            return;
        }
    }
    if (!IsLoading()) {
        root->Expand(false);
        root->SetSelected(true);
    }
}

void TZelShellTree::SetRootedAtFileSystemFolder(const std::wstring& value)
{
    const bool changePending = ChangePending();
    SetChangePending(false);
    rootedAtPath_ = value;
    // A folder that does not answer in time is taken for one that is not there.
    if (AskFolderExists(value, NetworkWaitLimit, false) == bwFound) {
        Root(SF_FILESYSTEMFOLDER);
        SetChangePending(false);
        if (!IsLoading())
            Change(Selected());
        return;
    }
    if (changePending)
        SetChangePending(true);
}

// ---- Locating ----

namespace {

bool SameBytes(TBorrowedIDList first, TBorrowedIDList second)
{
    const UINT size = IDListSize(first);
    return size == IDListSize(second) && std::memcmp(first, second, size) == 0;
}

std::wstring InFolderName(IShellFolder* folder, TBorrowedIDList item)
{
    STRRET name{};
    if (folder == nullptr ||
        FAILED(folder->GetDisplayNameOf(item, SHGDN_INFOLDER | SHGDN_FORPARSING, &name)))
        return {};
    return StrRetToString(item, name);
}

// The child is the object the item names, not merely one its folder compares equal.
bool SpelledAlike(TZelShellTreeNode* child, TBorrowedIDList item)
{
    if (SameBytes(child->RelativeIDList(), item))
        return true;
    IShellFolder* folder = child->ParentFolder.Get();
    const std::wstring name = InFolderName(folder, item);
    return name.empty() || InFolderName(folder, child->RelativeIDList()) == name;
}

// Names that differ only by case (on a file system that tells them apart) compare equal in
// their folder: the child with the very same bytes is the one meant, else the one whose name
// is spelled the same (a parsed list need not carry the bytes an enumerated one does).
TZelShellTreeNode* ExactChild(TZelShellTreeNode* parent, TZelShellTreeNode* found,
                              TBorrowedIDList item)
{
    if (SameBytes(found->RelativeIDList(), item))
        return found;
    for (int index = 0; index < parent->Count(); ++index)
        if (SameBytes(parent->Item(index)->RelativeIDList(), item))
            return parent->Item(index);
    IShellFolder* folder = found->ParentFolder.Get();
    const std::wstring name = InFolderName(folder, item);
    if (name.empty() || InFolderName(folder, found->RelativeIDList()) == name)
        return found;
    for (int index = 0; index < parent->Count(); ++index) {
        TZelShellTreeNode* child = parent->Item(index);
        if (child != found && InFolderName(folder, child->RelativeIDList()) == name)
            return child;
    }
    return found;
}

}  // namespace

TZelShellTreeNode* TZelShellTree::FindChild(TZelShellTreeNode* parent, TBorrowedIDList item)
{
    const int count = parent->Count();
    if (count == 0 || item == nullptr)
        return nullptr;
    // The children are in the folder's order: a binary search first...
    int low = 0;
    int high = count - 1;
    while (low <= high) {
        const int middle = (low + high) / 2;
        TZelShellTreeNode* child = parent->Item(middle);
        const int order = CompareChildren(child->ParentFolder.Get(), item, child->RelativeIDList());
        if (order == 0)
            return ExactChild(parent, child, item);
        if (low == high)
            break;
        if (order < 0)
            high = middle;
        else
            low = middle + 1;
    }
    // ...then, for children placed out of order, every one.
    if (parent->ChildrenInOrder)
        return nullptr;
    for (int index = 0; index < count; ++index) {
        TZelShellTreeNode* child = parent->Item(index);
        if (CompareChildren(child->ParentFolder.Get(), item, child->RelativeIDList()) == 0)
            return ExactChild(parent, child, item);
    }
    return nullptr;
}

TZelShellTreeNode* TZelShellTree::ChildNamed(TZelShellTreeNode* parent, TBorrowedIDList item)
{
    if (parent->Count() == 0 || item == nullptr)
        return nullptr;
    const std::wstring name = InFolderName(parent->Item(0)->ParentFolder.Get(), item);
    if (name.empty())
        return nullptr;
    for (int index = 0; index < parent->Count(); ++index) {
        TZelShellTreeNode* child = parent->Item(index);
        if (InFolderName(child->ParentFolder.Get(), child->RelativeIDList()) == name)
            return child;
    }
    return nullptr;
}

TZelShellTreeNode* TZelShellTree::FindForLocate(TBorrowedIDList list, TLocateAction& action,
                                                bool& found)
{
    found = false;
    const int total = IDListItemCount(list);
    TZelShellTreeNode* deepest = nullptr;
    for (int rootIndex = 0; rootIndex < Items()->TopLevelCount(); ++rootIndex) {
        auto* root = static_cast<TZelShellTreeNode*>(Items()->TopLevelItem(rootIndex));
        if (SameIDLists(list, root->AbsoluteIDList())) {
            found = true;
            return root;
        }
        const int depth = IDListItemCount(root->AbsoluteIDList());
        TZelShellTreeNode* current = root;
        // Below a root that is no ancestor of the list there is nothing to find.
        bool reached = StartsWithIDList(list, root->AbsoluteIDList()) || depth == 0;
        while (reached && depth + current->Level() < total) {
            const bool filledBefore = current->Count() > 0;
            if (action == laSelect) {
                current->SetHasChildren(true);
                current->Expand(false);
            } else if (!current->Expanded() && current->Count() > 0) {
                // Below a collapsed node nothing is kept up to date: enumerated afresh later.
                current->DeleteChildren();
                current->SetHasChildren(true);
            }
            const TOwnedIDList item = IDListItem(list, depth + current->Level());
            TZelShellTreeNode* child = FindChild(current, item);
            // A folder made since the node was read, with no change report about it (the shell
            // does not watch every file system): the node is read again, once. So is one whose
            // only match is spelled otherwise (a name that differs by case, made since).
            if ((child == nullptr || !SpelledAlike(child, item)) && action == laSelect &&
                filledBefore) {
                const LPARAM serial = current->Serial();
                RefreshNode(current, false, false);
                if (Items()->FindBySerial(serial) != current)
                    return deepest;  // the folder went as it was read
                child = FindChild(current, item);
            }
            // A report about a folder that is gone names it by a list made from its path
            // alone, without the attributes an enumerated list carries: its folder need not
            // find the two equal, the name still tells.
            if (child == nullptr && action != laSelect)
                child = ChildNamed(current, item);
            if (child == nullptr) {
                reached = false;
                break;
            }
            current = child;
        }
        if (reached && depth + current->Level() == total) {
            found = true;
            return current;
        }
        if (action == laRefreshParent || action == laDelete)
            action = laRefresh;
        if (IsInNetwork(list)) {
            // The network is not enumerated in full: a server or share is placed by hand.
            browser_->SetAbsoluteIDList(list);
            TZelVisibilityRule rule(options_);
            if (TZelShellTreeNode* node = AddChild(current, true, rule, -1)) {
                SortChildren(current);
                found = true;
                return node;
            }
            return current;
        }
        deepest = current;
    }
    return deepest;
}

void TZelShellTree::ActOn(TZelShellTreeNode* node, TLocateAction action)
{
    if (!IsValidNode(node))
        return;
    switch (action) {
    case laSelect:
        SetChangeDelay(0);
        node->SetSelected(true);
        if (IsValidNode(node))
            node->MakeVisible();
        break;
    case laRefresh: RefreshNode(node, !rootedAtPath_.empty(), true); break;
    case laRefreshParent:
        if (TZelShellTreeNode* parent = node->Parent())
            RefreshNode(parent, false, true);
        break;
    case laDelete:
        if (node->Selected())
            SetChangeDelay(0);
        node->Delete();
        break;
    }
}

bool TZelShellTree::LocateIDList(TBorrowedIDList list, TLocateAction action)
{
    if (list == nullptr || destroying_)
        return false;
    EnsureRooted();
    if (action == laSelect) {
        const TZelShellTreeNode* selected = Selected();
        if (IsValidNode(selected) && SameIDLists(list, selected->AbsoluteIDList()))
            return true;
    }
    std::unique_ptr<TWaitCursor> waitCursor;
    if (action == laSelect)
        waitCursor = std::make_unique<TWaitCursor>();
    TZelShellTreeNode* match = nullptr;
    bool found = false;
    {
        TBusyScope busy(this);
        const TRestoreOnExit expandBelowRoot(expandBelowRoot_, action != laRefresh);
        try {
            match = FindForLocate(list, action, found);
        } catch (const ENautilexError&) {
            return false;
        }
    }
    ActOn(match, action);
    return found;
}

// ---- Selected and special folder ----

std::wstring TZelShellTree::NodePath(const TTreeNode* node) const
{
    if (!IsValidNode(node))
        return {};
    auto* shellNode = const_cast<TZelShellTreeNode*>(static_cast<const TZelShellTreeNode*>(node));
    if (IsDesigning() && shellNode->Level() == 0 && rootedAt_ == SF_DESKTOP)
        return {};
    if (!shellNode->PathKnown) {
        shellNode->Path = ObjectPath(shellNode);
        shellNode->PathKnown = true;
    }
    return shellNode->Path;
}

std::wstring TZelShellTree::ObjectPath(TZelShellTreeNode* node) const
{
    std::wstring path;
    const TBorrowedIDList relative = node->RelativeIDList();
    IShellFolder* folder = node->ParentFolder.Get();
    if (node->Level() > 0 && folder != nullptr && IDListItemCount(relative) == 1) {
        // The parsing name of a file-system object in its own folder is its path; asking the
        // shell for the path of the absolute list instead binds the parent folder anew for
        // every node, which under Wine costs milliseconds in a large folder.
        SFGAOF attributes = SFGAO_FILESYSTEM;
        LPCITEMIDLIST items[1] = {relative};
        if (FAILED(folder->GetAttributesOf(1, items, &attributes)) ||
            (attributes & SFGAO_FILESYSTEM) == 0)
            return {};
        STRRET name{};
        if (SUCCEEDED(folder->GetDisplayNameOf(relative, SHGDN_FORPARSING, &name)))
            path = StrRetToString(relative, name);
    } else {
        path = PathFromIDList(node->AbsoluteIDList());
    }
    // Wine names virtual folders by "::{GUID}" texts: no paths.
    if (StartsWithText(path, L"::"))
        path.clear();
    return path;
}

std::wstring TZelShellTree::GetSelectedFolder()
{
    if (IsLoading())
        return pendingPath_;
    TZelShellTreeNode* selected = Selected();
    if (!IsValidNode(selected))
        return {};
    std::wstring path = NodePath(selected);
    if (path.empty() && !IsDesigning()) {
        const TZelShellFolder special = SpecialFolderOf(selected->AbsoluteIDList());
        if (special != SF_FILESYSTEMFOLDER)
            path = SpecialFolderPath(special);
    }
    return path;
}

void TZelShellTree::SetSelectedFolder(const std::wstring& value)
{
    if (IsLoading()) {
        // A special folder stored explicitly (other than the default) wins.
        if (pendingSpecialFolder_ == SF_FILESYSTEMFOLDER || pendingSpecialFolder_ == SF_DRIVES) {
            pendingPath_ = value;
            pendingSpecialFolder_ = SF_FILESYSTEMFOLDER;
        }
        return;
    }
    if (value.empty()) {
        if (rootedAt_ == SF_DESKTOP)
            SetSpecialFolder(SF_DRIVES);
        else if (TZelShellTreeNode* root = RootNode())
            root->SetSelected(true);
        return;
    }
    TOwnedIDList list;
    {
        TErrorModeScope errorMode(ErrorMode());
        list = IDListFromPath(nullptr, value);
    }
    const DWORD failure = GetLastError();
    if (!list) {
        if (GetShowErrorMessages())
            MessageBoxW(WindowHandle(), (value + L": " + SystemErrorMessage(failure)).c_str(),
                        Application != nullptr ? Application->Title.c_str() : L"",
                        MB_OK | MB_ICONERROR);
        return;
    }
    LocateIDList(list, laSelect);
}

TZelShellFolder TZelShellTree::GetSpecialFolder()
{
    if (IsLoading())
        return pendingSpecialFolder_;
    try {
        const TZelShellTreeNode* selected = Selected();
        if (!IsValidNode(selected))
            return SF_FILESYSTEMFOLDER;
        return SpecialFolderOf(selected->AbsoluteIDList());
    } catch (...) {
        return SF_FILESYSTEMFOLDER;
    }
}

void TZelShellTree::SetSpecialFolder(TZelShellFolder value)
{
    if (IsLoading()) {
        pendingSpecialFolder_ = value;
        if (value != SF_FILESYSTEMFOLDER)
            pendingPath_.clear();
        return;
    }
    if (value == SF_FILESYSTEMFOLDER)
        return;
    const TOwnedIDList list = SpecialFolderIDList(value);
    if (!list)
        return;
    try {
        browser_->SetFolderIDList(list);
    } catch (const ENautilexError&) {
        return;
    }
    LocateIDList(list, laSelect);
}

// ---- Selection ----

bool TZelShellTree::CanChange(TTreeNode* node)
{
    bool answer = true;
    CallEventHandler(OnChanging, this, node, answer);
    TZelShellTreeNode* shellNode = Typed(node);
    if (shellNode == nullptr || destroying_)
        return answer;
    try {
        if (answer && GetShowErrorMessages() && shellNode->Level() > 0)
            MakeBrowserObject(shellNode);
        if (GetShowFiles() && !shellNode->IsFolderNode())
            return answer;
        // Only a folder the browser can enter may be selected.
        TErrorModeScope errorMode(ErrorMode());
        browser_->SetFolderIDList(shellNode->AbsoluteIDList());
    } catch (...) {
        answer = false;
    }
    if (IsValidNode(shellNode) && shellNode->SelectedIndex() < 1) {
        shellNode->SetSelectedIndex(shellNode->ImageIndex());
        QueueIcon(shellNode, kIconKindOpen);
    }
    return answer;
}

void TZelShellTree::Change(TTreeNode* node)
{
    if (destroying_ || IsDestroying())
        return;
    TZelShellTreeNode* shellNode = Typed(node);
    if (shellNode != nullptr && !navigatingHistory_)
        history_.Visit(CopyIDList(shellNode->AbsoluteIDList()));
    // The handler's failure must not keep the link from hearing of the new folder.
    CallEventHandler(OnChange, this, node);
    shellNode = Typed(node);
    NotifyLink(shellNode);
    if (ExpandOnSelected && IsValidNode(shellNode)) {
        for (TZelShellTreeNode* sibling = shellNode->GetPrevSibling(); sibling != nullptr;
             sibling = sibling->GetPrevSibling())
            sibling->Collapse(false);
        for (TZelShellTreeNode* sibling = shellNode->GetNextSibling(); sibling != nullptr;
             sibling = sibling->GetNextSibling())
            sibling->Collapse(false);
        shellNode->Expand(false);
    }
    SetChangeDelay(0);
}

void TZelShellTree::NotifyLink(TZelShellTreeNode* node)
{
    if (!IsValidNode(node) || shellLink_ == nullptr)
        return;
    shellLink_->SetCanGoUp(node->Level() > 0);
    if (IsLoading())
        return;
    if (GetShowFiles() && !node->IsFolderNode() && node->Parent() != nullptr)
        shellLink_->BroadcastObjectChanged(this, node->Parent()->AbsoluteIDList(),
                                           node->RelativeIDList());
    else
        shellLink_->BroadcastFolderChanged(this, node->AbsoluteIDList());
}

bool TZelShellTree::NavigateHistory(int delta)
{
    navigatingHistory_ = true;
    const TScopeExit navigated([this] { navigatingHistory_ = false; });
    SetChangeDelay(0);
    if (delta <= 0)
        history_.Back(-delta);
    else
        history_.Forward(delta);
    if (history_.Current() == nullptr)
        return false;
    const TOwnedIDList target = CopyIDList(history_.Current());
    return LocateIDList(target, laSelect);
}

// ---- The link's requests ----

void STDMETHODCALLTYPE TZelShellTree::FolderChanged(TBorrowedIDList folder)
{
    if (folder != nullptr)
        LocateIDList(folder, laSelect);
}

void STDMETHODCALLTYPE TZelShellTree::ObjectChanged(TBorrowedIDList folder, TBorrowedIDList object)
{
    if (!GetShowFiles() || folder == nullptr)
        return;
    const TOwnedIDList list = ConcatIDLists(folder, object);
    LocateIDList(list, laSelect);
}

bool STDMETHODCALLTYPE TZelShellTree::GoUp()
{
    TZelShellTreeNode* selected = Selected();
    if (!IsValidNode(selected) || selected->Parent() == nullptr)
        return false;
    TZelShellTreeNode* parent = selected->Parent();
    // Selected at once, so that the change reports the parent to the link, once.
    SetChangeDelay(0);
    parent->SetSelected(true);
    return Selected() == parent;
}
