// The background half of the selection totals: each folder that enters or leaves the selection
// is measured by a folder-size work item on the process's worker pool, and its result is added
// (factor +1) or subtracted (factor -1) on the GUI thread.
#include "link/ZelSelectionList.h"

#include "core/ComPtr.h"
#include "threadpool/ThreadPool.h"
#include "threadpool/ZelWorkItems.h"

void TZelSelectionList::StartSizeCalculation(const std::wstring& path, int factor)
{
    TComPtr<TZelFolderSizeWorkItem> item(new TZelFolderSizeWorkItem(path, sizeOption_, true));
    item->SetFactor(factor);
    item->SetOwner(this);
    std::shared_ptr<TZelSelectionList*> self = self_;
    item->SetOnWorkDone([self](TBasicWorkItem* done) {
        if (*self != nullptr)
            (*self)->SizeCalculated(static_cast<TZelFolderSizeWorkItem*>(done));
    });
    if (WorkerPool != nullptr) {
        WorkerPool->AddWorkItem(item.Get());
        return;
    }
    // Without a pool (a program that never started one) the measuring happens here.
    item->Execute();
    SizeCalculated(item.Get());
}

void TZelSelectionList::CancelCalculations()
{
    if (WorkerPool != nullptr)
        WorkerPool->CancelWorkItems(this, nullptr);
}

void TZelSelectionList::SizeCalculated(TZelFolderSizeWorkItem* item)
{
    if (item->Aborted())
        return;
    const int factor = item->Factor();
    totalSize_ += factor * static_cast<int64_t>(item->Size());
    fileCount_ += factor * item->FileCount();
    folderCount_ += factor * item->FolderCount();
    // A result that arrives after the selection was emptied leaves nothing behind.
    if (paths_.Count() == 0)
        ZeroTotals();
    if (OnCompletedCalculateFiles)
        OnCompletedCalculateFiles(this);
}
