#pragma once
// A list box (the system control) of text lines with one selected line. Typing a character
// selects the next line that begins with it (the control's own search).
#include "ui/WinControl.h"

#include <string>
#include <vector>

class TListBox : public TWinControl {
public:
    explicit TListBox(TComponent* owner);
    ~TListBox() override;

    const std::vector<std::wstring>& Items() const noexcept { return items_; }
    void SetItems(std::vector<std::wstring> items);
    void SetItem(int index, const std::wstring& text);
    int Count() const noexcept { return static_cast<int>(items_.size()); }
    // -1 when no line is selected.
    int ItemIndex() const;
    void SetItemIndex(int index);
    int ItemHeight() const noexcept { return itemHeight_; }
    void SetItemHeight(int height);

protected:
    void CreateParams(TCreateParams& params) override;
    void CreateWnd() override;
    void WindowDestroying() override;
    bool ReflectedMessage(TMessage& message) override;

private:
    void FillWindow();

    std::vector<std::wstring> items_;
    int itemIndex_ = -1;
    int itemHeight_ = 0;  // 0: the font's
};
