#pragma once
// Copy, move, rename or delete a set of files through the shell, with its progress, its
// confirmations and its undo.
#include "link/ZelBaseComponent.h"
#include "shell/PathList.h"

#include <string>
#include <vector>

enum TZelOperationType { otCopy, otDelete, otMove, otRename };

enum TZelShowOption : unsigned {
    soAllowUndo = 0x01,
    soFilesOnly = 0x02,
    soNoConfirmation = 0x04,
    soNoConfirmMkDir = 0x08,
    soNoErrorUI = 0x10,
    soRenameCollision = 0x20,
    soSilent = 0x40,
    soSimpleProgress = 0x80,
};
using TZelShowOptions = unsigned;

// The FO_... code of an operation and the FOF_... flags of an option set.
UINT FileOperationCode(TZelOperationType operation);
FILEOP_FLAGS FileOperationFlags(TZelShowOptions options);

class TZelFileOperation : public TZelBaseComponent {
public:
    explicit TZelFileOperation(TComponent* owner);

    // True only when the shell did the whole operation: false when it reports an error, when
    // the user aborted any part of it, and when there is nothing to do.
    bool Execute();

    TZelOperationType Operation = otCopy;
    TZelShowOptions Options = 0;
    // The files to act on. Paths that do not exist stay in the list: the shell reports them.
    TZelPathList& SourceFiles() noexcept { return sourceFiles_; }
    void SetSourceFiles(const std::vector<std::wstring>& paths) { sourceFiles_.Assign(paths); }
    std::wstring Destination;
    std::wstring Title;
    // Any part of the last Execute was aborted by the user.
    bool AnyOperationsAborted() const noexcept { return aborted_; }
    // The shell's answer to the last Execute (0: success).
    int LastResult() const noexcept { return lastResult_; }

private:
    TZelPathList sourceFiles_;
    bool aborted_ = false;
    int lastResult_ = 0;
};

// Copies or moves `paths` into the folder `destination` through the shell, with its progress,
// conflict questions and undo; true only when the shell did all of it.
bool TransferThroughShell(TComponent* owner, const std::vector<std::wstring>& paths,
                          const std::wstring& destination, bool move);
