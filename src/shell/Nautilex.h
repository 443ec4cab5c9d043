#pragma once
// TNautilex: the namespace browser through which every shell control reads the shell. It is a
// cursor: bound to one folder (an absolute ID list and its IShellFolder), with one current
// object inside it (a one-item relative ID list), walking the folder's objects one at a time
// and answering questions about the current object. Controls own private instances; a browser
// is used by one thread only.
#include "core/ComPtr.h"
#include "core/Component.h"
#include "core/IDListPtr.h"
#include "core/ScopedResource.h"
#include "shell/NautilexError.h"
#include "shell/ShellUtils.h"
#include "shell/ZelShellFolder.h"

#include <shlobj.h>

#include <functional>
#include <memory>
#include <string>
#include <vector>

class TMenuItem;
class TMessageWindow;
class TNautilex;
class TPopupMenu;
class TZelPathList;

// Days since 1899-12-30, the fraction being the time of day.
using TDateTime = double;

// Alignment of a details column as the shell reports it.
enum class TColumnAlignment { LeftJustify, RightJustify, Center };

// `execute` comes in True; False cancels the command.
using TContextMenuSelectEvent = std::function<void(const std::string& command, bool& execute)>;
// `Paths` holds the objects the command will act on; `AllowExecute` comes in True.
using TBeforeShellCommandEvent = std::function<void(TNautilex* Sender, const std::string& command,
                                                    TZelPathList& Paths, bool& AllowExecute)>;

// How often the browser asked the shell for answers it caches; tests read these to prove
// that a cached answer is not fetched again.
struct TNautilexQueryCounts {
    int FindData = 0;           // SHGetDataFromIDListW for the current object's find data
    int AbsoluteIDList = 0;     // concatenations of folder and object list
    int DetailsInterfaces = 0;  // attempts to obtain IShellFolder2 / IShellDetails
    int SubFolders = 0;         // HasSubFolders computations
    int ImageFactory = 0;       // thumbnails asked of the shell item's image factory
};

class TNautilex : public TComponent {
public:
    // What a walk of a folder asks the folder for.
    static constexpr SHCONTF kEnumerationFlags =
        SHCONTF_FOLDERS | SHCONTF_NONFOLDERS | SHCONTF_INCLUDEHIDDEN;

    explicit TNautilex(TComponent* owner);
    ~TNautilex() override;

    // ---- Published properties ----
    std::wstring GetFilter() const;
    void SetFilter(const std::wstring& value);
    std::wstring GetFolder();
    void SetFolder(const std::wstring& path);
    std::wstring GetObjectName();
    void SetObjectName(const std::wstring& value);
    TZelShellFolder GetSpecialFolder() const;
    void SetSpecialFolder(TZelShellFolder value);
    // Names inside the current folder or full paths; the next multi-object operation acts on
    // them and empties the list.
    TWideStringList& MultiObjects() noexcept { return *multiObjects_; }
    virtual std::wstring ClassName() const { return L"TNautilex"; }
    std::wstring Version() const { return ClassName() + L" V6.2.3"; }
    void SetVersion(const std::wstring&) {}

    // Restrict enumeration and folder tests to the file system.
    bool FileSystemOnly = false;
    // Let the system show its own error boxes and give the shell an owner window.
    bool ShowErrorMessages = true;
    bool ShowContextMenuOnTop = false;
    // The owning control's ReadOnly setting, copied in before a context menu is shown.
    bool ReadOnly = false;

    TNotifyEvent OnRename;
    TContextMenuSelectEvent OnContextMenuSelect;
    TBeforeShellCommandEvent OnBeforeShellCommand;

