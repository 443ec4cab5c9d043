#include "controls/tree/ShellTreeNode.h"

#include "controls/tree/ShellTree.h"
#include "shell/IDList.h"
#include "shell/ShellState.h"
#include "threadpool/ThreadPool.h"

TZelShellTreeNode::TZelShellTreeNode(TTreeNodes* owner) : TTreeNode(owner) {}

TZelShellTreeNode::~TZelShellTreeNode()
{
    // Before the node goes: no result may be applied to it afterwards.
    if (workQueued_ && WorkerPool != nullptr)
        WorkerPool->CancelWorkItems(WorkOwner(), nullptr);
}

TZelShellTree* TZelShellTreeNode::OwningTree() const noexcept
{
    return static_cast<TZelShellTree*>(TreeView());
}

void TZelShellTreeNode::Refresh(bool recursive)
{
    if (TZelShellTree* tree = OwningTree())
        tree->RefreshNode(this, recursive, true);
}

TBorrowedIDList TZelShellTreeNode::RelativeIDList() const noexcept
{
    return usesDesktopIDList_ ? DesktopIDList : relativeIDList_.get();
}

void TZelShellTreeNode::SetRelativeIDList(TOwnedIDList list) noexcept
{
    relativeIDList_ = std::move(list);
    PathKnown = false;
    if (absoluteBase_ != nullptr)
        absoluteIDList_.reset();  // made again from the new list
    if (usesDesktopIDList_) {
        usesDesktopIDList_ = false;
        absoluteIDList_.reset();
    }
}

TBorrowedIDList TZelShellTreeNode::AbsoluteIDList() const noexcept
{
    if (usesDesktopIDList_)
        return DesktopIDList;
    if (!absoluteIDList_ && absoluteBase_ != nullptr)
        absoluteIDList_ = ConcatIDLists(absoluteBase_->AbsoluteIDList(), relativeIDList_.get());
    return absoluteIDList_.get();
}

void TZelShellTreeNode::SetAbsoluteIDList(TOwnedIDList list) noexcept
{
    absoluteIDList_ = std::move(list);
    absoluteBase_ = nullptr;
    PathKnown = false;
    if (usesDesktopIDList_) {
        usesDesktopIDList_ = false;
        relativeIDList_.reset();
    }
}

void TZelShellTreeNode::DeriveAbsoluteIDList(const TZelShellTreeNode* base) noexcept
{
    absoluteIDList_.reset();
    absoluteBase_ = base;
    PathKnown = false;
}

void TZelShellTreeNode::UseDesktopIDList() noexcept
{
    relativeIDList_.reset();
    absoluteIDList_.reset();
    absoluteBase_ = nullptr;
    usesDesktopIDList_ = true;
    PathKnown = false;
}

LPARAM TZelShellTreeNode::SerialOfWorkOwner(TWorkItemOwner owner) noexcept
{
    const auto tag = reinterpret_cast<UINT_PTR>(owner);
    return (tag & 1) != 0 ? static_cast<LPARAM>(tag >> 1) : 0;
}
