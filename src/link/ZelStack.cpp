#include "link/ZelStack.h"

void TZelStack::Push(HANDLE handle, const std::wstring& name, const WIN32_FIND_DATAW* first)
{
    if (handle == INVALID_HANDLE_VALUE || handle == nullptr)
        return;
    TLevel level;
    level.search.reset(handle);
    level.pathLength = path_.size();
    if (first != nullptr) {
        level.first = *first;
        level.firstPending = true;
    }
    levels_.push_back(std::move(level));
    path_ += name;
    path_ += L'\\';
}

TScopedFindHandle TZelStack::Pop()
{
    if (levels_.empty())
        return {};
    TLevel& top = levels_.back();
    TScopedFindHandle handle(top.search.release());
    path_.resize(top.pathLength);
    levels_.pop_back();
    if (levels_.empty())
        path_.clear();
    return handle;
}

HANDLE TZelStack::Top() const noexcept
{
    return levels_.empty() ? INVALID_HANDLE_VALUE : levels_.back().search.get();
}

void TZelStack::Clear()
{
    levels_.clear();
    path_.clear();
}

bool TZelStack::NextEntry(WIN32_FIND_DATAW& data)
{
    if (levels_.empty())
        return false;
    TLevel& top = levels_.back();
    if (top.firstPending) {
        top.firstPending = false;
        data = top.first;
        return true;
    }
    return FindNextFileW(top.search.get(), &data) != FALSE;
}

bool TZelStack::TopFilesListed() const noexcept
{
    return !levels_.empty() && levels_.back().filesListed;
}

void TZelStack::SetTopFilesListed() noexcept
{
    if (!levels_.empty())
        levels_.back().filesListed = true;
}
