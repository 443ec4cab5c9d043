#pragma once
// What the shell controls report to their user about the files they changed, and how they let
// files be dragged and dropped.
#include "core/Component.h"

#include <functional>
#include <string>
#include <vector>

enum TZelCopyMode { cmDefault, cmCopy, cmMove, cmLink };

enum TZelShellOperation : unsigned {
    sopCopy = 0x001,
    sopMove = 0x002,
    sopDrag = 0x004,
    sopDrop = 0x008,
    sopCut = 0x010,
    sopPaste = 0x020,
    sopDelete = 0x040,
    sopRemove = 0x080,
    sopAdd = 0x100,
    sopRename = 0x200,
};
using TZelShellOperations = unsigned;

using TOnOperation =
    std::function<void(TObject* Sender, TZelShellOperations Operation,
                       const std::vector<std::wstring>& Files, const std::wstring& Destination)>;

// Asked before a drop is handed to the shell; `DropTarget` is the item or node under the
// cursor (null: the control's own folder). `ExecuteDrop` comes in True; False refuses the drop.
template <class Target>
using TBeforeShellDropEvent = std::function<void(TObject* Sender, Target* DropTarget,
                                                 const std::vector<std::wstring>& DroppedFiles,
                                                 bool& ExecuteDrop, unsigned long KeyState)>;