    // ---- Binding and cursor ----
    void SetFolderIDList(TBorrowedIDList list);
    TOwnedIDList FolderIDList() const;
    IShellFolder* ShellFolder() const noexcept { return shellFolder_.Get(); }
    // Binds the object's parent and makes the object current; the empty list is the desktop.
    void SetAbsoluteIDList(TBorrowedIDList list);
    // Folder + object, owned by the browser: valid until the object or the folder changes.
    TBorrowedIDList AbsoluteIDList();
    TOwnedIDList ObjectIDList() const;
    bool HasObject() const noexcept { return static_cast<bool>(objectIDList_); }
    void SetObjectIDList(TBorrowedIDList list);
    // The current folder becomes the current object of its parent.
    bool SelectFolderInParent();
    // The current object, when it is a folder, becomes the current folder.
    bool EnterObject();
    // Advances the enumeration; False at the end of a pass (the next call starts a new one).
    bool NextObject();
    // The objects of `folder` as its enumeration gave them, read elsewhere (ahead of time, on
    // another thread): the next pass over that folder walks them instead of asking the folder
    // again. Binding another folder, or a pass over another one, drops them.
    void OfferObjects(TBorrowedIDList folder, std::vector<TOwnedIDList> objects);
    bool MatchesFilter();
    bool IsFolder();
    bool HasSubFolders();
    bool IsFileFolder();
    TZelShellFolder ObjectSpecialFolder();
    HWND OwnerWindow();
    // A browser created at run time by a windowed control lets the shell use that control's
    // window as owner, as a browser loaded with its form does.
    void UseOwnerWindow(bool use) noexcept { loaded_ = use; }

    // ---- Names and attributes of the current object ----
    ULONG GetAttributes(ULONG mask);
    bool IsHidden();
    bool IsLink();
    bool CanRename();
    std::wstring DisplayName();
    std::wstring NetworkName();
    std::wstring LinkTarget();
    std::wstring InfoTip(bool slow);
    // Last-write time as stored (UTC); 0 when not available.
    TDateTime ModifiedTime();
    int ImageIndex();
    int OpenImageIndex();
    static int DesktopImageIndex();
    static std::wstring DesktopDisplayName();
    // 0-based overlay index (0 share, 1 link); -1 for none.
    int OverlayIndex();
    // A new bitmap the caller owns; 200 by 200 when either size is not positive.
    TScopedGdiObject ExtractThumbnail(int width, int height);
    // Renames the current object; `name` receives its display name afterwards.
    bool Rename(std::wstring& name);

    // ---- Details columns of the current folder ----
    bool HasDetails();
    std::wstring DetailsText(int column, bool header);
    TColumnAlignment ColumnInfo(int column, int& width);

    // ---- Shell user-interface objects ----
    // The shell object for the current object, or for MultiObjects when it has entries (the
    // list is emptied afterwards). On failure `out` stays null and the thread's last error
    // holds the code. Raises ENautilexError without a bound folder.
    HRESULT GetUIObject(REFIID iid, void** out);
    // Give the identifier for interfaces whose headers declare no __uuidof (IQueryInfo).
    template <class Interface>
    TComPtr<Interface> GetUIObject(REFIID iid = __uuidof(Interface))
    {
        TComPtr<Interface> result;
        GetUIObject(iid, reinterpret_cast<void**>(result.GetAddressOf()));
        return result;
    }

    // ---- Context menus and verbs ----
    // The shell's context menu for the current object (or MultiObjects) merged with a copy of
    // `menu` (may be null), shown at the screen point; the shell's entries go after
    // `insertAfter` (may be null: after the last item). `verb` receives the shell verb that
    // ran, or stays empty when none did (an application item was chosen, the menu was
    // cancelled or refused, or a deletion left its object in place).
    void ShowContextMenu(POINT point, TPopupMenu* menu, std::string& verb,
                         TMenuItem* insertAfter = nullptr);
    // The same on `menu` itself, without the copy and the deletion check.
    void PopupContextMenu(POINT point, TPopupMenu* menu, std::string& verb,
                          TMenuItem* insertAfter = nullptr);
    // The shell's menu of the folder's background (new objects, paste, the folder's
    // properties), merged into `menu` (may be null) as PopupContextMenu does.
    void ShowBackgroundContextMenu(POINT point, TPopupMenu* menu, std::string& verb);
    // Runs a verb on the current object (or MultiObjects) without a menu; the empty verb is
    // the default action. True when the shell ran it.
    bool ExecuteCommand(const std::string& verb);
    // A new item with the properties and handlers of `item`; the caller owns it.
    static std::unique_ptr<TMenuItem> CopyMenuItem(TMenuItem* item);
    // Appends copies of the children of `source` to `target`, recursively; returns the command
    // number of the copy of `find` (0 when it is not among them).
    static UINT CopyMenuItems(TMenuItem* source, TMenuItem* target, TMenuItem* find);
    // Clicks the first item below `item` with that command number (submenus first) and
    // returns 0; returns `command` when there is none.
    static UINT ClickMenuCommand(TMenuItem* item, UINT command);
    // The hidden window that owns an open context menu; null while none is open.
    HWND ContextMenuWindow() const noexcept;

