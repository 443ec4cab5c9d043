#pragma once
// TZelShellCombo: the path box of a pane. Its list holds the namespace's top levels (the
// desktop, the desktop's folders, the drives) with the current folder shown as an indented
// chain below its drive or its nearest listed ancestor; choosing an entry or typing a path
// and pressing Enter moves the pane through its shell link, and the link moves the combo when
// the pane's tree or list moves. A change notifier rebuilds the list when drives, media or
// shares come and go.
#include "controls/combo/ShellComboFolder.h"
#include "controls/common/ShellLinkMember.h"
#include "controls/common/ShellOptions.h"
#include "core/IDListPtr.h"
#include "link/ZelShellControl.h"

#include <string>

class TZelShellChangeNotifier;
class TZelShellLink;
class TZelSystemImageList;
class TZelVisibilityRule;

class TZelShellCombo : public TZelCustomFolderCombo, public TZelShellLinkMember<TZelShellCombo> {
public:
    // Drive, medium and share events: the ones that change the base list.
    static constexpr unsigned long kNotifierEvents = 0x30DC0;
    // The options a new combo starts with: network and recycle bin shown.
    static constexpr TZelShellOptions kDefaultOptions = soShowNethood | soShowRecycleBin;
    // The dropped list is at least this wide.
    static constexpr int kMinDroppedWidth = 250;
    // How long a typed path may take to answer before it is given up.
    static constexpr DWORD kDefaultPathWaitLimit = 5000;

    explicit TZelShellCombo(TComponent* owner);
    ~TZelShellCombo() override;

    std::wstring ClassName() const override { return L"TZelShellCombo"; }

    // ---- IZelShellControl (the link itself: TZelShellLinkMember) ----
    void STDMETHODCALLTYPE FolderChanged(TBorrowedIDList folder) override;
    void STDMETHODCALLTYPE ObjectChanged(TBorrowedIDList folder, TBorrowedIDList object) override {}
    void STDMETHODCALLTYPE SelectAll() override;
    void STDMETHODCALLTYPE RefreshContents() override;
    void STDMETHODCALLTYPE RefreshChanges() override {}
    bool STDMETHODCALLTYPE GoUp() override { return false; }

    // ---- Published properties ----
    // The edit shows the selected folder's file-system path instead of its name.
    bool GetShowFullPath() const noexcept { return showFullPath_; }
    void SetShowFullPath(bool value);
    void SetEditable(bool value) override;
    bool GetAutomaticRefresh() const noexcept { return automaticRefresh_; }
    void SetAutomaticRefresh(bool value);
    bool GetFileSystemOnly() const;
    void SetFileSystemOnly(bool value);
    // Right-click shows the shell's context menu of the selected entry.
    bool ShowContextMenu = true;

    // Selecting an entry moves the pane there (a negative or the current index does nothing).
    void SetItemIndex(int index) override;
    // The edit's text (the selected entry's name when the edit is empty or absent).
    std::wstring Text() const override;
    void SetText(const std::wstring& text) override;

    // ---- Operations ----
    // Shows the folder of an absolute ID list: selects its entry, or inserts the way to it.
    void ShowIDList(TBorrowedIDList list);
    // Takes a typed path: a folder moves the combo and the pane there, and no path at all
    // the computer folder; anything else (a file, a path that does not exist, a drive or
    // share that does not answer in PathWaitLimit ms) leaves the pane as it was and the edit
    // showing its folder again, with a message when ShowErrorMessages is on (else a beep).
    void GoToPath(const std::wstring& path) override;
    bool Initialized() const noexcept { return initialized_; }
    TZelShellChangeNotifier& Notifier() noexcept { return *notifier_; }
    DWORD PathWaitLimit = kDefaultPathWaitLimit;

protected:
    void CreateWnd() override;
    void Loaded() override;
    void Notification(TComponent* component, TOperation operation) override;
    // ShowFiles is never kept in the option word: the combo lists folders only.
    void OptionsChanged() override;
    void Change() override;
    void DropDown() override;
    void MeasureItem(int index, int& height) override;
    void DrawItem(int index, HDC dc, const RECT& rect, UINT state) override;
    void DoContextPopup(POINT mousePos, bool& handled) override;

private:
    // The list: building, filtering, adding and trimming entries.
    void EnsureInitialized();
    void BuildBaseList();
    void AddFolderChildren(int start, int level, TZelVisibilityRule& rule);
    // Returns the entry's index, or -1 when nothing was added.
    int AddEntry(int index, const std::wstring& name, const std::wstring& displayName, int level,
                 bool fixed, int imageIndex, TOwnedIDList list);
    void TrimAfter(int index);
    int FindEntry(TBorrowedIDList list, int start = 0) const;
    // Showing a folder.
    // False when the path's drive is not listed.
    bool ShowFileSystemPath(const std::wstring& path);
    void ShowAncestorChain(TBorrowedIDList list);
    // Selects without the change step.
    void SelectEntry(int index);
    void ChangeStep();
    void ShowSelectionText();
    void AnnounceSelection();
    void ReportPathError(const std::wstring& message);
    void RefuseTypedPath(const std::wstring& message);
    void DriveReport();
    void ShowShellMenu(POINT screen);

    bool initialized_ = false;
    bool showFullPath_ = false;
    bool automaticRefresh_ = true;
    // What the edit shows for the folder shown.
    std::wstring shownText_;
    TZelSystemImageList* drawImages_ = nullptr;
    TZelShellChangeNotifier* notifier_ = nullptr;
};
