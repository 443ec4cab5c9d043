// An application's event handler that throws, in each control of a pane: the failure is
// reported once through the application's handler, what the control was doing is done, and
// the pane goes on working.
#include "PaneFixture.h"
#include "common/CaughtExceptions.h"

#include <shlobj.h>

#include <functional>
#include <stdexcept>

namespace {

using Names = std::set<std::wstring>;

class HandlerFailureTest : public PaneFixture {
public:
    TZelShellTreeNode* RootChild(const std::wstring& text)
    {
        auto* root = static_cast<TZelShellTreeNode*>(shellTree->Items()->GetFirstNode());
        for (int index = 0; root != nullptr && index < root->Count(); ++index)
            if (root->Item(index)->Text() == text)
                return static_cast<TZelShellTreeNode*>(root->Item(index));
        return nullptr;
    }
};

struct TFailingHandler {
    const char* name;
    // Assigns (true) or clears (false) the handler that throws.
    std::function<void(HandlerFailureTest&, bool)> assign;
    // Makes the control raise the event; then the pane must show `folder` with `names`.
    std::function<void(HandlerFailureTest&)> act;
    std::wstring folder;
    Names names;
};

[[noreturn]] void Fail(const char* name)
{
    throw std::runtime_error(std::string(name) + " failed");
}

TEST_F(HandlerFailureTest, AThrowingHandlerIsReportedOnceAndThePaneGoesOn)
{
    const Names one{L"a.txt", L"b.txt", L"inner"};
    const std::vector<TFailingHandler> cases = {
        {"list OnAddItem",
         [](HandlerFailureTest& t, bool on) {
             t.list->OnAddItem =
                 on ? TOnAddItem([](TObject*, TListItem*, bool&) { Fail("list OnAddItem"); })
                    : nullptr;
         },
         [](HandlerFailureTest& t) { t.list->SetPath(t.tree.Path(L"one")); }, L"one", one},
        {"list OnPathChanged",
         [](HandlerFailureTest& t, bool on) {
             t.list->OnPathChanged =
                 on ? TNotifyEvent([](TObject*) { Fail("list OnPathChanged"); }) : nullptr;
         },
         [](HandlerFailureTest& t) { t.list->SetPath(t.tree.Path(L"two")); },
         L"two",
         {L"c.txt"}},
        {"tree OnChange",
         [](HandlerFailureTest& t, bool on) {
             t.shellTree->OnChange =
                 on ? TTVChangedEvent([](TObject*, TTreeNode*) { Fail("tree OnChange"); })
                    : nullptr;
         },
         [](HandlerFailureTest& t) { t.RootChild(L"two")->SetSelected(true); },
         L"two",
         {L"c.txt"}},
        {"tree OnAddFolder",
         [](HandlerFailureTest& t, bool on) {
             t.shellTree->OnAddFolder =
                 on ? TOnAddNode([](TObject*, TZelShellTreeNode*, const std::wstring&, bool&) {
                     Fail("tree OnAddFolder");
                 })
                    : nullptr;
         },
         [](HandlerFailureTest& t) { t.shellTree->SetSelectedFolder(t.tree.Path(L"one\\inner")); },
         L"one\\inner",
         {}},
        {"link OnChange",
         [](HandlerFailureTest& t, bool on) {
             t.link->OnChange =
                 on ? TNotifyEvent([](TObject*) { Fail("link OnChange"); }) : nullptr;
         },
         [](HandlerFailureTest& t) { t.list->SetPath(t.tree.Path(L"one")); }, L"one", one},
        {"notifier OnChange",
         [](HandlerFailureTest& t, bool on) {
             t.list->Notifier().OnChange =
                 on ? TZelShellNotifierEvent([](TObject*, TNotificationEvent, const std::wstring&,
                                                const std::wstring&) { Fail("notifier OnChange"); })
                    : nullptr;
         },
         [](HandlerFailureTest& t) {
             t.list->SetPath(t.tree.Path(L"three"));
             const std::wstring file = t.tree.File(L"three\\new.txt");
             SHChangeNotify(SHCNE_CREATE, SHCNF_PATHW | SHCNF_FLUSH, file.c_str(), nullptr);
             PumpMessagesUntil([&] { return t.list->Items()->Count() == 1; }, 3000);
         },
         L"three",
         {L"new.txt"}},
    };
    for (const TFailingHandler& row : cases) {
        SCOPED_TRACE(row.name);
        ExpectUsable(L"", {L"one", L"two", L"three"});
        TCaughtExceptions caught;
        row.assign(*this, true);
        row.act(*this);
        // Reported from the message loop, after the work that raised the event.
        EXPECT_TRUE(PumpMessagesUntil([&] { return !caught.messages.empty(); }, 3000));
        PumpMessages(50);
        EXPECT_EQ(caught.messages, std::vector<std::string>{std::string(row.name) + " failed"});
        EXPECT_TRUE(SameFileName(ListFolder(), tree.Path(row.folder)));
        EXPECT_EQ(ListNames(), row.names);
        ASSERT_NE(shellTree->Selected(), nullptr);
        EXPECT_TRUE(
            SameFileName(ExcludeTrailingBackslash(shellTree->NodePath(shellTree->Selected())),
                         tree.Path(row.folder)));
        row.assign(*this, false);
        ExpectUsable(L"two", {L"c.txt"});
        EXPECT_EQ(caught.messages.size(), 1u);
    }
}

TEST_F(HandlerFailureTest, AHandlerFailingForEveryItemGivesOneReportPerBurst)
{
    for (int index = 0; index < 40; ++index)
        tree.File(L"many\\file" + std::to_wstring(index) + L".txt");
    TCaughtExceptions caught;
    int calls = 0;
    list->OnAddItem = [&](TObject*, TListItem*, bool&) {
        ++calls;
        Fail("list OnAddItem");
    };
    list->SetPath(tree.Path(L"many"));
    EXPECT_EQ(calls, 40);
    EXPECT_EQ(list->Items()->Count(), 40);
    EXPECT_TRUE(caught.messages.empty());  // nothing in the middle of the fill
    PumpMessages(100);
    EXPECT_EQ(caught.messages.size(), 1u);
    // The next burst is reported again.
    list->RefreshContents();
    PumpMessages(100);
    EXPECT_EQ(caught.messages.size(), 2u);
    list->OnAddItem = nullptr;
}

}  // namespace
