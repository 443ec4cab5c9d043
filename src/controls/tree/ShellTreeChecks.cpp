// TZelShellTree: check boxes bound to the selection list of the pane's link. A node's state
// image is its selection state; a change at one node is carried to its ancestors and to the
// descendants the tree shows.
#include "controls/tree/ShellTree.h"

#include "controls/common/SelectionStateImageList.h"
#include "core/ScopedResource.h"
#include "link/ShellLink.h"
#include "link/ZelSelectionList.h"
#include "ui/Cursor.h"

void TZelShellTree::SetCheckBoxes(bool value)
{
    if (value && shellLink_ == nullptr && !IsLoading()) {
        if (IsDesigning())
            MessageBoxW(WindowHandle(),
                        L"You must now assign a TZElShellLink to the ShellLink property of this "
                        L"components for the checkboxes to work!",
                        L"", MB_OK | MB_ICONWARNING);
        value = false;
    }
    if (value && checkImages_ == nullptr) {
        checkImages_ = MakeOwned<TZelSelectionStateImageList>(this);
        SetStateImages(checkImages_);
    } else if (!value && checkImages_ != nullptr) {
        SetStateImages(nullptr);
        delete checkImages_;
        checkImages_ = nullptr;
    }
    if (value == checkBoxes_)
        return;
    checkBoxes_ = value;
    if (!IsLoading())
        RefreshNode(RootNode(), true, true);
}

int TZelShellTree::RootCheckState() const
{
    TZelSelectionList* list = shellLink_->SelectionList();
    const std::wstring path = rootedAt_ != SF_DESKTOP ? SpecialFolderPath(rootedAt_) : L"";
    if (list->Paths().Count() > 0)
        return path.empty() ? ssGrayed : list->StateOf(path);
    return path.empty() ? ssNone : ssUnChecked;
}

void TZelShellTree::ApplyCheckState(TZelShellTreeNode* node, bool full)
{
    if (!CheckBoxesShown()) {
        node->SetStateIndex(0);
        return;
    }
    // The root of a special folder (the desktop, the computer) has no path of its own to
    // check: it shows whether anything below it is.
    if (node == RootNode() && rootedAt_ != SF_FILESYSTEMFOLDER) {
        node->SetStateIndex(RootCheckState());
        return;
    }
    const int state = node->StateIndex();
    if (full || (state != ssNone && state != ssGrayed))
        node->SetStateIndex(shellLink_->SelectionList()->StateOfIDList(node->AbsoluteIDList()));
}

void TZelShellTree::UpdateCheckStatesUp(TZelShellTreeNode* node)
{
    if (!CheckBoxesShown())
        return;
    TZelSelectionList* list = shellLink_->SelectionList();
    const bool fileSystemRoot = rootedAt_ == SF_FILESYSTEMFOLDER;
    for (TZelShellTreeNode* walk = Typed(node); walk != nullptr; walk = walk->Parent()) {
        if (walk == RootNode() && !fileSystemRoot) {
            walk->SetStateIndex(RootCheckState());
            return;
        }
        int state = list->StateOfIDList(walk->AbsoluteIDList());
        if (state == ssUnused && !fileSystemRoot)
            state = list->Paths().Count() > 0 ? ssGrayed : ssNone;
        walk->SetStateIndex(state);
    }
}

void TZelShellTree::UpdateCheckStatesDown(TZelShellTreeNode* node)
{
    if (!CheckBoxesShown() || Typed(node) == nullptr)
        return;
    TZelSelectionList* list = shellLink_->SelectionList();
    const bool fileSystemRoot = rootedAt_ == SF_FILESYSTEMFOLDER;
    int state = list->StateOfIDList(node->AbsoluteIDList());
    if (state == ssUnused && !fileSystemRoot)
        state = ssNone;
    node->SetStateIndex(state);
    // Only what is shown: collapsed branches learn their states when next filled.
    if (node->Expanded())
        for (int index = 0; index < node->Count(); ++index)
            UpdateCheckStatesDown(node->Item(index));
}

int TZelShellTree::AbsoluteIndex(const TTreeNode* node) const
{
    int index = 0;
    for (const TTreeNode* walk = Items()->GetFirstNode(); walk != nullptr;
         walk = walk->GetNext(), ++index)
        if (walk == node)
            return index;
    return -1;
}

void TZelShellTree::ToggleCheck(TZelShellTreeNode* node)
{
    if (!IsValidNode(node) || !CheckBoxesShown() || destroying_)
        return;
    TWaitCursor waitCursor;
    const int state = node->StateIndex();
    if (state != ssChecked && state != ssUnChecked && state != ssGrayed)
        return;  // ssNone: nothing there to select
    const LPARAM serial = node->Serial();
    TZelSelectionList* list = shellLink_->SelectionList();
    // One change for the link's controls, whatever the list does inside.
    list->LockRefresh();
    TScopeExit unlock([list] { list->UnlockRefresh(); });
    if (state == ssChecked)
        list->UncheckIDList(node->AbsoluteIDList());
    else
        list->CheckIDList(node->AbsoluteIDList());
    unlock.Run();
    node = Typed(Items()->FindBySerial(serial));
    if (node == nullptr || !CheckBoxesShown())
        return;
    UpdateCheckStatesUp(node);
    UpdateCheckStatesDown(node);
    if (OnCheckStateChanged)
        OnCheckStateChanged(this, AbsoluteIndex(node), NodePath(node),
                            static_cast<TZelSelectionState>(node->StateIndex()));
}
