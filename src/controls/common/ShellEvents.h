#pragma once
// The events of the shell list and the shell tree, apart from the controls so that one can
// name the other's (or a form both) without the whole control.
#include "link/ZelSelectionState.h"

#include <windows.h>

#include <functional>
#include <string>

class TObject;
class TListItem;
class TZelShellTreeNode;

// Whether an object the list is filled with gets an item.
using TOnAddItem = std::function<void(TObject* Sender, TListItem* Item, bool& CanAdd)>;
using TOnThumbnailUpdated =
    std::function<void(TObject* Sender, int ImageIndex, HBITMAP& ThumbnailBitmap)>;
using TOnCheckStateChanged = std::function<void(
    TObject* Sender, int ItemIndex, const std::wstring& Path, TZelSelectionState CheckState)>;
// Whether a folder the tree is filled with gets a node.
using TOnAddNode = std::function<void(TObject* Sender, TZelShellTreeNode* Node,
                                      const std::wstring& Path, bool& CanAdd)>;
using TOnUpdatedFolder = std::function<void(TObject* Sender, TZelShellTreeNode* Node)>;
