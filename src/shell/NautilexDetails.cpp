// TNautilex: the shell's detail columns of the current folder (headers, widths, alignment
// and the texts of the current object).
#include "shell/Nautilex.h"

#include "shell/IDList.h"

#include <commctrl.h>

namespace {

constexpr int kDefaultColumnWidth = 120;
constexpr int kPixelsPerCharacter = 7;
constexpr UINT kDetailsErrorMode = SEM_FAILCRITICALERRORS | SEM_NOOPENFILEERRORBOX;

// Left, right and centre as the shell reports them; other codes read as left.
TColumnAlignment AlignmentOf(int format)
{
    switch (format & LVCFMT_JUSTIFYMASK) {
    case LVCFMT_RIGHT: return TColumnAlignment::RightJustify;
    case LVCFMT_CENTER: return TColumnAlignment::Center;
    default: return TColumnAlignment::LeftJustify;
    }
}

}  // namespace

bool TNautilex::HasDetails()
{
    if (!shellFolder_)
        return false;
    if (!shellFolder2_ && !shellDetails_ && !detailsUnavailable_) {
        ++counts_.DetailsInterfaces;
        shellFolder_.As(&shellFolder2_);
        if (!shellFolder2_) {
            const HRESULT result = shellFolder_->CreateViewObject(
                OwnerWindow(), IID_IShellDetails,
                reinterpret_cast<void**>(shellDetails_.ReleaseAndGetAddressOf()));
            if (FAILED(result) || !shellDetails_) {
                shellDetails_.Reset();
                detailsUnavailable_ = true;
            }
        }
    }
    return shellFolder2_ || shellDetails_;
}

std::wstring TNautilex::DetailsText(int column, bool header)
{
    if (column == 0 && !header)
        return DisplayName();
    // Without an object the shell would answer the header: an object's text is then empty.
    if (column < 0 || (!header && !objectIDList_) || !HasDetails())
        return {};
    const TBorrowedIDList item = header ? nullptr : objectIDList_.get();
    TErrorModeScope errorMode(kDetailsErrorMode);
    SHELLDETAILS details{};
    HRESULT result = E_NOINTERFACE;
    if (shellFolder2_)
        result = shellFolder2_->GetDetailsOf(item, static_cast<UINT>(column), &details);
    if (FAILED(result) && shellDetails_) {
        details = SHELLDETAILS{};
        result = shellDetails_->GetDetailsOf(item, static_cast<UINT>(column), &details);
    }
    if (FAILED(result))
        return {};
    return StrRetToString(item, details.str);
}

TColumnAlignment TNautilex::ColumnInfo(int column, int& width)
{
    width = kDefaultColumnWidth;
    if (column < 0 || !HasDetails())
        return TColumnAlignment::LeftJustify;
    const UINT index = static_cast<UINT>(column);
    SHELLDETAILS details{};
    if (shellFolder2_ && SUCCEEDED(shellFolder2_->GetDetailsOf(nullptr, index, &details))) {
        const TColumnAlignment alignment = AlignmentOf(details.fmt);
        width = details.cxChar * kPixelsPerCharacter;
        FreeStrRet(details.str);
        // Columns the folder does not show by default get width 0, which the list leaves out.
        SHCOLSTATEF state = 0;
        if (SUCCEEDED(shellFolder2_->GetDefaultColumnState(index, &state)) &&
            ((state & SHCOLSTATE_ONBYDEFAULT) == 0 || (state & SHCOLSTATE_HIDDEN) != 0))
            width = 0;
        return alignment;
    }
    details = SHELLDETAILS{};
    if (shellDetails_ && SUCCEEDED(shellDetails_->GetDetailsOf(nullptr, index, &details))) {
        width = details.cxChar * kPixelsPerCharacter;
        FreeStrRet(details.str);
        return AlignmentOf(details.fmt);
    }
    width = kDefaultColumnWidth;
    return TColumnAlignment::LeftJustify;
}
