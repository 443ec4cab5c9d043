// TZelShellTree: shell verbs on the selected node, its context menu, new folders and the
// reports of what the tree changed through the shell.
#include "controls/common/FileOperation.h"
#include "controls/tree/ShellTree.h"

#include "core/PathText.h"
#include "core/TextCompare.h"
#include "core/TextConversion.h"
#include "link/ShellLink.h"
#include "shell/ClipboardPaste.h"
#include "shell/PathUtils.h"
#include "shell/ShellState.h"
#include "shell/Verbs.h"
#include "ui/Application.h"

#include <ole2.h>

namespace {

constexpr char kVerbEmpty[] = "EMPTY";

// While alive, the browser's rename requests start editing the selected node's label (or are
// dropped while the tree is read-only); the handler the browser had comes back afterwards.
class TRenameRoute {
public:
    TRenameRoute(TNautilex& browser, std::function<void()> edit)
        : browser_(browser), saved_(std::move(browser.OnRename))
    {
        browser_.OnRename = [edit = std::move(edit)](TObject*) {
            if (edit)
                edit();
        };
    }
    ~TRenameRoute() { browser_.OnRename = std::move(saved_); }
    TRenameRoute(const TRenameRoute&) = delete;
    TRenameRoute& operator=(const TRenameRoute&) = delete;

private:
    TNautilex& browser_;
    TNotifyEvent saved_;
};

}  // namespace

// ---- Reports ----

void TZelShellTree::ReportOperation(TZelShellOperations operation,
                                    const std::vector<std::wstring>& files,
                                    const std::wstring& destination)
{
    if (OnOperation && !files.empty())
        OnOperation(this, operation, files, destination);
}

void TZelShellTree::PasteIntoSelected()
{
    if (ReadOnly())
        return;
    const std::vector<std::wstring> files = ClipboardFiles();
    ExecuteVerb(kVerbPaste);
    ReportOperation(sopPaste | sopAdd, files, NodePath(Selected()));
}

bool TZelShellTree::TransferSelection(const std::wstring& destination, bool move)
{
    if (move && ReadOnly())
        return false;
    const std::wstring folder = ExcludeTrailingBackslash(GetSelectedFolder());
    if (folder.empty() || IsDriveRoot(folder) || !PathExists(folder))
        return false;
    if (!TransferThroughShell(this, {folder}, destination, move))
        return false;
    ReportOperation(move ? sopMove | sopRemove : sopCopy, {folder}, destination);
    return true;
}

void TZelShellTree::ReportPaste(const std::vector<std::wstring>& files,
                                const std::wstring& destination)
{
    if (files.empty())
        return;
    // A cut source is gone once pasted; a copied one is still there.
    const TZelShellOperations kind = PathExists(files.front()) ? sopCopy : sopMove;
    ReportOperation(kind | sopPaste | sopAdd, files, destination);
}

void TZelShellTree::AfterDelete(const std::wstring& path)
{
    SetChangeDelay(0);
    // Without the notifier nothing else takes the node out.
    if (!automaticRefresh_)
        if (TZelShellTreeNode* selected = Typed(Selected()))
            selected->Delete();
    if (!path.empty())
        ReportOperation(sopDelete | sopRemove, {path}, std::wstring());
}

void TZelShellTree::AfterPaste(const std::vector<std::wstring>& files,
                               const std::wstring& destination)
{
    if (Application != nullptr)
        Application->ProcessMessages();
    RefreshChanges();
    ReportPaste(files, destination);
}

// ---- Verbs ----

bool TZelShellTree::ExecuteVerb(const std::string& verb)
{
    TZelShellTreeNode* selected = Typed(Selected());
    if (selected == nullptr || destroying_)
        return false;
    // Nothing the user may not change is changed, whoever asks.
    if (ReadOnly() && IsModifyingVerb(verb))
        return false;
    const bool readOnly = ReadOnly();
    TRenameRoute route(*browser_, [this, readOnly] {
        if (readOnly)
            return;
        if (TZelShellTreeNode* node = Typed(Selected()))
            node->EditText();
    });
    const std::wstring path = NodePath(selected);
    const bool paste = SameVerb(verb, kVerbPaste);
    const std::vector<std::wstring> clipboard =
        paste ? ClipboardFiles() : std::vector<std::wstring>{};
    const LPARAM serial = selected->Serial();
    bool done = false;
    try {
        TErrorModeScope errorMode(ErrorMode());
        MakeBrowserObject(selected);
        done = browser_->ExecuteCommand(verb);
    } catch (const ENautilexError&) {
        done = false;
    }
    if (!done)
        return false;
    if (SameVerb(verb, kVerbDelete)) {
        AfterDelete(path);
    } else if (paste) {
        AfterPaste(clipboard, path);
    } else if (SameVerb(verb, kVerbCut)) {
        if (TTreeNode* node = Items()->FindBySerial(serial))
            node->SetCut(true);
    }
    return true;
}

// ---- Context menu ----

POINT TZelShellTree::SelectedLabelCorner() const
{
    POINT corner{0, 0};
    if (const TTreeNode* selected = TTreeView::Selected()) {
        const RECT label = selected->DisplayRect(true);
        corner = POINT{label.right, label.bottom};
    }
    return ClientToScreen(corner);
}

