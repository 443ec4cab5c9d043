// TZelShellList: the item records, the full fill and the incremental refresh.
#include "controls/list/ShellList.h"

#include "controls/common/NameOrder.h"
#include "core/CallbackException.h"
#include "core/PathText.h"
#include "link/ShellLink.h"
#include "shell/IDList.h"
#include "shell/Nautilex.h"
#include "shell/PathUtils.h"
#include "shell/ZelShellFolder.h"
#include "threadpool/ThreadPool.h"
#include "ui/Cursor.h"
#include "ui/UpdateScope.h"

#include <algorithm>
#include <cmath>
#include <cstring>
#include <numeric>

namespace {

// 0.0002 days (about 17 s): an object changed this recently has its thumbnail fetched again.
constexpr double kRecentChangeDays = 0.0002;

double NowUtc()
{
    FILETIME now;
    GetSystemTimeAsFileTime(&now);
    ULARGE_INTEGER time;
    time.LowPart = now.dwLowDateTime;
    time.HighPart = now.dwHighDateTime;
    return static_cast<double>(time.QuadPart) / 864000000000.0 - 109205.0;
}

}  // namespace

// ---- Records and background work ----

void TZelShellList::CancelItemWork(TListItem* item) noexcept
{
    const TZelShellListItem* record = RecordOf(item);
    if (record == nullptr || record->Sequence == 0)
        return;
    thumbnailSlots_.Release(record->Sequence);
    if (workTargets_.erase(record->Sequence) == 0)
        return;
    if (WorkerPool != nullptr)
        WorkerPool->CancelWorkItems(item, nullptr);
}

void TZelShellList::CancelAllWork() noexcept
{
    if (WorkerPool != nullptr)
        for (const auto& [sequence, item] : workTargets_)
            WorkerPool->CancelWorkItems(item, nullptr);
    workTargets_.clear();
}

uint32_t TZelShellList::WorkSequence(TListItem* item)
{
    TZelShellListItem* record = RecordOf(item);
    if (record->Sequence == 0) {
        // Zero stays "none", even after the count wraps.
        if (++lastSequence_ == 0)
            ++lastSequence_;
        record->Sequence = lastSequence_;
    }
    workTargets_[record->Sequence] = item;
    return record->Sequence;
}

// Every way an item leaves the list ends here: its work is cancelled before the record goes.
void TZelShellList::Delete(TListItem* item)
{
    CancelItemWork(item);
    if (item == DropItem())
        item->SetDropTarget(false);
    DropProtocol().Forget(item);
    std::unique_ptr<TZelShellListItem> record(RecordOf(item));
    item->Data = nullptr;
    TListView::Delete(item);
}

// ---- Adding objects ----

std::unique_ptr<TZelShellListItem> TZelShellList::AcceptCurrentObject(TZelVisibilityRule& rule)
{
    const bool folder = browser_->IsFolder();
    if (!showFolders_ && folder)
        return nullptr;
    if (!rule.Accepts(*browser_, folder ? 1 : 0))
        return nullptr;
    return std::make_unique<TZelShellListItem>(browser_->ObjectIDList(), folder);
}

TListItem* TZelShellList::AddRecord(std::unique_ptr<TZelShellListItem> record)
{
    TListItem* item = Items()->Add();
    item->Data = record.release();
    item->DeferCaption();
    return item;
}

void TZelShellList::AddCurrentObject(TZelVisibilityRule& rule)
{
    std::unique_ptr<TZelShellListItem> record = AcceptCurrentObject(rule);
    if (!record)
        return;
    TListItem* item = AddRecord(std::move(record));
    if (!OnAddItem)
        return;
    // The handler sees the item as it will be shown.
    item->SetCaption(browser_->DisplayName());
    if (details_)
        FillSubItems(item);
    bool canAdd = true;
    CallEventHandler(OnAddItem, this, item, canAdd);
    if (!canAdd)
        item->Delete();
}

// The usual fill: the records are ordered by the folder's comparison before they become
// items, so the list view never has to move its items (nor its selection) about. By name in a
// file-system folder, the order of the names' sort keys is only confirmed by the folder, pair
// by pair: a fraction of the comparisons a sort asks it for.
bool TZelShellList::FillPresorted(TZelVisibilityRule& rule)
{
    IShellFolder* folder = browser_->ShellFolder();
    if (OnAddItem || OnCompare || folder == nullptr)
        return false;
    if (sortColumn_ >= std::max(1, Columns()->Count()))
        sortColumn_ = 0;
    if (sortColumn_ >= columnCount_)
        return false;
    sortDirection_ = descending_ ? -1 : 1;
    const LPARAM column = static_cast<LPARAM>(columnMap_[static_cast<size_t>(sortColumn_)]);
    const bool byName = column == 0 && GetSpecialFolder() == SF_FILESYSTEMFOLDER;
    std::vector<std::unique_ptr<TZelShellListItem>> records;
    std::vector<TNameOrderEntry> names;
    while (browser_->NextObject())
        if (std::unique_ptr<TZelShellListItem> record = AcceptCurrentObject(rule)) {
            if (byName)
                names.push_back({record->IDList(), record->Folder, browser_->GetObjectName()});
            records.push_back(std::move(record));
        }
    std::vector<TZelShellListItem*> objects;
    objects.reserve(records.size());
    for (const std::unique_ptr<TZelShellListItem>& record : records)
        objects.push_back(record.get());
    std::vector<size_t> order;
    if (!OrderByOwnValues(objects, order) &&
        (!byName || !OrderByName(folder, names, sortDirection_, order))) {
        order.resize(records.size());
        std::iota(order.begin(), order.end(), size_t{0});
        std::stable_sort(order.begin(), order.end(),
                         [folder, column, this, &records](size_t first, size_t second) {
                             const HRESULT result = folder->CompareIDs(
                                 column, records[first]->IDList(), records[second]->IDList());
                             if (FAILED(result))
                                 return false;
                             return static_cast<short>(HRESULT_CODE(result)) * sortDirection_ < 0;
                         });
    }
    AddParentFolderItem();
    for (const size_t index : order)
        AddRecord(std::move(records[index]));
    return true;
}

