#pragma once
// TZelCustomFolderCombo: the edit combo with a namespace browser, the system's small icons and
// an indentation per level; Enter in the edit takes the typed path, and the first key typed
// turns on the shell's path completion.
#include "controls/combo/ShellComboEdit.h"

class TNautilex;
class TZelComboItem;
class TZelSystemImageList;

class TZelCustomFolderCombo : public TZelCustomEditComboBox {
public:
    static constexpr int kIndent = 10;

    explicit TZelCustomFolderCombo(TComponent* owner);
    ~TZelCustomFolderCombo() override;

    std::wstring ClassName() const override { return L"TZelCustomFolderCombo"; }

    // File-system path of the selected entry; empty when none is selected or it has none.
    virtual std::wstring SelectedPath();
    // Takes a typed path.
    virtual void GoToPath(const std::wstring& path) {}

    // Turn on the shell's path completion in the edit at the first key typed.
    bool AutoComplete = true;

    TNautilex& Browser() noexcept { return *browser_; }
    TZelSystemImageList& Images() noexcept { return *images_; }
    // The entry's item, or null.
    TZelComboItem* ItemOf(int index) const;

protected:
    void CreateWnd() override;
    void EditKeyPress(wchar_t& key) override;
    void EditKeyDown(WORD& key, TShiftState shift) override;

    TNautilex* browser_ = nullptr;
    TZelSystemImageList* images_ = nullptr;
    // The entry being drawn is in the dropped list rather than in the closed field.
    bool drawingInList_ = false;
    // The edit window for which completion has been turned on (a new window needs it again).
    HWND autoCompleteEdit_ = nullptr;
};