bool TZelShellTree::ContextMenuAt(POINT screenPoint)
{
    if (!ShellContextMenu || Typed(Selected()) == nullptr)
        return false;
    // From the keyboard the point is (-1, -1): the menu goes by the selected label.
    if (screenPoint.x <= 0)
        screenPoint = SelectedLabelCorner();
    std::string verb;
    ShowShellContextMenu(screenPoint, verb);
    return true;
}

void TZelShellTree::ShowShellContextMenu(POINT screenPoint, std::string& verb)
{
    verb.clear();
    TZelShellTreeNode* selected = Typed(Selected());
    if (selected == nullptr || destroying_)
        return;
    const bool readOnly = ReadOnly();
    TRenameRoute route(*browser_, [this, readOnly] {
        if (readOnly)
            return;
        if (TZelShellTreeNode* node = Typed(Selected()))
            node->EditText();
    });
    const LPARAM serial = selected->Serial();
    const LPARAM parentSerial = selected->Parent() != nullptr ? selected->Parent()->Serial() : 0;
    const std::wstring path = NodePath(selected);
    const std::vector<std::wstring> clipboard = ClipboardFiles();
    try {
        TErrorModeScope errorMode(ErrorMode());
        MakeBrowserObject(selected);
        browser_->ReadOnly = readOnly;
        browser_->ShowContextMenuOnTop = GetShowContextMenuOnTop();
        browser_->ShowContextMenu(screenPoint, PopupMenu(), verb);
    } catch (const ENautilexError&) {
        // The object went away under the menu: its parent shows what is left.
        RefreshNode(Typed(Items()->FindBySerial(parentSerial)), false, false);
        verb.clear();
        return;
    }
    if (verb.empty() || destroying_)
        return;
    auto* node = Typed(Items()->FindBySerial(serial));
    if (SameVerb(verb, kVerbDelete)) {
        AfterDelete(path);
    } else if (SameVerb(verb, kVerbEmpty)) {
        RefreshNode(node, false, false);
        if (shellLink_ != nullptr)
            shellLink_->RefreshAll();
    } else if (SameVerb(verb, kVerbCut)) {
        if (node != nullptr)
            node->SetCut(true);
    } else if (SameVerb(verb, kVerbPaste)) {
        AfterPaste(clipboard, path);
    }
}

// ---- New folder ----

void TZelShellTree::CreateNewFolder(const std::wstring& parentPath, const std::wstring& name,
                                    bool edit)
{
    if (parentPath.empty() || destroying_)
        return;
    const std::wstring parent = IncludeTrailingBackslash(parentPath);
    std::wstring folderName = name;
    if (folderName.empty())
        folderName = NewFolderName.empty() ? std::wstring(L"New Folder") : NewFolderName;
    const std::wstring path = parent + folderName;
    // Missing folders above it are made too; one that exists already is selected as it is.
    const int created = SHCreateDirectoryExW(nullptr, path.c_str(), nullptr);
    if (created != ERROR_SUCCESS && created != ERROR_ALREADY_EXISTS) {
        MessageBoxW(WindowHandle(),
                    (L"Unable to create directory " + path + L": " +
                     SystemErrorMessage(static_cast<DWORD>(created)))
                        .c_str(),
                    Application != nullptr ? Application->Title.c_str() : L"",
                    MB_OK | MB_ICONERROR);
        return;
    }
    if (created == ERROR_SUCCESS)
        SHChangeNotify(SHCNE_MKDIR, SHCNF_PATHW, path.c_str(), nullptr);

    // A node refreshed now, drawn or not (a refresh passes over nodes never drawn).
    const auto refresh = [this](TZelShellTreeNode* node) {
        if (node->ImageIndex() < 0) {
            MakeBrowserObject(node);
            UpdateNode(node, true);
        }
        if (IsValidNode(node))
            RefreshNode(node, false, true);
    };
    const auto isParent = [&](TZelShellTreeNode* node) {
        return node != nullptr && SameText(IncludeTrailingBackslash(NodePath(node)), parent);
    };
    TZelShellTreeNode* parentNode = nullptr;
    try {
        SetSelectedFolder(parent);
        parentNode = Typed(Selected());
        // Folders made just now above the new one are not in the tree yet: the deepest node
        // reached learns of them, and the way down is found again.
        if (parentNode != nullptr && !isParent(parentNode)) {
            refresh(parentNode);
            SetSelectedFolder(parent);
            parentNode = Typed(Selected());
        }
        if (!isParent(parentNode))
            return;
        parentNode->SetHasChildren(true);
        parentNode->Expand(false);
        if (!IsValidNode(parentNode))
            return;
        refresh(parentNode);
    } catch (const ENautilexError&) {
        return;  // the folder went away meanwhile
    }
    if (!IsValidNode(parentNode))
        return;
    for (int index = 0; index < parentNode->Count(); ++index) {
        TZelShellTreeNode* child = parentNode->Item(index);
        if (SameText(child->Text(), folderName)) {
            if (edit) {
                child->MakeVisible();
                child->EditText();
            }
            return;
        }
    }
}
