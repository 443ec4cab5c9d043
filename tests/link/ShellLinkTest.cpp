#include "link/ShellLink.h"
#include "shell/IDList.h"
#include "shell/ShellState.h"

#include <gtest/gtest.h>

#include <functional>
#include <stdexcept>
#include <string>
#include <vector>

namespace {

// A linkable control that records what the link asks of it.
class TRecordingControl : public IZelShellControl {
public:
    explicit TRecordingControl(std::string name, std::vector<std::string>& journal)
        : name_(std::move(name)), journal_(journal)
    {
    }

    std::function<void(TBorrowedIDList)> onFolderChanged;

    HRESULT STDMETHODCALLTYPE QueryInterface(REFIID iid, void** object) override
    {
        if (iid == IID_IUnknown || iid == IID_IZelShellControl) {
            *object = static_cast<IZelShellControl*>(this);
            AddRef();
            return S_OK;
        }
        *object = nullptr;
        return E_NOINTERFACE;
    }
    ULONG STDMETHODCALLTYPE AddRef() override { return ++references; }
    ULONG STDMETHODCALLTYPE Release() override { return --references; }

    void STDMETHODCALLTYPE SetShellLink(TZelShellLink* link) override
    {
        if (link_ != nullptr)
            link_->RemoveControl(this);
        link_ = link;
        if (link_ != nullptr)
            link_->AddControl(this);
        journal_.push_back(name_ + (link ? " attach" : " detach"));
    }
    TZelShellLink* STDMETHODCALLTYPE GetShellLink() override { return link_; }
    void STDMETHODCALLTYPE FolderChanged(TBorrowedIDList folder) override
    {
        journal_.push_back(name_ + " folder " + std::to_string(IDListItemCount(folder)));
        if (onFolderChanged)
            onFolderChanged(folder);
    }
    void STDMETHODCALLTYPE ObjectChanged(TBorrowedIDList folder, TBorrowedIDList object) override
    {
        journal_.push_back(name_ + " object " + std::to_string(IDListItemCount(folder)) + "/" +
                           std::to_string(IDListItemCount(object)));
    }
    void STDMETHODCALLTYPE SelectAll() override { journal_.push_back(name_ + " selectall"); }
    void STDMETHODCALLTYPE RefreshContents() override { journal_.push_back(name_ + " refresh"); }
    void STDMETHODCALLTYPE RefreshChanges() override { journal_.push_back(name_ + " changes"); }
    bool STDMETHODCALLTYPE GoUp() override { return false; }

    ULONG references = 0;

private:
    std::string name_;
    std::vector<std::string>& journal_;
    TZelShellLink* link_ = nullptr;
};

class ShellLinkTest : public testing::Test {
protected:
    std::vector<std::string> journal;
    TZelShellLink link{nullptr};
    TRecordingControl tree{"tree", journal};
    TRecordingControl list{"list", journal};
    TRecordingControl combo{"combo", journal};
    int changes = 0;

    void SetUp() override
    {
        tree.SetShellLink(&link);
        list.SetShellLink(&link);
        combo.SetShellLink(&link);
        link.OnChange = [this](TObject* sender) {
            EXPECT_EQ(sender, &link);
            ++changes;
        };
        journal.clear();
    }
    void TearDown() override
    {
        for (TRecordingControl* control : {&tree, &list, &combo})
            if (control->GetShellLink() != nullptr)
                control->SetShellLink(nullptr);
    }
};

}  // namespace

TEST_F(ShellLinkTest, StartsEnabledAndCanGoUp)
{
    EXPECT_TRUE(link.GetEnabled());
    EXPECT_TRUE(link.CanGoUp());
    EXPECT_EQ(link.Version(), L"TZelShellLink V6.2.3");
    EXPECT_EQ(link.Controls().Count(), 3);
}

TEST_F(ShellLinkTest, AddingTwiceKeepsOneEntryAndRemovalForgets)
{
    link.AddControl(&tree);
    link.AddControl(&tree);
    EXPECT_EQ(link.Controls().Count(), 3);
    link.RemoveControl(&list);
    link.RemoveControl(&list);
    EXPECT_EQ(link.Controls().Count(), 2);
    EXPECT_EQ(link.Controls().IndexOf(&combo), 1);
    link.AddControl(nullptr);
    EXPECT_EQ(link.Controls().Count(), 2);
}

TEST_F(ShellLinkTest, FolderBroadcastSkipsTheSenderKeepsOrderAndRaisesOnChange)
{
    const TOwnedIDList computer = IDListFromPath(nullptr, L"");
    link.BroadcastFolderChanged(&list, computer);
    EXPECT_EQ(journal, (std::vector<std::string>{"tree folder 1", "combo folder 1"}));
    EXPECT_EQ(changes, 1);

    journal.clear();
    const TOwnedIDList drive = IDListFromPath(nullptr, L"C:\\");
    const TOwnedIDList object = IDListLastItem(drive);
    link.BroadcastObjectChanged(&tree, computer, object);
    EXPECT_EQ(journal, (std::vector<std::string>{"list object 1/1", "combo object 1/1"}));
    EXPECT_EQ(changes, 2);
}

