#pragma once
// Actions: a command that menu items (and later buttons) share. Clients linked to a TAction
// show its caption, checked and enabled state, hint, image, shortcut and visibility, and run
// it when clicked; OnUpdate lets the program refresh those properties before they are shown.
#include "core/Component.h"
#include "ui/ShortCut.h"

#include <string>
#include <vector>

class TAction;

// Something that shows an action: told after every change of the action's properties.
class TActionClient {
public:
    virtual void ActionChanged(TAction* action) = 0;

protected:
    ~TActionClient() = default;
};

class TBasicAction : public TComponent {
public:
    explicit TBasicAction(TComponent* owner) : TComponent(owner) {}

    // Raises OnExecute; true when a handler ran.
    virtual bool Execute();
    // Raises OnUpdate; true when a handler ran.
    virtual bool Update();

    TNotifyEvent OnExecute;
    TNotifyEvent OnUpdate;
};

class TAction : public TBasicAction {
public:
    explicit TAction(TComponent* owner) : TBasicAction(owner) {}
    ~TAction() override;

    const std::wstring& Caption() const noexcept { return caption_; }
    void SetCaption(const std::wstring& caption);
    bool Checked() const noexcept { return checked_; }
    void SetChecked(bool checked);
    bool Enabled() const noexcept { return enabled_; }
    void SetEnabled(bool enabled);
    bool Visible() const noexcept { return visible_; }
    void SetVisible(bool visible);
    const std::wstring& Hint() const noexcept { return hint_; }
    void SetHint(const std::wstring& hint);
    int ImageIndex() const noexcept { return imageIndex_; }
    void SetImageIndex(int index);
    TShortCut ShortCut() const noexcept { return shortCut_; }
    void SetShortCut(TShortCut shortCut);
    int HelpContext() const noexcept { return helpContext_; }
    void SetHelpContext(int context);

    void RegisterClient(TActionClient* client);
    void UnRegisterClient(TActionClient* client);

private:
    void Changed();

    std::wstring caption_;
    bool checked_ = false;
    bool enabled_ = true;
    bool visible_ = true;
    std::wstring hint_;
    int imageIndex_ = -1;
    TShortCut shortCut_ = scNone;
    int helpContext_ = 0;
    std::vector<TActionClient*> clients_;
};
