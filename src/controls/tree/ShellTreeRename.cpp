// TZelShellTree: renaming a node's object in place.
#include "controls/tree/ShellTree.h"

#include "core/PathText.h"
#include "core/TextCompare.h"
#include "core/TextConversion.h"
#include "shell/IDList.h"
#include "ui/Application.h"

namespace {

// The system's text for a failure the shell reported as an HRESULT.
std::wstring ShellErrorText(DWORD code)
{
    const auto result = static_cast<HRESULT>(code);
    // Wine answers a reserved character with a cancel and an existing name with E_FAIL.
    if (result == E_FAIL)
        code = 0;
    else if (HRESULT_FACILITY(result) == FACILITY_WIN32)
        code = HRESULT_CODE(result);
    if (code == ERROR_CANCELLED || code == 0)
        return L"The name is not valid, or an object of that name exists.";
    std::wstring text = SystemErrorMessage(code);
    if (text.empty())
        text = L"Error " + std::to_wstring(code) + L".";
    return text;
}

}  // namespace

bool TZelShellTree::CanEdit(TTreeNode* node)
{
    if (!TTreeView::CanEdit(node) || destroying_)
        return false;
    TZelShellTreeNode* shellNode = Typed(node);
    if (shellNode == nullptr)
        return true;
    try {
        TErrorModeScope errorMode(ErrorMode());
        MakeBrowserObject(shellNode);
        return browser_->CanRename();
    } catch (const ENautilexError&) {
        return false;
    }
}

void TZelShellTree::Edit(TTreeNode* node, std::wstring& text)
{
    TTreeView::Edit(node, text);
    TZelShellTreeNode* shellNode = Typed(node);
    if (shellNode == nullptr || destroying_)
        return;
    const std::wstring oldText = shellNode->Text();
    const std::wstring oldPath = NodePath(shellNode);
    const LPARAM serial = shellNode->Serial();
    const std::wstring requested = text;
    std::wstring name = text;
    bool renamed = false;
    DWORD failure = 0;
    try {
        TErrorModeScope errorMode(ErrorMode());
        MakeBrowserObject(shellNode);
        renamed = browser_->Rename(name);
        failure = GetLastError();
    } catch (const ENautilexError&) {
        failure = GetLastError();
    }
    if (!renamed) {
        // The object keeps its name, and the node its caption; the user learns why.
        text = oldText;
        MessageBoxW(WindowHandle(),
                    (L"Cannot rename \"" + oldText + L"\" to \"" + requested + L"\":\n" +
                     ShellErrorText(failure))
                        .c_str(),
                    Application != nullptr ? Application->Title.c_str() : L"",
                    MB_OK | MB_ICONERROR);
        // Back in the tree, where the user was.
        if (HandleAllocated())
            SetFocus();
        return;
    }
    if (Items()->FindBySerial(serial) != shellNode)
        return;
    text = name;
    TOwnedIDList relative = browser_->ObjectIDList();
    const TOwnedIDList folder = browser_->FolderIDList();
    shellNode->SetAbsoluteIDList(ConcatIDLists(folder, relative));
    shellNode->SetRelativeIDList(std::move(relative));
    shellNode->PathKnown = false;
    const bool wasExpanded = shellNode->Expanded();
    // What lies below is read again under the new name; the icon comes when it is drawn.
    if (shellNode->Count() > 0) {
        shellNode->DeleteChildren();
        shellNode->SetHasChildren(true);
    }
    shellNode->SetImageIndex(-1);
    QueueIcon(shellNode, kIconKindOpen);
    if (TZelShellTreeNode* parent = shellNode->Parent())
        SortChildren(parent);
    const std::wstring newPath = NodePath(shellNode);
    if (!oldPath.empty())
        ReportOperation(sopRename, {oldPath}, newPath);

    TZelShellTreeNode* selected = Typed(Selected());
    const std::wstring browserFolder = browser_->GetFolder();
    if (selected != nullptr && selected != shellNode && !browserFolder.empty() &&
        SameText(IncludeTrailingBackslash(NodePath(selected)), browserFolder)) {
        // A child of the selected folder was renamed: the folder's views show it.
        NotifyLink(selected);
    } else if (IsValidNode(shellNode)) {
        NotifyLink(shellNode);
        shellNode->SetSelected(true);
    }
    // The change reports of the rename arrive now; the node is opened again afterwards
    // rather than after a pause the user would feel.
    if (Application != nullptr)
        Application->ProcessMessages();
    if (wasExpanded && Items()->FindBySerial(serial) == shellNode)
        shellNode->Expand(false);
}

void TZelShellTree::EditCanceled(TTreeNode* node)
{
    TTreeView::EditCanceled(node);
    if (OnEditCanceled && !destroying_)
        OnEditCanceled(this, node);
}
