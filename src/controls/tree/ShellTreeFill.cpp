// TZelShellTree: adding nodes, filling a node on its first expansion, sorting, and refreshing
// a node against a new enumeration of its folder.
#include "controls/tree/ShellTree.h"

#include "controls/common/ShellChangeNotifier.h"
#include "core/CallbackException.h"
#include "core/ScopedResource.h"
#include "shell/FolderProbe.h"
#include "shell/IDList.h"
#include "shell/PathUtils.h"
#include "shell/SystemImageList.h"
#include "ui/Application.h"
#include "ui/Cursor.h"
#include "ui/UpdateScope.h"

#include <cstring>
#include <string_view>
#include <unordered_map>

namespace {

std::string_view IDListBytes(TBorrowedIDList list)
{
    return {reinterpret_cast<const char*>(list), IDListSize(list)};
}

size_t IDListHash(TBorrowedIDList list)
{
    return std::hash<std::string_view>()(IDListBytes(list));
}

}  // namespace

// ---- Comparing and placing children ----

int TZelShellTree::CompareChildren(IShellFolder* folder, TBorrowedIDList first,
                                   TBorrowedIDList second)
{
    if (folder == nullptr || first == nullptr || second == nullptr)
        return 0;
    const HRESULT result = folder->CompareIDs(0, first, second);
    if (FAILED(result))
        return 0;
    return static_cast<short>(HRESULT_CODE(result));
}

int TZelShellTree::OrderedPosition(TZelShellTreeNode* parent, TBorrowedIDList item)
{
    // After the last child that does not come after it: where a stable sort puts it.
    int low = 0;
    int high = parent->Count();
    while (low < high) {
        const int middle = (low + high) / 2;
        TZelShellTreeNode* child = parent->Item(middle);
        if (CompareChildren(child->ParentFolder.Get(), item, child->RelativeIDList()) < 0)
            high = middle;
        else
            low = middle + 1;
    }
    return low;
}

void TZelShellTree::SortChildren(TZelShellTreeNode* node)
{
    if (!IsValidNode(node))
        return;
    if (node->Count() >= 2) {
        IShellFolder* folder = node->GetFirstChild()->ParentFolder.Get();
        node->CustomSort([this, folder](TTreeNode* first, TTreeNode* second) {
            return CompareChildren(folder, static_cast<TZelShellTreeNode*>(first)->RelativeIDList(),
                                   static_cast<TZelShellTreeNode*>(second)->RelativeIDList());
        });
    }
    node->ChildrenInOrder = true;
}

// ---- Adding nodes ----

TZelShellTreeNode* TZelShellTree::AddChild(TZelShellTreeNode* parent, bool pinned,
                                           TZelVisibilityRule& rule, int isFolder,
                                           bool inParentFolder)
{
    if (isFolder < 0)
        isFolder = browser_->IsFolder() ? 1 : 0;
    if (!rule.Accepts(*browser_, isFolder))
        return nullptr;
    TOwnedIDList relative = browser_->ObjectIDList();
    // Children kept in the folder's order take a new one in its place; otherwise it goes
    // last and a sort follows.
    const bool inPlace = parent->ChildrenInOrder && parent->Count() > 0;
    const int position = inPlace ? OrderedPosition(parent, relative) : parent->Count();
    const bool showFiles = GetShowFiles();
    const bool visible = parent->IsVisible() && parent->Expanded();
    auto* node = static_cast<TZelShellTreeNode*>(
        Items()->InsertChild(parent, position, browser_->DisplayName(), [&](TTreeNode* added) {
            auto* shellNode = static_cast<TZelShellTreeNode*>(added);
            shellNode->SetFlag(TZelShellTreeNode::kPinned, pinned);
            shellNode->SetFlag(TZelShellTreeNode::kFolderNode, isFolder != 0 || !showFiles);
            shellNode->Seen = true;
            shellNode->SetRelativeIDList(std::move(relative));
            if (inParentFolder)
                shellNode->DeriveAbsoluteIDList(parent);
            else
                shellNode->SetAbsoluteIDList(CopyIDList(browser_->AbsoluteIDList()));
            shellNode->ParentFolder = browser_->ShellFolder();
            // The handler sees the node's marks and button; its icon still waits for its first
            // drawing, so that a large folder queues no icon work for rows never shown.
            if (visible || OnAddFolder)
                ApplyObjectState(shellNode, true, visible);
        }));
    if (!inPlace)
        parent->ChildrenInOrder = false;
    if ((visible || OnAddFolder) && OnUpdatedFolder) {
        const LPARAM serial = node->Serial();
        CallEventHandler(OnUpdatedFolder, this, node);
        if (Items()->FindBySerial(serial) != node)
            return nullptr;
    }
    if (OnAddFolder && !AskAddFolder(node))
        return nullptr;
    return node;
}

