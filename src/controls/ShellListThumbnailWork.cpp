// The shell list's thumbnail work item.
#include "controls/ShellListThumbnailWork.h"

#include "shell/Nautilex.h"

TShellListThumbnailWork::TShellListThumbnailWork(TOwnedIDList absoluteIDList,
                                                 TWorkItemOwner owner, int imageIndex,
                                                 IThumbnailViewer* receiver, int height, int width)
    : width_(width), height_(height), idList_(std::move(absoluteIDList)), receiver_(receiver),
      imageIndex_(imageIndex)
{
    SetOwner(owner);
    SetCompletionHandler([this] { ApplyResult(); });
}

TShellListThumbnailWork::~TShellListThumbnailWork()
{
    if (bitmap_ != nullptr)
        DeleteObject(bitmap_);
}

void TShellListThumbnailWork::Execute()
{
    try {
        TNautilex browser(nullptr);
        browser.ShowErrorMessages = false;
        browser.SetAbsoluteIDList(idList_);
        idList_.reset();
        if (!Aborted())
            bitmap_ = static_cast<HBITMAP>(browser.ExtractThumbnail(width_, height_).release());
    } catch (...) {
        bitmap_ = nullptr;
    }
}

void TShellListThumbnailWork::ApplyResult()
{
    if (WaitIfPausedAndCheckAborted() || receiver_ == nullptr)
        return;
    HBITMAP bitmap = bitmap_;
    bitmap_ = nullptr;
    receiver_->SetThumbnail(bitmap, imageIndex_);
}
