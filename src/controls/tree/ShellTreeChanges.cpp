// TZelShellTree: the change notifier's reports. They are kept and answered together once a
// burst of them is over, and never while the tree is inside its own work or a text is being
// edited: the nodes a report names are looked for afresh when it is answered, so a report
// can never reach a node that went meanwhile.
#include "controls/tree/ShellTree.h"

#include "controls/common/ShellChangeNotifier.h"
#include "shell/IDList.h"

#include <algorithm>
#include <utility>

void TZelShellTree::CreateReportBatch()
{
    reports_ = std::make_unique<TReportBatch>(kReportDelay);
    reports_->Busy = [this] {
        return !destroying_ && !reports_->Empty() && (busy_ > 0 || IsEditing() || IsLoading());
    };
    reports_->OnDue = [this] { AnswerReports(); };
}

void TZelShellTree::ReportChange(TNotificationEvent event, TBorrowedIDList first,
                                 TBorrowedIDList second)
{
    if (destroying_ || IsLoading())
        return;
    if (event == neFolderDelete || event == neFolderRename || event == neDriveRemove)
        ReleaseDiskWatchBelow(first);
    reports_->Note(TChangeReport{event, CopyIDList(first), CopyIDList(second)});
    reports_->Start();
}

void TZelShellTree::AnswerReports()
{
    if (destroying_ || reports_->Empty())
        return;
    const std::vector<TChangeReport> reports = reports_->Take().Changes;

    // What each report asks for, and of which node; a node's action is taken once, however
    // many reports ask for it (a burst of changes in one folder refreshes it once).
    std::vector<std::pair<LPARAM, TLocateAction>> steps;
    {
        TBusyScope busy(this);
        EnsureRooted();
        auto locate = [&](TBorrowedIDList list, TLocateAction action) {
            if (list == nullptr)
                return;
            const bool savedExpandBelowRoot = expandBelowRoot_;
            expandBelowRoot_ = action != laRefresh;
            try {
                bool found = false;
                if (TZelShellTreeNode* node = FindForLocate(list, action, found)) {
                    const std::pair<LPARAM, TLocateAction> step{node->Serial(), action};
                    if (std::find(steps.begin(), steps.end(), step) == steps.end())
                        steps.push_back(step);
                }
            } catch (const ENautilexError&) {
                // The report names something the shell no longer knows.
            }
            expandBelowRoot_ = savedExpandBelowRoot;
        };
        for (const TChangeReport& report : reports) {
            switch (report.event) {
            case neFileDelete:
            case neDriveRemove:
            case neFolderDelete: locate(report.first, laDelete); break;
            case neFolderUpdate: locate(report.first, laRefresh); break;
            case neFolderRename:
                locate(report.first, laRefreshParent);
                locate(report.second, laRefreshParent);
                break;
            default: locate(report.first, laRefreshParent); break;
            }
        }
    }
    for (const auto& [serial, action] : steps)
        ActOn(static_cast<TZelShellTreeNode*>(Items()->FindBySerial(serial)), action);
}