bool TZelShellTree::AskAddFolder(TZelShellTreeNode* node)
{
    const LPARAM serial = node->Serial();
    bool canAdd = true;
    CallEventHandler(OnAddFolder, this, node, NodePath(node), canAdd);
    if (Items()->FindBySerial(serial) != node)
        return false;  // the handler took it out itself
    if (!canAdd) {
        node->Delete();
        return false;
    }
    return true;
}

void TZelShellTree::UpdateNode(TZelShellTreeNode* node, bool full)
{
    ApplyObjectState(node, full, true);
    CallEventHandler(OnUpdatedFolder, this, node);
}

void TZelShellTree::ApplyObjectState(TZelShellTreeNode* node, bool full, bool icons)
{
    if (icons) {
        node->SetImageIndex(TZelSystemImageList::FolderIndex(false));
        QueueIcon(node, kIconKindNormal);
    }
    node->SetHasChildren(GetShowFiles() ? browser_->IsFolder() : browser_->HasSubFolders());
    if (full) {
        if (showOverlayIcons_) {
            TErrorModeScope errorMode(SEM_FAILCRITICALERRORS);
            if (icons)
                QueueIcon(node, kIconKindOverlay);
            const ULONG attributes =
                browser_->GetAttributes(SFGAO_HIDDEN | SFGAO_COMPRESSED | SFGAO_ENCRYPTED);
            if ((attributes & SFGAO_HIDDEN) != 0)
                node->SetCut(true);
            node->SetFlag(TZelShellTreeNode::kCompressed, (attributes & SFGAO_COMPRESSED) != 0);
            node->SetFlag(TZelShellTreeNode::kEncrypted, (attributes & SFGAO_ENCRYPTED) != 0);
        } else {
            node->SetOverlayIndex(-1);
        }
    }
    if (checkBoxes_ || node->StateIndex() > 0)
        ApplyCheckState(node, full);
}

// ---- Expansion ----

namespace {

// Holds a waiting change back for the life of the scope (filling pumps no messages, but
// handlers may) and lets it run afterwards.
class TChangeHold {
public:
    TChangeHold(bool pending, std::function<void(bool)> set)
        : pending_(pending), set_(std::move(set))
    {
        set_(false);
    }
    ~TChangeHold()
    {
        if (pending_)
            set_(true);
    }
    TChangeHold(const TChangeHold&) = delete;
    TChangeHold& operator=(const TChangeHold&) = delete;

private:
    bool pending_;
    std::function<void(bool)> set_;
};

}  // namespace

std::wstring TZelShellTree::NodeWaitPlace(TZelShellTreeNode* node) const
{
    const std::wstring path = NodePath(node);
    if (!node->WaitPlaceKnown || node->WaitPlacePath != path) {
        const TZelShellTreeNode* parent = node->Parent();
        if (path.empty())
            node->WaitPlace.clear();
        else if (parent != nullptr && parent->WaitPlaceKnown && parent->WaitPlace.empty() &&
                 !parent->WaitPlacePath.empty())
            node->WaitPlace = FolderWaitPlaceInside(parent->WaitPlacePath, path);
        else
            node->WaitPlace = FolderWaitPlace(path);
        if (path.empty() && IsInNetwork(node->AbsoluteIDList()))
            node->WaitPlace = FolderWaitPlace(node->AbsoluteIDList());
        node->WaitPlacePath = path;
        node->WaitPlaceKnown = true;
    }
    return node->WaitPlace;
}

bool TZelShellTree::NetworkFolderReady(TZelShellTreeNode* node)
{
    const std::wstring place = NodeWaitPlace(node);
    if (place.empty())
        return true;
    TBoundedWaitResult answer;
    {
        TWaitCursor waitCursor;
        answer = AskFolderAnswersAt(place, node->AbsoluteIDList(), NetworkWaitLimit,
                                    GetShowErrorMessages());
    }
    return answer != bwTimedOut && IsValidNode(node);
}

