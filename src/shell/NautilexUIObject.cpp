// TNautilex: the shell's user-interface objects (context menu, data object, info tip,
// thumbnail extractor) for the current object or for MultiObjects.
#include "shell/Nautilex.h"

#include "shell/IDList.h"
#include "shell/PathUtils.h"

namespace {

bool IsFullPath(const std::wstring& entry)
{
    return entry.find(L':') != std::wstring::npos;
}

}  // namespace

// Fills `lists` with one relative list per object and reports whether every list is a single
// item relative to the folder bound now. The shell expects exactly that: a list made
// relative to another folder, or one of several items, names some other object (Wine, for
// one, acts on its first item's folder).
bool TNautilex::CollectUIObjectLists(std::vector<TOwnedIDList>& lists)
{
    const TWideStringList entries = *multiObjects_;
    if (entries.size() < 2) {
        if (entries.size() == 1)
            SetObjectName(entries.front());
        lists.push_back(CopyIDList(objectIDList_));
        return lists.back() && IDListItemCount(lists.back()) == 1;
    }

    // The current object is put back afterwards, unless the folder changed under it.
    struct TRestoreObject {
        TNautilex& browser;
        TOwnedIDList object;
        unsigned generation;
        ~TRestoreObject()
        {
            if (browser.bindingGeneration_ == generation)
                browser.SetObjectIDList(object);
        }
    } restore{*this, CopyIDList(objectIDList_), bindingGeneration_};
    SetObjectIDList(nullptr);

    std::vector<unsigned> generations;
    for (const std::wstring& entry : entries) {
        TOwnedIDList list;
        if (IsFullPath(entry) && !IsDriveRoot(entry)) {
            // A full path is parsed in its own folder, which becomes the bound folder.
            const std::wstring path = ExcludeTrailingBackslash(entry);
            SetFolder(ExtractFilePath(path));
            const std::wstring name = ExtractFileName(path);
            if (!name.empty())
                list = IDListFromPath(shellFolder_.Get(), name);
        } else {
            list = IDListFromPath(shellFolder_.Get(), entry);
        }
        if (!list) {
            SetObjectName(entry);
            list = CopyIDList(objectIDList_);
        }
        lists.push_back(std::move(list));
        generations.push_back(bindingGeneration_);
    }
    for (size_t index = 0; index < lists.size(); ++index)
        if (!lists[index] || IDListItemCount(lists[index]) != 1 ||
            generations[index] != bindingGeneration_)
            return false;
    return true;
}

HRESULT TNautilex::GetUIObject(REFIID iid, void** out)
{
    if (out == nullptr)
        return E_POINTER;
    *out = nullptr;
    // The entries serve one operation, whatever its outcome.
    struct TClearEntries {
        TNautilex& browser;
        ~TClearEntries() { browser.multiObjects_->clear(); }
    } clearEntries{*this};

    std::vector<TOwnedIDList> lists;
    const bool consistent = CollectUIObjectLists(lists);
    if (!shellFolder_)
        throw ENautilexError(NoFolderMessage());

    HRESULT result = E_INVALIDARG;
    if (consistent) {
        std::vector<LPCITEMIDLIST> items;
        items.reserve(lists.size());
        for (const TOwnedIDList& list : lists)
            items.push_back(list.get());
        result = shellFolder_->GetUIObjectOf(OwnerWindow(), static_cast<UINT>(items.size()),
                                             items.data(), iid, nullptr, out);
        if (SUCCEEDED(result) && *out == nullptr)
            result = E_NOINTERFACE;
    }
    if (FAILED(result)) {
        *out = nullptr;
        SetLastError(static_cast<DWORD>(result));
    }
    return result;
}
