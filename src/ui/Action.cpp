#include "ui/Action.h"

#include <algorithm>

bool TBasicAction::Execute()
{
    if (!OnExecute)
        return false;
    OnExecute(this);
    return true;
}

bool TBasicAction::Update()
{
    if (!OnUpdate)
        return false;
    OnUpdate(this);
    return true;
}

TAction::~TAction()
{
    // Clients hear of the end through the component's removal notification.
    clients_.clear();
}

void TAction::SetCaption(const std::wstring& caption)
{
    if (caption == caption_)
        return;
    caption_ = caption;
    Changed();
}

void TAction::SetChecked(bool checked)
{
    if (checked == checked_)
        return;
    checked_ = checked;
    Changed();
}

void TAction::SetEnabled(bool enabled)
{
    if (enabled == enabled_)
        return;
    enabled_ = enabled;
    Changed();
}

void TAction::SetVisible(bool visible)
{
    if (visible == visible_)
        return;
    visible_ = visible;
    Changed();
}

void TAction::SetHint(const std::wstring& hint)
{
    if (hint == hint_)
        return;
    hint_ = hint;
    Changed();
}

void TAction::SetImageIndex(int index)
{
    if (index == imageIndex_)
        return;
    imageIndex_ = index;
    Changed();
}

void TAction::SetShortCut(TShortCut shortCut)
{
    if (shortCut == shortCut_)
        return;
    shortCut_ = shortCut;
    Changed();
}

void TAction::SetHelpContext(int context)
{
    if (context == helpContext_)
        return;
    helpContext_ = context;
    Changed();
}

void TAction::RegisterClient(TActionClient* client)
{
    if (client != nullptr && std::find(clients_.begin(), clients_.end(), client) == clients_.end())
        clients_.push_back(client);
}

void TAction::UnRegisterClient(TActionClient* client)
{
    std::erase(clients_, client);
}

void TAction::Changed()
{
    const auto clients = clients_;
    for (TActionClient* client : clients)
        if (std::find(clients_.begin(), clients_.end(), client) != clients_.end())
            client->ActionChanged(this);
}