bool TZelShellTree::CanExpand(TTreeNode* node)
{
    bool answer = TTreeView::CanExpand(node);
    TZelShellTreeNode* shellNode = Typed(node);
    if (shellNode == nullptr || destroying_)
        return answer;
    answer = answer && (expandBelowRoot_ || (shellNode->Level() == 0 && !IsLoading()));
    if (answer && shellNode->Count() == 0) {
        // A network folder is walked here on the GUI thread only once it has answered: one
        // that does not keeps its button, for another try.
        if (!NetworkFolderReady(shellNode))
            return false;
        FillNode(shellNode);
    }
    return answer;
}

void TZelShellTree::FillNode(TZelShellTreeNode* node)
{
    TChangeHold hold(ChangePending(), [this](bool pending) { SetChangePending(pending); });
    TWaitCursor waitCursor;
    TBusyScope busy(this);
    const LPARAM serial = node->Serial();
    WatchBeforeReading(node);
    {
        TUpdateScope update(Items());
        // No half-walked pass for the next walk.
        TScopeExit forgetWalk([this] { browser_->SetFolderIDList(nullptr); });
        try {
            TErrorModeScope errorMode(ErrorMode());
            browser_->SetFolderIDList(node->AbsoluteIDList());
            TZelVisibilityRule rule(options_);
            while (browser_->NextObject()) {
                const int isFolder = browser_->IsFolder() ? 1 : 0;
                if (isFolder != 0 || GetShowFiles())
                    AddChild(node, false, rule, isFolder, true);
                if (Items()->FindBySerial(serial) != node)
                    break;  // a handler took the node out
            }
        } catch (const ENautilexError&) {
            // A folder that vanished, a drive that is not ready, a folder that cannot be
            // read: whatever was found stays, and the node shows what it has.
        }
        forgetWalk.Dismiss();
        if (Items()->FindBySerial(serial) != node)
            return;
        SortChildren(node);
        node->SetHasChildren(node->Count() > 0);
    }
    // Network folders are watched by path.
    if (node->Level() > 0 && IsUNCPath(NodePath(node)))
        notifier_->Directories().Add(browser_->GetFolder());
}

// ---- Refresh ----

void TZelShellTree::RefreshNode(TZelShellTreeNode* node, bool recursive, bool full)
{
    if (IsLoading() || destroying_ || !IsValidNode(node) || node->ImageIndex() < 0)
        return;
    // Asking a folder that does not answer would freeze the window: it keeps what it shows
    // (its children too) until it answers again.
    if (!NetworkFolderReady(node))
        return;
    TBusyScope busy(this);
    const LPARAM serial = node->Serial();
    try {
        TErrorModeScope errorMode(ErrorMode());
        MakeBrowserObject(node);
        UpdateNode(node, full);
        if (Items()->FindBySerial(serial) != node)
            return;
        if (GetShowFiles() && !node->IsFolderNode())
            return;  // a file has nothing below it
        browser_->SetFolderIDList(node->AbsoluteIDList());
    } catch (const ENautilexError&) {
        if (Items()->FindBySerial(serial) == node)
            node->Delete();
        return;
    }
    RefreshChildren(node, recursive, full);
}