void TZelShellList::AddParentFolderItem()
{
    if (!showParentFolder_)
        return;
    if (shellLink_ != nullptr && !shellLink_->CanGoUp())
        return;
    if (GetSpecialFolder() == SF_DESKTOP)
        return;
    TListItem* item = Items()->Add();
    item->Data = new TZelShellListParentFolderItem();
    item->SetCaption(kParentFolderCaption);
    item->SetImageIndex(-1);
    item->SetOverlayIndex(-1);
    item->SetStateIndex(1);
}

// An interrupted walk would otherwise be continued by the next one.
void TZelShellList::DrainEnumeration() noexcept
{
    try {
        while (browser_->NextObject()) {}
    } catch (...) {
    }
}

// ---- Full fill ----

void TZelShellList::RefreshContents()
{
    if (IsLoading() || !Enabled())
        return;
    TWaitCursor waitCursor;
    CancelAllWork();
    CallEventHandler(OnBeforeFullRefresh, this);
    filling_ = true;
    const TScopeExit filled([this] { filling_ = false; });
    WatchBeforeReading();
    // The items' ID lists mean nothing to another folder than their own.
    std::vector<std::wstring> names;
    if (ItemsAreOfTheFolder())
        names = SelectedNames();
    itemsFolder_.reset();
    {
        TUpdateScope<TListItems> update(Items());
        Items()->Clear();
        folderIDList_.reset();
        extensionIcons_.clear();
        ForgetThumbnails();
        if (GetViewStyle() != vsReport)
            columnCount_ = 1;
        else
            CreateColumns();
        TZelVisibilityRule rule(options_);
        TScopeExit drain([this] { DrainEnumeration(); });
        if (!FillPresorted(rule)) {
            while (browser_->NextObject())
                AddCurrentObject(rule);
            AddParentFolderItem();
            SortItems();
        }
        drain.Dismiss();
    }
    itemsFolder_ = CopyIDList(FolderIDList());
    DrawSortArrows();
    selectedNames_.clear();
    SelectNames(names, false);
    CheckChangesSinceOffer();
    CallEventHandler(OnPopulated, this);
    CallEventHandler(OnPathChanged, this);
}

void TZelShellList::Refill()
{
    RefreshContents();
}

bool TZelShellList::ItemsAreOfTheFolder()
{
    if (!itemsFolder_ || Items()->Count() == 0)
        return false;
    const TOwnedIDList folder = browser_->FolderIDList();
    const UINT size = IDListSize(folder);
    if (size == IDListSize(itemsFolder_) &&
        std::memcmp(folder.get(), itemsFolder_.get(), size) == 0)
        return true;
    return SameIDLists(folder, itemsFolder_);
}

// ---- Incremental refresh ----

void TZelShellList::RefreshChanges()
{
    if (IsLoading() || !Enabled() || filling_)
        return;
    if (Items()->Count() > kIncrementalRefreshLimit) {
        if (!IsEditing())
            RefreshContents();
        return;
    }
    for (int index = 0; index < Items()->Count(); ++index)
        if (TZelShellListItem* record = RecordOf(Items()->Item(index)); !record->IsParentFolder())
            record->Present = 0;

    TZelVisibilityRule rule(options_);
    const double now = thumbnails_ ? NowUtc() : 0;
    TScopeExit drain([this] { DrainEnumeration(); });
    while (browser_->NextObject()) {
        if (!rule.Accepts(*browser_))
            continue;
        const TOwnedIDList object = browser_->ObjectIDList();
        TListItem* item = ItemByIDList(object);
        if (item == nullptr) {
            AddCurrentObject(rule);
            continue;
        }
        RecordOf(item)->Present = 1;
        if (thumbnails_ && std::fabs(browser_->ModifiedTime() - now) < kRecentChangeDays) {
            FillDisplayData(item);
            browser_->SetObjectIDList(object);
        }
    }
    drain.Dismiss();

    std::vector<std::wstring> cutPaths;
    const std::wstring folderPath = GetPath();
    for (int index = 0; index < Items()->Count();) {
        TListItem* item = Items()->Item(index);
        TZelShellListItem* record = RecordOf(item);
        if (record->IsParentFolder()) {
            ++index;
            continue;
        }
        if (checkboxes_ && shellLink_ != nullptr)
            UpdateCheckState(item);
        if (record->Present != 0) {
            ++index;
            continue;
        }
        if (item->Cut())
            cutPaths.push_back(folderPath + item->Caption());
        item->Delete();
    }
    if (!cutPaths.empty())
        ReportOperation(sopCut | sopRemove, cutPaths, std::wstring());
    if (thumbnails_)
        Invalidate();
}

void TZelShellList::ReportOperation(TZelShellOperations operation,
                                    const std::vector<std::wstring>& files,
                                    const std::wstring& destination)
{
    if ((operation & sopDelete) != 0) {
        TUpdateScope<TListItems> update(Items());
        for (int index = Items()->Count() - 1; index >= 0; --index)
            if (Items()->Item(index)->Selected())
                Items()->Delete(index);
    }
    if (!files.empty())
        CallEventHandler(OnOperation, this, operation, files, destination);
    if ((operation & (sopMove | sopDelete | sopRemove | sopRename)) != 0 && shellLink_ != nullptr)
        shellLink_->BroadcastRefreshChanges(this);
}
