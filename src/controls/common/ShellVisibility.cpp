// The visibility rule shared by the shell list, tree and combo.
#include "controls/common/ShellOptions.h"

#include "shell/IDList.h"
#include "shell/Nautilex.h"
#include "shell/PathUtils.h"
#include "shell/ZelShellFolder.h"

namespace {

constexpr TZelShellFolder kKindFolders[] = {SF_NETHOOD, SF_NETWORK, SF_BITBUCKET};

bool BeginsWithRecycle(const std::wstring& name)
{
    return name.size() >= 6 && SameText(name.substr(0, 6), L"RECYCL");
}

}  // namespace

TZelVisibilityRule::TZelVisibilityRule(TZelShellOptions options) : options_(options) {}

void TZelVisibilityRule::Locate(TKind kind)
{
    if (!located_[kind]) {
        lists_[kind] = SpecialFolderIDList(kKindFolders[kind]);
        located_[kind] = true;
    }
}

// The object is that special folder. None of the three can stand for another special folder
// that comes first in the table, so a direct comparison answers as SpecialFolderOf would.
bool TZelVisibilityRule::IsKind(TNautilex& browser, TKind kind)
{
    Locate(kind);
    if (!lists_[kind])
        return false;
    const TBorrowedIDList object = browser.AbsoluteIDList();
    if (!object || IDListItemCount(object) != IDListItemCount(lists_[kind]))
        return false;
    return SameIDLists(object, lists_[kind]);
}

bool TZelVisibilityRule::Accepts(TNautilex& browser, int isFolder)
{
    // Hidden-ness is needed by two steps; ask for it at most once.
    int hidden = -1;
    auto isHidden = [&] {
        if (hidden < 0)
            hidden = browser.IsHidden() ? 1 : 0;
        return hidden == 1;
    };
    if (!HasOption(options_, soShowHidden) && isHidden())
        return false;
    if (!HasOption(options_, soShowNethood) &&
        (IsKind(browser, kNethood) || IsKind(browser, kNetwork)))
        return false;
    if (!HasOption(options_, soShowRecycleBin)) {
        if (IsKind(browser, kBitBucket))
            return false;
        if (isHidden() && BeginsWithRecycle(browser.GetObjectName()))
            return false;
    }
    if (!HasOption(options_, soShowFiles)) {
        const bool folder = isFolder < 0 ? browser.IsFolder() : isFolder != 0;
        if (!folder)
            return false;
    }
    return true;
}
