#pragma once
// TZelShellList: a list view over one folder of the shell namespace. It owns a namespace
// browser that holds its folder, fills itself from the browser's enumeration, builds its
// report columns from the folder's details columns, follows the pane's shell link, refreshes
// on change reports, sorts with the folder's own comparison (by the column's values where the
// folder does not order by the column) and shows icons, overlays and thumbnails that the
// worker pool fetches in the background.
//
// Speed: a fill only enumerates the folder, asks the attributes the visibility rule needs and
// sorts; sorting by the column's values reads them from the objects' ID lists (and a type text
// once per extension). Captions, column texts, icons and marks are read when the list view
// first asks for them, which it does only for the rows it draws.
#include "controls/common/ColumnOrder.h"
#include "controls/common/ShellDragDrop.h"
#include "controls/common/ShellDropTarget.h"
#include "controls/common/ShellEvents.h"
#include "controls/common/ShellKeys.h"
#include "controls/common/ShellLinkMember.h"
#include "controls/common/ShellOptions.h"
#include "controls/list/ShellListItem.h"
#include "controls/list/ThumbnailSlots.h"
#include "core/IDListPtr.h"
#include "core/ScopedResource.h"
#include "link/ZelSelectionState.h"
#include "link/ZelShellControl.h"
#include "shell/FolderProbe.h"
#include "shell/Nautilex.h"
#include "shell/PidlHistory.h"
#include "shell/ZelShellFolder.h"
#include "threadpool/ZelWorkItems.h"
#include "ui/ListView.h"

#include <array>
#include <cstdint>
#include <functional>
#include <map>
#include <memory>
#include <string>
#include <unordered_map>
#include <vector>

class TZelShellLink;
class TZelShellChangeNotifier;
class TDiskWatcher;
class TFolderChanges;
struct TDiskChange;
class TZelSystemImageList;
class TZelSelectionStateImageList;
class TPopupMenu;
class TWindowSubclass;
class TZelShellList;
struct TShellListResultLink;
struct TShellListColumn;

enum TZelBackgroundImageStyle { bisLeftTop, bisRightBottom, bisTiled };