void TZelShellTree::RefreshChildren(TZelShellTreeNode* node, bool recursive, bool full)
{
    const LPARAM serial = node->Serial();
    if (!node->Expanded()) {
        // Collapsed: what it held is read afresh when it is next expanded.
        if (node->Count() > 0) {
            node->DeleteChildren();
            node->SetHasChildren(true);
        }
        return;
    }
    // The children by the bytes of their ID lists: objects that did not change come back
    // with the same bytes, so finding them costs no comparison by the shell. (Serials, not
    // nodes: a handler may take nodes out while the walk goes on.)
    std::unordered_multimap<size_t, LPARAM> index;
    index.reserve(static_cast<size_t>(node->Count()));
    for (int position = 0; position < node->Count(); ++position) {
        TZelShellTreeNode* child = node->Item(position);
        child->Seen = false;
        index.emplace(IDListHash(child->RelativeIDList()), child->Serial());
    }
    auto lookUp = [&](TBorrowedIDList object) -> TZelShellTreeNode* {
        const std::string_view bytes = IDListBytes(object);
        const auto [first, last] = index.equal_range(IDListHash(object));
        TZelShellTreeNode* found = nullptr;
        for (auto candidate = first; candidate != last; ++candidate) {
            auto* child = static_cast<TZelShellTreeNode*>(Items()->FindBySerial(candidate->second));
            // The first of equal children, as a walk over them would find.
            if (child != nullptr && IDListBytes(child->RelativeIDList()) == bytes &&
                (found == nullptr || child->Index() < found->Index()))
                found = child;
        }
        return found;
    };
    TZelVisibilityRule rule(options_);
    bool added = false;
    // No half-walked pass for the next walk.
    TScopeExit forgetWalk([this] { browser_->SetFolderIDList(nullptr); });
    {
        TErrorModeScope errorMode(ErrorMode());
        while (browser_->NextObject()) {
            const int isFolder = browser_->IsFolder() ? 1 : 0;
            if (!rule.Accepts(*browser_, isFolder))
                continue;
            const TOwnedIDList object = browser_->ObjectIDList();
            TZelShellTreeNode* child = lookUp(object);
            // The same object with other bytes? Not when the names differ by case: that is
            // another object, on a file system that tells such names apart.
            if (child == nullptr) {
                child = FindChild(node, object);
                if (child != nullptr && child->Text() != browser_->DisplayName())
                    child = nullptr;
            }
            if (child == nullptr) {
                if (!IsEditing() && AddChild(node, false, rule, isFolder, true) != nullptr)
                    added = true;
            } else {
                child->Seen = true;
                // A child never drawn learns its button when it is first drawn.
                if (child->ImageIndex() >= 0)
                    child->SetHasChildren(
                        GetShowFiles() && isFolder != 0 ? true : browser_->HasSubFolders());
                if (OnAddFolder)
                    AskAddFolder(child);
            }
            if (Items()->FindBySerial(serial) != node)
                break;
        }
    }
    forgetWalk.Dismiss();
    if (Items()->FindBySerial(serial) != node)
        return;
    Items()->DeleteChildren(node, [](TTreeNode* child) {
        const auto* shellChild = static_cast<TZelShellTreeNode*>(child);
        return !shellChild->Seen && !shellChild->IsPinned();
    });
    if (recursive) {
        std::vector<LPARAM> children;
        for (int position = 0; position < node->Count(); ++position)
            children.push_back(node->Item(position)->Serial());
        for (LPARAM child : children)
            RefreshNode(static_cast<TZelShellTreeNode*>(Items()->FindBySerial(child)), true, full);
        if (Items()->FindBySerial(serial) != node)
            return;
    }
    if (node->Count() == 0)
        node->SetHasChildren(false);
    if (added && !node->ChildrenInOrder)
        SortChildren(node);
}

void STDMETHODCALLTYPE TZelShellTree::RefreshContents()
{
    if (IsLoading() || destroying_)
        return;
    TWaitCursor waitCursor;
    if (Application != nullptr)
        Application->ProcessMessages();
    TBusyScope busy(this);
    TUpdateScope update(Items());
    if (Items()->Count() == 0)
        Root(rootedAt_);
    RefreshNode(RootNode(), true, true);
}

void STDMETHODCALLTYPE TZelShellTree::RefreshChanges()
{
    TZelShellTreeNode* selected = Selected();
    if (!IsValidNode(selected) || destroying_)
        return;
    if (Application != nullptr)
        Application->ProcessMessages();
    selected = Selected();
    if (!IsValidNode(selected))
        return;
    TBusyScope busy(this);
    TUpdateScope update(Items());
    TZelShellTreeNode* node =
        selected->Text().empty() && selected->Parent() != nullptr ? selected->Parent() : selected;
    const LPARAM serial = node->Serial();
    RefreshNode(node, true, false);
    if (!automaticRefresh_) {
        // Without the notifier, objects cut and pasted elsewhere are found by their parents.
        std::vector<LPARAM> parents;
        for (TZelShellTreeNode* walk = RootNode(); walk != nullptr; walk = walk->GetNext())
            if (walk->Cut() && walk->Parent() != nullptr)
                parents.push_back(walk->Parent()->Serial());
        for (LPARAM parent : parents)
            RefreshNode(static_cast<TZelShellTreeNode*>(Items()->FindBySerial(parent)), false,
                        false);
    }
    if (CheckBoxesShown())
        UpdateCheckStatesUp(Typed(Items()->FindBySerial(serial)));
}

void TZelShellTree::Delete(TTreeNode* node)
{
    TBusyScope busy(this);
    ForgetDragNode(node);
    TTreeView::Delete(node);
}
