#include "controls/common/FileOperation.h"

#include "controls/common/ZelBaseDialog.h"

#include <shellapi.h>

UINT FileOperationCode(TZelOperationType operation)
{
    switch (operation) {
    case otDelete: return FO_DELETE;
    case otMove: return FO_MOVE;
    case otRename: return FO_RENAME;
    default: return FO_COPY;
    }
}

FILEOP_FLAGS FileOperationFlags(TZelShowOptions options)
{
    FILEOP_FLAGS flags = 0;
    if ((options & soAllowUndo) != 0)
        flags |= FOF_ALLOWUNDO;
    if ((options & soFilesOnly) != 0)
        flags |= FOF_FILESONLY;
    if ((options & soNoConfirmation) != 0)
        flags |= FOF_NOCONFIRMATION;
    if ((options & soNoConfirmMkDir) != 0)
        flags |= FOF_NOCONFIRMMKDIR;
    if ((options & soNoErrorUI) != 0)
        flags |= FOF_NOERRORUI;
    if ((options & soRenameCollision) != 0)
        flags |= FOF_RENAMEONCOLLISION;
    if ((options & soSilent) != 0)
        flags |= FOF_SILENT;
    if ((options & soSimpleProgress) != 0)
        flags |= FOF_SIMPLEPROGRESS;
    return flags;
}

TZelFileOperation::TZelFileOperation(TComponent* owner) : TZelBaseComponent(owner)
{
    fEnabled = true;
    sourceFiles_.SetCheckExistence(false);
}

bool TZelFileOperation::Execute()
{
    aborted_ = false;
    lastResult_ = 0;
    if (sourceFiles_.Count() == 0)
        return false;
    // Both lists end with two zeros: the shell reads names until an empty one.
    const std::wstring destination = Destination + L'\0';
    SHFILEOPSTRUCTW operation{};
    operation.hwnd = DialogOwnerWindow(this);
    operation.wFunc = FileOperationCode(Operation);
    operation.pFrom = sourceFiles_.Buffer();
    operation.pTo = Operation == otDelete ? nullptr : destination.c_str();
    operation.fFlags = FileOperationFlags(Options);
    operation.lpszProgressTitle = Title.empty() ? nullptr : Title.c_str();
    lastResult_ = SHFileOperationW(&operation);
    aborted_ = operation.fAnyOperationsAborted != FALSE;
    return lastResult_ == 0 && !aborted_;
}

bool TransferThroughShell(TComponent* owner, const std::vector<std::wstring>& paths,
                          const std::wstring& destination, bool move)
{
    if (paths.empty() || destination.empty())
        return false;
    TZelFileOperation operation(owner);
    operation.Operation = move ? otMove : otCopy;
    operation.Options = soAllowUndo;
    operation.SetSourceFiles(paths);
    operation.Destination = destination;
    return operation.Execute();
}