class TZelShellList : public TListView,
                      public TZelShellLinkMember<TZelShellList, IIconViewer, IThumbnailViewer>,
                      public TShellDropControl<TListItem> {
public:
    static constexpr int kMaxColumns = 256;
    // Item counts above this are refilled rather than refreshed in place.
    static constexpr int kIncrementalRefreshLimit = 300;
    static constexpr UINT kRefreshDelay = 300;
    // A burst of changes puts the refresh off by this much at most (then the delay runs out).
    static constexpr DWORD kRefreshPutOffLimit = 200;

    explicit TZelShellList(TComponent* owner);
    ~TZelShellList() override;

    // ---- IZelShellControl (the link itself: TZelShellLinkMember) ----
    void STDMETHODCALLTYPE FolderChanged(TBorrowedIDList folder) override;
    void STDMETHODCALLTYPE ObjectChanged(TBorrowedIDList folder, TBorrowedIDList object) override;
    void STDMETHODCALLTYPE SelectAll() override;
    void STDMETHODCALLTYPE RefreshContents() override;
    void STDMETHODCALLTYPE RefreshChanges() override;
    bool STDMETHODCALLTYPE GoUp() override;

    // ---- IIconViewer, IThumbnailViewer (GUI thread) ----
    // The pool's results arrive through receivers of their own (ShellListReceiver.h); these
    // apply a result for an item of the list now (`owner`), or for the thumbnail image that
    // still waits for its picture (`imageIndex`), and drop anything else.
    void STDMETHODCALLTYPE SetImage(int index, BYTE kind, TWorkItemOwner owner) override;
    void STDMETHODCALLTYPE SetThumbnail(HBITMAP bitmap, int imageIndex) override;

    // ---- Published properties ----
    bool GetAutomaticRefresh() const noexcept { return automaticRefresh_; }
    void SetAutomaticRefresh(bool value);
    // The list keeps its own copy; null or a bitmap narrower than one pixel removes the picture.
    HBITMAP GetBackgroundImage() const noexcept
    {
        return static_cast<HBITMAP>(backgroundImage_.get());
    }
    void SetBackgroundImage(HBITMAP bitmap);
    TZelBackgroundImageStyle GetBackgroundImageStyle() const noexcept { return backgroundStyle_; }
    void SetBackgroundImageStyle(TZelBackgroundImageStyle value);
    bool GetDetails() const noexcept { return details_; }
    void SetDetails(bool value);
    bool GetFileSystemOnly() const;
    void SetFileSystemOnly(bool value);
    std::wstring GetFilter() const;
    void SetFilter(const std::wstring& value);
    std::wstring GetPath();
    void SetPath(const std::wstring& value);
    // The objects of `folder` read ahead of time (see TFolderPreread): the next fill of that
    // folder shows them instead of reading the folder again. `changesSinceRead`, when given,
    // has watched the folder since before that read: once the list's own watches are open,
    // a change it saw makes the list look at the folder again.
    void OfferObjects(TBorrowedIDList folder, std::vector<TOwnedIDList> objects,
                      TScopedChangeNotification changesSinceRead = {});
    TZelShellFolder GetSpecialFolder();
    void SetSpecialFolder(TZelShellFolder value);
    // Copies or moves the selected objects of the file system into the folder `destination`
    // through the shell (its progress, conflicts and undo) and reports it through OnOperation
    // as a copy or a move; false when none is selected, for a move while ReadOnly, and when
    // the shell did not do all of it.
    bool TransferSelection(const std::wstring& destination, bool move);
    bool GetOleDragDrop() const noexcept { return oleDragDrop_; }
    void SetOleDragDrop(bool value);
    bool ShellContextMenu = true;
    // Milliseconds a network folder has to answer before the list gives up showing it.
    DWORD NetworkWaitLimit = kNetworkFolderWaitLimit;
    TPopupMenu* GetBackgroundPopupMenu() const noexcept { return backgroundPopupMenu_; }
    void SetBackgroundPopupMenu(TPopupMenu* menu);
    bool GetShowFolders() const noexcept { return showFolders_; }
    void SetShowFolders(bool value);
    bool GetShowParentFolder() const noexcept { return showParentFolder_; }
    void SetShowParentFolder(bool value);

    bool GetThumbnails() const noexcept { return thumbnails_; }
    void SetThumbnails(bool value);
    TViewStyle GetViewStyle() const noexcept { return ViewStyle(); }
    void SetViewStyle(TViewStyle value);
    bool GetCheckboxes() const noexcept { return checkboxes_; }
    void SetCheckboxes(bool value);
    int GetThumbnailHeight() const noexcept { return thumbnailHeight_; }
    void SetThumbnailHeight(int value);
    int GetThumbnailWidth() const noexcept { return thumbnailWidth_; }
    void SetThumbnailWidth(int value);
    COLORREF GetThumbnailBorderColor() const noexcept { return thumbnailBorderColor_; }
    void SetThumbnailBorderColor(COLORREF value);
    bool GetUseSystemFont() const noexcept { return useSystemFont_; }
    void SetUseSystemFont(bool value);
    bool UseSystemStyles = true;
    TZelCopyMode CopyMode = cmDefault;
    bool GetShowOverlayIcons() const noexcept { return showOverlayIcons_; }
    void SetShowOverlayIcons(bool value);
    virtual std::wstring ClassName() const { return L"TZelShellList"; }
    std::wstring Version() const { return ClassName() + L" V6.2.3"; }
    void SetVersion(const std::wstring&) {}

    // ---- Events (the list view's own: OnCompare, OnColumnClick, OnInfoTip, OnGetImageIndex)
    TOnAddItem OnAddItem;
    TNotifyEvent OnPopulated;
    TNotifyEvent OnPathChanged;
    TNotifyEvent OnBeforeFullRefresh;
    TNotifyEvent OnCreateColumns;
    TOnThumbnailUpdated OnThumbnailUpdated;
    TOnOperation OnOperation;
    TBeforeShellDropEvent<TListItem> OnBeforeShellDrop;

    // ---- Operations ----
    TNautilex& Browser() noexcept { return *browser_; }
    void BrowseToIDList(TBorrowedIDList folder);
    void NavigateHistory(int offset);
    TPidlHistory& History() noexcept { return history_; }
    // Index of the first item whose object the folder finds equal to `object`; -1 if none.
    int FindItem(TBorrowedIDList object);
    TListItem* ItemByIDList(TBorrowedIDList object);
    void SelectByIDList(TBorrowedIDList object);
    // Names of the selected objects, rebuilt on every call.
    const std::vector<std::wstring>& SelectedNames();
    // Selects, by name, the objects named (everything else is unselected).
    void SetSelectedNames(const std::vector<std::wstring>& names);
    // The record of an item; null for none.
    static TZelShellListItem* RecordOf(const TListItem* item) noexcept
    {
        return item != nullptr ? static_cast<TZelShellListItem*>(item->Data) : nullptr;
    }
    // Full parsing path of the item's object, cached in its record.
    std::wstring ItemPath(TListItem* item);
    // The current folder's absolute ID list, cached between fills.
    TBorrowedIDList FolderIDList();
    void Sort();
    // A column click: the same column toggles the direction, another starts ascending.
    void ColumnClick(int column);
    int SortColumn() const noexcept { return sortColumn_; }
    bool Descending() const noexcept { return descending_; }
    // Who orders the objects by a column: the folder's comparison, unless a probe (once per
    // folder and column) sees the folder order by something else than the column, in which
    // case the list compares the column's values itself. Tests force either side.
    TColumnComparer ColumnComparer = TColumnComparer::Probe;
    // Fills the item's texts, icon placeholder and marks now, as its first drawing does.
    void FillDisplayData(TListItem* item);

    // ---- OLE drag and drop (ShellListDragDrop.cpp) ----
    // Drags the selected objects; `button` is the key-state bit of the mouse button.
    void StartOleDrag(DWORD button);
    // The item under a drag, shown as drop target; null for none.
    TListItem* DropItem() const noexcept { return DropProtocol().DropItem(); }

    // ---- Columns ----
    int ColumnCount() const noexcept { return columnCount_; }
    int ColumnMap(int column) const { return columnMap_.at(static_cast<size_t>(column)); }

    TCustomImageList* ThumbnailImages() const noexcept { return thumbnailImages_; }
    // Whether the item shows a placeholder while its thumbnail is wanted or on its way.
    bool ThumbnailPending(const TListItem* item) const;
    TZelShellChangeNotifier& Notifier() noexcept { return *notifier_; }
    // Watches the folder shown on disk, for the changes no one announces to the shell.
    TDiskWatcher& DiskWatcher() noexcept { return *diskWatcher_; }
    // Times the refresh timer answered change reports; a burst of reports is answered once.
    int ChangeRefreshCount() const noexcept { return changeRefreshes_; }
    // Pending changes named by object are applied one by one, up to this many, in a folder
    // too large to walk again; more than this, or a change to the folder as a whole, and the
    // folder is read again.
    static constexpr size_t kNamedChangeLimit = 64;
    // Looks at the named objects of the folder at once, as the answer to reports naming them
    // does: each is added, updated or removed by what the folder holds now.
    void RefreshNamedObjects(const std::vector<std::wstring>& names);
    bool Filling() const noexcept { return filling_; }
    // The hint of an item, as the list shows it while the mouse rests on the item.
    std::wstring ItemHint(TListItem* item);

    // ---- What the user does with the objects (keys, mouse, verbs, renaming, check boxes) ----
    // A shell verb on the selection; true when something was done.
    bool InvokeVerb(const std::string& verb);
    // A shell verb on the current folder as an object of its parent (pasting into it).
    bool InvokeFolderVerb(const std::string& verb);
    // Creates the folder `name` (the shell's new-folder name when empty) in the current folder;
    // with `edit`, selects its item and starts editing the caption. True when it exists.
    bool CreateFolder(const std::wstring& name, bool edit);
    // Checks or unchecks the item's object in the link's selection list.
    void ToggleCheck(TListItem* item);
    // Whether a client point of the item lies on its check box.
    bool CheckBoxHit(TListItem* item, int x, int y);
    TOnCheckStateChanged OnCheckStateChanged;

protected:
    void CreateWnd() override;
    void WindowDestroying() override;
    void WndProc(TMessage& message) override;
    void Loaded() override;
    void Notification(TComponent* component, TOperation operation) override;
    bool Notify(NMHDR& header, LRESULT& result) override;
    void Delete(TListItem* item) override;
    void Change(TListItem* item, TItemChange change) override;
    void GetImageIndex(TListItem* item) override;
    void GetItemCaption(TListItem* item, std::wstring& caption) override;
    void ColClick(TListColumn* column) override;
    void InfoTip(TListItem* item, std::wstring& text) override;
    bool IsCustomDrawn() const override { return true; }
    void CustomDrawItem(TListItem* item, TListViewDraw& draw, bool& defaultDraw) override;
    void HeaderCreated(HWND header) override;
    void KeyDown(WORD& key, TShiftState shift) override;
    // A key of the list and tree's shared table.
    void RunKeyCommand(TShellKeyCommand command);
    void KeyPress(wchar_t& key) override;
    // Entering a list where no item has the focus gives it to the first, so the focus shows.
    void DoEnter() override;
    void DblClick() override;
    void MouseDown(TMouseButton button, TShiftState shift, int x, int y) override;
    void DoContextPopup(POINT mousePos, bool& handled) override;
    bool CanEdit(TListItem* item) override;

    // Rebuilds the report columns from the folder's details columns.
    virtual void CreateColumns();
    // The thumbnail result, after the checks of SetThumbnail.
    virtual void ApplyThumbnail(HBITMAP bitmap, int imageIndex);
    void OptionsChanged() override;

private:
    friend class TShellListReceiver;

    void Refill();
    // The browser is still bound to the folder the items came from.
    bool ItemsAreOfTheFolder();
    void AnnounceFolder();
    std::unique_ptr<TZelShellListItem> AcceptCurrentObject(TZelVisibilityRule& rule);
    TListItem* AddRecord(std::unique_ptr<TZelShellListItem> record);
    void AddCurrentObject(TZelVisibilityRule& rule);
    bool FillPresorted(TZelVisibilityRule& rule);
    void AddParentFolderItem();
    void CancelItemWork(TListItem* item) noexcept;
    void CancelAllWork() noexcept;
    // The item's sequence number, given with its first request.
    uint32_t WorkSequence(TListItem* item);
    // Results from the receivers: `item` is a sequence number, `generation` the thumbnail
    // generation of the request.
    void IconResult(uint32_t item, int index, BYTE kind);
    void ThumbnailResult(uint32_t item, uint32_t generation, HBITMAP bitmap, int imageIndex);
    void ApplyIcon(TListItem* item, int index, BYTE kind);
    // Thumbnails on their way and the images they are meant for are dropped, and the image
    // list emptied: the next drawing of each item fetches its thumbnail anew.
    void ForgetThumbnails();
    // The width of a column the user has not sized: the folder's, made to fit its caption
    // and usual content in the list's font.
    int DefaultWidth(const TShellListColumn& column);
    void FillSubItems(TListItem* item);
    void EnsureSubItems(TListItem* item);
    void QueueIconWork(TListItem* item, TBorrowedIDList absolute, BYTE kind);
    void QueueThumbnail(TListItem* item, TBorrowedIDList absolute);
    // The item's thumbnail image, lent anew (the image list grown, or the least recently drawn
    // item's image taken) when it has none; -1 when there is none to lend.
    int LendThumbnailSlot(uint32_t sequence);
    // Hands the wanted thumbnails to the pool, newest first and a few at a time; those whose
    // items are no longer on screen are dropped (they ask again when drawn again).
    void AskForThumbnails();
    void SendThumbnailRequest(int imageIndex);
    bool ItemOnScreen(uint32_t sequence);
    void UpdateCheckState(TListItem* item);
    void SelectDroppedFiles();
    // The name an object is selected again by: its file name, or its display name when it has
    // none (objects such as the computer folder); of the browser's current object.
    std::wstring CurrentObjectKey();
    // `anyForm`: the names may come in other forms than SelectedNames gives (SetSelectedNames);
    // off for a refill's own names, where a name not found is an object that has gone.
    void SelectNames(const std::vector<std::wstring>& names, bool anyForm);
    // The item for each name (null where none), in the order of the names.
    std::vector<TListItem*> NamedItems(const std::vector<std::wstring>& names, bool anyForm);
    void FindNamesInOtherForms(const std::vector<std::wstring>& names,
                               std::vector<TListItem*>& found,
                               std::unordered_map<std::wstring, std::vector<TListItem*>>& others);
    void SelectItems(const std::vector<TListItem*>& items);
    // The selected items other than " .. ", in list order.
    std::vector<TListItem*> SelectedObjectItems();
    // `folder`: compare with the folder's own comparison (`key` is then the folder); null:
    // compare the texts of column `key`.
    int CompareItems(TListItem* item1, TListItem* item2, LPARAM key, IShellFolder* folder);
    void SortItems();
    // Orders the objects (`records`) by the sort column's own values when the folder's
    // comparison does not order by it, or when the folder confirms that order; false when the
    // folder's comparison is to sort them.
    bool OrderByOwnValues(const std::vector<TZelShellListItem*>& records,
                          std::vector<size_t>& order);
    // Who orders by details column `details` in the current folder (found out with `records`).
    TColumnComparer ComparerFor(int details, TColumnValueReader& reader,
                                const std::vector<TZelShellListItem*>& records);
    void DrawSortArrows();
    void ApplyBackgroundImage();
    void ResetThumbnailImages();
    void ThumbnailLookChanged();
    void AttachNormalImageList();
    void ReportOperation(TZelShellOperations operation, const std::vector<std::wstring>& files,
                         const std::wstring& destination);
    void HandleHeaderMessage(TMessage& message);

    // ---- The watches (ShellListWatch.cpp) ----
    void CreateDiskWatcher();
    // Points the disk watch at the folder shown (none with AutomaticRefresh off); a new folder
    // is watched by the time this returns, and changes noted for the old one are forgotten.
    void FollowFolderOnDisk();
    // Opens the shell's and the disk's watches on the folder about to be read, before the
    // read: whatever changes from then on is reported, seen by the read or not. The changes
    // noted so far are covered by the read.
    void WatchBeforeReading();
    // A change seen by the offered objects' watch, once the list's own watches are open.
    void CheckChangesSinceOffer();
    // Whether the folder shown still exists, asked with the disk watch let go of when the whole
    // folder is in question (a watch would keep a deleted folder in being under Wine). A
    // folder that may wait is asked within NetworkWaitLimit: timed out when it did not answer.
    TBoundedWaitResult FolderStillExists(const std::wstring& path);

    // ---- The answers to changes (ShellListChanges.cpp) ----
    void CreateChangeBatch();
    void OnChangeReport(int event, TBorrowedIDList first);
    void DiskChanges(const std::vector<TDiskChange>& changes);
    void NoteReportedChange(TBorrowedIDList first);
    void StartRefreshTimer();
    // The refresh timer ran out with the list free.
    void AnswerChanges();
    // After the folder shown has vanished.
    void ShowNearestExistingParent(const std::wstring& vanished);
    // What the refresh timer does once the folder is known to still exist.
    void ApplyPendingChanges();
    void ApplyNamedChanges(const std::vector<std::wstring>& names);
    TListItem* ItemByName(const std::wstring& name);
    void DrainEnumeration() noexcept;
    // Interaction helpers (ShellListKeys, ShellListMouse, ShellListVerbs, ShellListRename).
    // True when the message was handled entirely.
    bool InteractionMessage(TMessage& message);
    void ShowSelectionContextMenu(POINT screen);
    // The shell's menu of the folder's background, for a click on no item.
    void ShowBackgroundContextMenu(POINT screen);
    // The browser's rename request starts editing the selected caption, unless ReadOnly.
    void SetBrowserRename();
    std::vector<std::wstring> SelectedPaths();
    void ReportPaste(const std::vector<std::wstring>& files, const std::wstring& destination);
    void ShowSelectionCut();
    void CaptionEdited(TListItem* item, const std::wstring& oldCaption);
    // ---- Drops on the list (ShellListDragDrop.cpp) ----
    HWND DropWindow() const override;
    DWORD DropEffects() const override;
    TListItem* DropItemAt(POINT client) override;
    TComPtr<IDropTarget> ItemDropTarget(TListItem* item) override;
    TComPtr<IDropTarget> BackgroundDropTarget() override;
    void ShowDropHighlight(TListItem* item, bool shown) override;
    DWORD OwnDragButton() const override;
    std::wstring DropDestination(TListItem* item) override;
    void BeforeShellDrop(TListItem* item, const std::vector<std::wstring>& files, bool& execute,
                         DWORD keyState) override;
    void DropOffered(const std::vector<std::wstring>& files) override;
    void ReportDrop(TZelShellOperations operations, const std::vector<std::wstring>& files,
                    const std::wstring& destination) override;

    TNautilex* browser_ = nullptr;
    // Reached by the receivers of this list's requests; cut when the list goes.
    std::shared_ptr<TShellListResultLink> resultLink_;
    // Items whose background work may still report, by sequence number: the only targets a
    // result may name. The item itself is the owner tag its work is cancelled by.
    std::unordered_map<uint32_t, TListItem*> workTargets_;
    uint32_t lastSequence_ = 0;
    // The thumbnail images, the item each is lent to and the pictures wanted for them. The
    // generation changes whenever the thumbnail image list is emptied.
    TThumbnailSlots thumbnailSlots_;
    // The request made for each wanted image, by image index, until it goes to the pool.
    struct TThumbnailRequest {
        TComPtr<TThumbnailWorkItem> work;
        TComPtr<IThumbnailViewer> receiver;
    };
    std::vector<TThumbnailRequest> wantedThumbnails_;
    uint32_t thumbnailGeneration_ = 0;
    // Placeholder icons by file type, for the current fill.
    std::map<std::wstring, int> extensionIcons_;

    bool automaticRefresh_ = true;
    bool details_ = true;
    bool showFolders_ = true;
    bool showParentFolder_ = false;
    bool thumbnails_ = false;
    bool checkboxes_ = false;
    bool useSystemFont_ = true;
    bool showOverlayIcons_ = true;
    bool oleDragDrop_ = true;
    int thumbnailWidth_ = 96;
    int thumbnailHeight_ = 96;
    COLORREF thumbnailBorderColor_ = 0xC0C0C0;
    TZelBackgroundImageStyle backgroundStyle_ = bisTiled;
    TScopedGdiObject backgroundImage_;

    TPopupMenu* backgroundPopupMenu_ = nullptr;
    // The right button went down in the list since its last context menu.
    bool rightPressedHere_ = false;

    int sortColumn_ = 0;
    bool descending_ = false;
    // What the probe found, by details column, for the folder `comparersFolder_`.
    std::map<int, TColumnComparer> folderComparers_;
    TOwnedIDList comparersFolder_;
    int sortDirection_ = 1;
    int columnCount_ = 1;
    std::array<int, kMaxColumns> columnMap_{};
    std::array<int, kMaxColumns> savedWidths_{};
    bool plainFileFolder_ = false;
    TOwnedIDList folderIDList_;
    // The folder the items were read from: a refill selects objects again only in it.
    TOwnedIDList itemsFolder_;
    std::vector<std::wstring> selectedNames_;
    std::vector<std::wstring> droppedFiles_;
    TPidlHistory history_;
    TZelShellChangeNotifier* notifier_ = nullptr;
    TDiskWatcher* diskWatcher_ = nullptr;
    std::wstring diskWatchFolder_;
    // Watches the folder of offered objects from before they were read until the list's own
    // watches are open on it.
    TScopedChangeNotification offerChanges_;
    TOwnedIDList offerChangesFolder_;
    // Changes waiting for the refresh timer: names of objects, or the whole folder.
    std::unique_ptr<TFolderChanges> changes_;
    int changeRefreshes_ = 0;
    TZelSystemImageList* smallSystemImages_ = nullptr;
    TZelSystemImageList* largeSystemImages_ = nullptr;
    TCustomImageList* smallImages_ = nullptr;
    TCustomImageList* largeImages_ = nullptr;
    TCustomImageList* thumbnailImages_ = nullptr;
    TZelSelectionStateImageList* checkImages_ = nullptr;
    TScopedGdiObject arrowUp_;
    TScopedGdiObject arrowDown_;

    bool filling_ = false;
    bool closing_ = false;
    bool navigatingHistory_ = false;
    bool applyingSelection_ = false;
    bool applyingThumbnail_ = false;
    bool createdOnce_ = false;
    bool suppressRefill_ = false;
    std::wstring loadingPath_;
    std::unique_ptr<TWindowSubclass> headerSubclass_;
    // Shift+F10 showed the menu: the context-menu request that the key's release brings is
    // the same request.
    bool contextMenuByKey_ = false;
    std::unique_ptr<TShellDragDrop> dragDrop_;
};
