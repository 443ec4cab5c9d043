// The totals of the selection: what each entry added when it came in, kept per entry so that
// taking the entry out subtracts exactly that. A file counts at once; a folder is measured by a
// folder-size work item on the process's worker pool, and its result is counted on the GUI
// thread unless the entry has left meanwhile.
#include "link/ZelSelectionList.h"

#include "core/CallbackException.h"
#include "link/SelectionPath.h"
#include "shell/PathUtils.h"
#include "threadpool/ThreadPool.h"
#include "threadpool/ZelWorkItems.h"
#include "ui/Application.h"

void TZelSelectionList::CountFile(const std::wstring& entry, int64_t size)
{
    const auto [place, added] = contributions_.try_emplace(UpperCase(entry));
    if (!added)
        return;  // already counted
    place->second.size = size;
    place->second.files = 1;
    totalSize_ += size;
    ++fileCount_;
}

void TZelSelectionList::MeasureFolder(const std::wstring& entry)
{
    const std::wstring key = UpperCase(entry);
    const auto [place, added] = contributions_.try_emplace(key);
    if (!added)
        return;
    const uint64_t measurement = ++lastMeasurement_;
    TComPtr<TZelFolderSizeWorkItem> item(
        new TZelFolderSizeWorkItem(EntryStem(entry), sizeOption_, true));
    item->SetOwner(this);
    std::shared_ptr<TZelSelectionList*> self = self_;
    item->SetOnWorkDone([self, key, measurement](TBasicWorkItem* done) {
        TZelSelectionList* list = *self;
        if (list == nullptr)
            return;
        // Runs on the GUI thread for a worker, which could only drop an exception.
        try {
            list->SizeCalculated(static_cast<TZelFolderSizeWorkItem*>(done), key, measurement);
        } catch (...) {
            HandleCallbackException(list);
        }
    });
    place->second.measurement = measurement;
    place->second.item = item;
    if (WorkerPool != nullptr) {
        WorkerPool->AddWorkItem(item.Get());
        return;
    }
    // Without a pool (a program that never started one) the measuring happens here.
    item->Execute();
    SizeCalculated(item.Get(), key, measurement);
}

void TZelSelectionList::TakeBack(const std::wstring& entry)
{
    const auto found = contributions_.find(UpperCase(entry));
    if (found == contributions_.end())
        return;
    TContribution& contribution = found->second;
    if (contribution.measurement != 0) {
        // Nothing counted yet: the measurement is dropped instead.
        if (contribution.item)
            contribution.item->Abort();
    } else {
        totalSize_ -= contribution.size;
        fileCount_ -= contribution.files;
        folderCount_ -= contribution.folders;
    }
    contributions_.erase(found);
}

void TZelSelectionList::CancelCalculations()
{
    for (auto& [key, contribution] : contributions_)
        if (contribution.item)
            contribution.item->Abort();
    contributions_.clear();
    if (WorkerPool != nullptr)
        WorkerPool->CancelWorkItems(this, nullptr);
}

void TZelSelectionList::SizeCalculated(TZelFolderSizeWorkItem* item, const std::wstring& key,
                                       uint64_t measurement)
{
    if (item->Aborted())
        return;
    const auto found = contributions_.find(key);
    // The entry left, or left and came back with a measurement of its own, meanwhile.
    if (found == contributions_.end() || found->second.measurement != measurement)
        return;
    TContribution& contribution = found->second;
    contribution.measurement = 0;
    contribution.item.Reset();
    contribution.size = static_cast<int64_t>(item->Size());
    contribution.files = item->FileCount();
    contribution.folders = item->FolderCount();
    totalSize_ += contribution.size;
    fileCount_ += contribution.files;
    folderCount_ += contribution.folders;
    CallEventHandler(OnCompletedCalculateFiles, this);
}