TEST_F(ShellLinkTest, ANavigatingControlCausesNoNestedBroadcast)
{
    tree.onFolderChanged = [this](TBorrowedIDList folder) {
        EXPECT_FALSE(link.GetEnabled());
        link.BroadcastFolderChanged(&tree, folder);
        link.BroadcastSelectAll(&tree);
        link.BroadcastRefresh(&tree);
    };
    link.BroadcastFolderChanged(&list, DesktopIDList);
    EXPECT_EQ(journal, (std::vector<std::string>{"tree folder 0", "combo folder 0"}));
    EXPECT_EQ(changes, 1);
    EXPECT_TRUE(link.GetEnabled());
}

TEST_F(ShellLinkTest, DisabledLinkDeliversNothing)
{
    link.SetEnabled(false);
    link.BroadcastFolderChanged(nullptr, DesktopIDList);
    link.BroadcastObjectChanged(nullptr, DesktopIDList, DesktopIDList);
    link.BroadcastSelectAll(nullptr);
    link.RefreshAll();
    link.RefreshChangesAll();
    EXPECT_TRUE(journal.empty());
    EXPECT_EQ(changes, 0);
}

TEST_F(ShellLinkTest, RelaysReachEveryOtherControlWithoutOnChange)
{
    link.BroadcastSelectAll(&tree);
    link.RefreshAll();
    link.BroadcastRefreshChanges(&combo);
    link.RefreshChangesAll();
    EXPECT_EQ(journal, (std::vector<std::string>{"list selectall", "combo selectall",
                                                 "tree refresh", "list refresh", "combo refresh",
                                                 "tree changes", "list changes", "tree changes",
                                                 "list changes", "combo changes"}));
    EXPECT_EQ(changes, 0);
}

TEST_F(ShellLinkTest, AnExceptionReEnablesTheLinkAndSkipsOnChange)
{
    tree.onFolderChanged = [](TBorrowedIDList) { throw std::runtime_error("cannot bind"); };
    EXPECT_THROW(link.BroadcastFolderChanged(&combo, DesktopIDList), std::runtime_error);
    EXPECT_TRUE(link.GetEnabled());
    EXPECT_EQ(changes, 0);
    EXPECT_EQ(journal, (std::vector<std::string>{"tree folder 0"}));

    tree.onFolderChanged = nullptr;
    link.BroadcastFolderChanged(&combo, DesktopIDList);
    EXPECT_EQ(changes, 1);
}

TEST_F(ShellLinkTest, AControlLeavingDuringABroadcastIsSafe)
{
    // A control that has left is not told any more, even by the broadcast that is running.
    tree.onFolderChanged = [this](TBorrowedIDList) { list.SetShellLink(nullptr); };
    link.BroadcastFolderChanged(nullptr, DesktopIDList);
    EXPECT_EQ(journal,
              (std::vector<std::string>{"tree folder 0", "list detach", "combo folder 0"}));
    EXPECT_EQ(link.Controls().Count(), 2);
    EXPECT_EQ(changes, 1);

    // One that leaves and joins again meanwhile is a newcomer: not told twice, nor late.
    list.SetShellLink(&link);
    journal.clear();
    tree.onFolderChanged = [this](TBorrowedIDList) {
        combo.SetShellLink(nullptr);
        combo.SetShellLink(&link);
    };
    link.BroadcastFolderChanged(nullptr, DesktopIDList);
    EXPECT_EQ(journal, (std::vector<std::string>{"tree folder 0", "combo detach", "combo attach",
                                                 "list folder 0"}));
}

TEST_F(ShellLinkTest, AControlDestroyedDuringABroadcastIsNotCalled)
{
    // Real controls hold no reference count: only their registration says they still exist.
    class TDetachingControl : public TRecordingControl {
    public:
        using TRecordingControl::TRecordingControl;
        ~TDetachingControl() { SetShellLink(nullptr); }
    };
    auto doomed = std::make_unique<TDetachingControl>("doomed", journal);
    doomed->SetShellLink(&link);
    journal.clear();
    tree.onFolderChanged = [&doomed](TBorrowedIDList) { doomed.reset(); };
    link.BroadcastFolderChanged(nullptr, DesktopIDList);
    EXPECT_EQ(journal, (std::vector<std::string>{"tree folder 0", "doomed detach", "list folder 0",
                                                 "combo folder 0"}));
    EXPECT_EQ(link.Controls().Count(), 3);
}

TEST(ShellLinkLifetime, DestructionDetachesEveryControlLastFirst)
{
    std::vector<std::string> journal;
    TRecordingControl first{"first", journal};
    TRecordingControl second{"second", journal};
    {
        TZelShellLink link(nullptr);
        first.SetShellLink(&link);
        second.SetShellLink(&link);
        EXPECT_GT(first.references, 0u);
        journal.clear();
    }
    EXPECT_EQ(journal, (std::vector<std::string>{"second detach", "first detach"}));
    EXPECT_EQ(first.GetShellLink(), nullptr);
    EXPECT_EQ(second.GetShellLink(), nullptr);
    EXPECT_EQ(first.references, 0u);
    EXPECT_EQ(second.references, 0u);
}