    const TNautilexQueryCounts& QueryCounts() const noexcept { return counts_; }

protected:
    void Loaded() override;

private:
    enum class TFindDataState { NotFetched, Available, Unavailable };

    // Error mode for shell calls that may touch removable or network drives.
    UINT ShellErrorMode() const noexcept;
    bool FetchFindData();
    void DropEnumerator() noexcept;
    void DropOffer() noexcept;
    // True while a pass runs, over the folder's own enumeration or over offered objects.
    bool Walking() const noexcept { return enumerator_ || walkingOffer_; }
    bool FetchNextItem(TOwnedIDList& item);
    bool PassesFileSystemRule();
    bool SearchObject(const std::wstring& name);
    int SystemIconIndex(UINT flags);
    TScopedGdiObject ExtractWithImageFactory(int width, int height);
    bool CollectUIObjectLists(std::vector<TOwnedIDList>& lists);
    // The path whose disappearance proves a deletion: the current object's, or the first
    // entry of MultiObjects.
    std::wstring CommandTargetPath();
    // The objects a command acts on, as full paths; taken before MultiObjects is used up.
    TZelPathList CommandPaths();
    bool AllowShellCommand(const std::string& verb, TZelPathList& paths);
    HRESULT InvokeDefaultCommand(IContextMenu* contextMenu);
    HRESULT InvokeVerb(IContextMenu* contextMenu, const std::string& verb);
    bool HandleContextMenuMessage(UINT message, WPARAM wParam, LPARAM lParam, LRESULT& result);
    // Shows `contextMenu` merged into `menu` and runs what is chosen on `paths`.
    void TrackContextMenu(const TComPtr<IContextMenu>& contextMenu, TZelPathList paths, POINT point,
                          TPopupMenu* menu, std::string& verb, TMenuItem* insertAfter);
    void ShowMenuHint(WPARAM wParam, LPARAM lParam);

    // Fields in the order the component's stored form knows them.
    std::wstring folderPath_;
    bool folderPathValid_ = false;
    TOwnedIDList folderIDList_;
    TComPtr<IShellFolder> shellFolder_;
    TOwnedIDList objectIDList_;
    TOwnedIDList absoluteIDList_;
    TComPtr<IEnumIDList> enumerator_;
    TOwnedIDList offerFolder_;
    std::vector<TOwnedIDList> offer_;
    size_t offerNext_ = 0;
    bool walkingOffer_ = false;
    std::unique_ptr<TWideStringList> multiObjects_;
    std::vector<std::wstring> masks_;
    // Live only while a context menu is open: the shell's menu, and the application's menu
    // it is merged into (not owned; null when there is none).
    TComPtr<IContextMenu> contextMenu_;
    TComPtr<IContextMenu2> contextMenu2_;
    TPopupMenu* contextPopupMenu_ = nullptr;
    TComPtr<IShellDetails> shellDetails_;
    TComPtr<IShellFolder2> shellFolder2_;
    bool detailsUnavailable_ = false;
    WIN32_FIND_DATAW findData_{};
    TFindDataState findDataState_ = TFindDataState::NotFetched;
    bool loaded_ = false;
    int hasSubFoldersCache_ = -1;
    std::unique_ptr<TMessageWindow> contextMenuWindow_;  // live only while a menu is open

    // Changes whenever the folder is rebound, so that ID lists taken earlier can be told
    // from lists relative to the folder bound now.
    unsigned bindingGeneration_ = 0;
    TNautilexQueryCounts counts_;
};
