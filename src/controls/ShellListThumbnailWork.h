#pragma once
// Background work that fetches one object's thumbnail for the shell list and hands it to the
// list on the GUI thread (which takes ownership of the bitmap). An aborted item hands nothing
// over and frees what it fetched.
#include "core/ComPtr.h"
#include "core/IDListPtr.h"
#include "threadpool/WorkItem.h"
#include "threadpool/ZelWorkItems.h"

class TShellListThumbnailWork : public TBasicWorkItem {
public:
    // Takes ownership of `absoluteIDList`.
    TShellListThumbnailWork(TOwnedIDList absoluteIDList, TWorkItemOwner owner, int imageIndex,
                            IThumbnailViewer* receiver, int height, int width);
    ~TShellListThumbnailWork() override;

    void Execute() override;
    // GUI thread.
    void ApplyResult();

private:
    int width_;
    int height_;
    HBITMAP bitmap_ = nullptr;
    TOwnedIDList idList_;
    TComPtr<IThumbnailViewer> receiver_;
    int imageIndex_;
};
