#pragma once
// Menu items made for the main window's commands: each run by an action of its own, whose
// OnUpdate says whether it applies before its menu (or its shortcut) is used.
#include "ui/ShortCut.h"

class TAction;
class TComponent;
class TMenuItem;

// A menu item run by a new action; `caption` may end with a tab and the key's text.
TAction* MenuAction(TComponent* owner, TMenuItem* menu, const wchar_t* caption,
                    TShortCut shortCut = scNone);
void MenuLine(TComponent* owner, TMenuItem* menu);
