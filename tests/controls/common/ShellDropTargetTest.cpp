// The drop protocol of the shell controls against a fake control: three items in rows of a
// real window, each with a shell target of its own that logs what it is told, and a target for
// the control's own folder. The log shows every call a target got and every highlight change.
#include "controls/common/ShellDropTarget.h"
#include "common/TempTree.h"
#include "common/TestForm.h"
#include "shell/IDList.h"
#include "shell/ShellState.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <map>
#include <memory>
#include <set>
#include <string>
#include <vector>

namespace {

using Log = std::vector<std::wstring>;

constexpr DWORD kAllEffects = DROPEFFECT_COPY | DROPEFFECT_MOVE | DROPEFFECT_LINK;
constexpr int kRowHeight = 20;

struct TFakeItem {
    std::wstring Name;
};

// How a fake shell target answers.
struct TTargetAnswers {
    // DragEnter fails.
    bool Refuses = false;
    // The effects it takes out of those offered.
    DWORD Takes = kAllEffects;
    HRESULT DropResult = S_OK;
    // Moves the dropped file and answers no effect, as the NT shell does for optimised moves.
    std::wstring MovesSilently = {};
};

class TLoggingTarget : public IDropTarget {
public:
    TLoggingTarget(std::wstring name, TTargetAnswers answers, Log& log)
        : name_(std::move(name)), answers_(std::move(answers)), log_(log)
    {
    }
    virtual ~TLoggingTarget() = default;

    HRESULT STDMETHODCALLTYPE QueryInterface(REFIID iid, void** object) override
    {
        if (IsEqualIID(iid, IID_IUnknown) || IsEqualIID(iid, IID_IDropTarget)) {
            *object = static_cast<IDropTarget*>(this);
            AddRef();
            return S_OK;
        }
        *object = nullptr;
        return E_NOINTERFACE;
    }
    ULONG STDMETHODCALLTYPE AddRef() override { return ++references_; }
    ULONG STDMETHODCALLTYPE Release() override
    {
        const ULONG left = --references_;
        if (left == 0)
            delete this;
        return left;
    }
    HRESULT STDMETHODCALLTYPE DragEnter(IDataObject*, DWORD, POINTL, DWORD* effect) override
    {
        Note(L"enter", *effect);
        if (answers_.Refuses) {
            *effect = DROPEFFECT_NONE;
            return E_FAIL;
        }
        *effect &= answers_.Takes;
        return S_OK;
    }
    HRESULT STDMETHODCALLTYPE DragOver(DWORD, POINTL, DWORD* effect) override
    {
        Note(L"over", *effect);
        *effect &= answers_.Takes;
        return S_OK;
    }
    HRESULT STDMETHODCALLTYPE DragLeave() override
    {
        log_.push_back(L"leave " + name_);
        return S_OK;
    }
    HRESULT STDMETHODCALLTYPE Drop(IDataObject*, DWORD, POINTL, DWORD* effect) override
    {
        Note(L"drop", *effect);
        *effect &= answers_.Takes;
        if (!answers_.MovesSilently.empty()) {
            DeleteFileW(answers_.MovesSilently.c_str());
            *effect = DROPEFFECT_NONE;
        }
        return answers_.DropResult;
    }

private:
    void Note(const wchar_t* call, DWORD offered)
    {
        log_.push_back(std::wstring(call) + L" " + name_ + L" " + std::to_wstring(offered));
    }

    ULONG references_ = 1;
    std::wstring name_;
    TTargetAnswers answers_;
    Log& log_;
};

// What the fake control is like.
struct TSiteSetup {
    bool Background = false;
    bool KeepsRefusingItem = false;
    DWORD Effects = kAllEffects;
    DWORD OwnDragButton = 0;
    // Items without a shell target.
    std::set<std::wstring> NoTarget = {};
    std::map<std::wstring, TTargetAnswers> Answers = {};
    bool Execute = true;
    // The handler of the drop takes the item away (the control forgets it).
    bool RemovesItem = false;
};

// Items "a", "b" and "c" in rows from the top; below them the background ("bg").
class TFakeSite : public TShellDropSite<TFakeItem> {
public:
    TFakeSite(HWND window, TSiteSetup setup, Log& log)
        : window_(window), setup_(std::move(setup)), log_(log)
    {
    }
    TShellDropTarget<TFakeItem>* Protocol = nullptr;
    std::vector<TFakeItem> Items{{L"a"}, {L"b"}, {L"c"}};

    HWND DropWindow() const override { return window_; }
    DWORD DropEffects() const override { return setup_.Effects; }
    TFakeItem* DropItemAt(POINT client) override
    {
        const size_t row = static_cast<size_t>(client.y / kRowHeight);
        return client.y >= 0 && row < Items.size() ? &Items[row] : nullptr;
    }
    TComPtr<IDropTarget> ItemDropTarget(TFakeItem* item) override
    {
        if (setup_.NoTarget.count(item->Name) != 0)
            return {};
        return Target(item->Name);
    }
    TComPtr<IDropTarget> BackgroundDropTarget() override
    {
        return setup_.Background ? Target(L"bg") : nullptr;
    }
    bool KeepsRefusingItem() const override { return setup_.KeepsRefusingItem; }
    void ShowDropHighlight(TFakeItem* item, bool shown) override
    {
        log_.push_back((shown ? L"+" : L"-") + item->Name);
    }
    DWORD OwnDragButton() const override { return setup_.OwnDragButton; }
    std::wstring DropDestination(TFakeItem* item) override
    {
        return item != nullptr ? item->Name : L"bg";
    }
    void BeforeShellDrop(TFakeItem* item, const std::vector<std::wstring>& files, bool& execute,
                         DWORD keyState) override
    {
        log_.push_back(L"before " + DropDestination(item) + L" " + std::to_wstring(files.size()) +
                       L" " + std::to_wstring(keyState));
        execute = setup_.Execute;
        if (setup_.RemovesItem && item != nullptr)
            Protocol->Forget(item);
    }
    void DropOffered(const std::vector<std::wstring>&) override { log_.push_back(L"offered"); }
    void ReportDrop(TZelShellOperations operations, const std::vector<std::wstring>&,
                    const std::wstring& destination) override
    {
        const wchar_t* kind = (operations & sopMove) != 0   ? L"move"
                              : (operations & sopCopy) != 0 ? L"copy"
                                                            : L"drop";
        log_.push_back(L"report " + std::wstring(kind) + L" to " + destination);
    }
    void DropArrived(TFakeItem* item) override
    {
        log_.push_back(L"arrived " + DropDestination(item));
    }

private:
    TComPtr<IDropTarget> Target(const std::wstring& name)
    {
        const auto answers = setup_.Answers.find(name);
        TComPtr<IDropTarget> target;
        target.Attach(new TLoggingTarget(
            name, answers != setup_.Answers.end() ? answers->second : TTargetAnswers{}, log_));
        return target;
    }

    HWND window_;
    TSiteSetup setup_;
    Log& log_;
};

enum class TCall { Enter, Over, Leave, Drop };

// One call of the protocol at an item ("a", "b", "c") or at the background ("").
struct TStep {
    TCall Call;
    const wchar_t* At = L"";
    DWORD KeyState = MK_LBUTTON;
    DWORD Offered = kAllEffects;
};

struct TCase {
    const char* Name;
    TSiteSetup Setup;
    std::vector<TStep> Steps;
    Log Expected;
    // What the last step answered.
    DWORD Effect;
    HRESULT Result = S_OK;
};

class ShellDropTargetTest : public testing::Test {
protected:
    void SetUp() override
    {
        file = tree.File(L"in\\dropped.txt", 10);
        form = std::make_unique<TTestForm>(nullptr, 300, 200);
        form->Activate();
        TComPtr<IShellFolder> folder;
        const TOwnedIDList absolute = IDListFromPath(DesktopFolder.Get(), tree.Path(L"in"));
        ASSERT_TRUE(SUCCEEDED(
            DesktopFolder->BindToObject(absolute, nullptr, IID_PPV_ARGS(folder.GetAddressOf()))));
        const TOwnedIDList item = IDListFromPath(folder.Get(), L"dropped.txt");
        data = DragDataObject(folder.Get(), {TBorrowedIDList(item)}, nullptr);
        ASSERT_TRUE(data);
    }

    POINT ScreenPoint(const wchar_t* at) const
    {
        const int row = *at == L'\0' ? 8 : *at - L'a';
        POINT point{10, row * kRowHeight + kRowHeight / 2};
        ClientToScreen(form->Handle(), &point);
        return point;
    }

    // Runs the steps; the effect and the result of the last one come back.
    std::pair<DWORD, HRESULT> Run(TShellDropTarget<TFakeItem>& protocol,
                                  const std::vector<TStep>& steps)
    {
        DWORD effect = DROPEFFECT_NONE;
        HRESULT result = S_OK;
        for (const TStep& step : steps) {
            effect = step.Offered;
            const POINT point = ScreenPoint(step.At);
            switch (step.Call) {
            case TCall::Enter:
                result = protocol.DragEnter(data.Get(), step.KeyState, point, effect);
                break;
            case TCall::Over: result = protocol.DragOver(step.KeyState, point, effect); break;
            case TCall::Leave:
                effect = DROPEFFECT_NONE;
                result = protocol.DragLeave();
                break;
            case TCall::Drop:
                result = protocol.Drop(data.Get(), step.KeyState, point, effect);
                break;
            }
        }
        return {effect, result};
    }

    TTempTree tree;
    std::wstring file;
    std::unique_ptr<TTestForm> form;
    TComPtr<IDataObject> data;
};

TEST_F(ShellDropTargetTest, EnterOverLeaveAndDropSequences)
{
    const TStep enter{TCall::Enter};
    const TStep leave{TCall::Leave};
    const TCase cases[] = {
        {"a drop on an item goes to its target alone, which gets no leave",
         {},
         {enter, {TCall::Over, L"a"}, {TCall::Drop, L"a", 0}},
         {L"enter a 7", L"+a", L"over a 7", L"before a 1 1", L"drop a 7", L"offered",
          L"report drop to a", L"arrived a", L"-a"},
         kAllEffects},
        {"moving on leaves the old item's target before the new one is entered",
         {},
         {enter, {TCall::Over, L"a"}, {TCall::Over, L"b"}, {TCall::Over, L"b"}, leave},
         {L"enter a 7", L"+a", L"over a 7", L"-a", L"leave a", L"enter b 7", L"+b", L"over b 7",
          L"over b 7", L"-b", L"leave b"},
         DROPEFFECT_NONE},
        {"moving off every item leaves the item's target",
         {},
         {enter, {TCall::Over, L"a"}, {TCall::Over}},
         {L"enter a 7", L"+a", L"over a 7", L"-a", L"leave a"},
         DROPEFFECT_NONE},
        {"after a leave a drop reaches no one",
         {.Background = true},
         {enter, {TCall::Over, L"a"}, leave, {TCall::Drop, L"a", 0}},
         {L"enter bg 7", L"enter a 7", L"+a", L"over a 7", L"-a", L"leave a", L"leave bg"},
         DROPEFFECT_NONE,
         E_UNEXPECTED},
        {"a vetoed drop: the item's target gets its leave and no drop",
         {.Execute = false},
         {enter, {TCall::Over, L"a"}, {TCall::Drop, L"a", 0}},
         {L"enter a 7", L"+a", L"over a 7", L"before a 1 1", L"offered", L"-a", L"leave a"},
         DROPEFFECT_NONE,
         E_UNEXPECTED},
        {"an item the handler takes away: its target got its leave and gets no drop",
         {.RemovesItem = true},
         {enter, {TCall::Over, L"a"}, {TCall::Drop, L"a", 0}},
         {L"enter a 7", L"+a", L"over a 7", L"before a 1 1", L"leave a", L"offered"},
         DROPEFFECT_NONE,
         E_UNEXPECTED},
        {"the background is entered for the whole drag and takes the points of no item",
         {.Background = true},
         {enter, {TCall::Over}, {TCall::Over, L"a"}, {TCall::Over}, {TCall::Drop, L"", 0}},
         {L"enter bg 7", L"over bg 7", L"enter a 7", L"+a", L"over a 7", L"-a", L"leave a",
          L"over bg 7", L"before bg 1 1", L"drop bg 7", L"offered", L"report drop to bg",
          L"arrived bg"},
         kAllEffects},
        {"a vetoed drop on the background: it gets its leave",
         {.Background = true, .Execute = false},
         {enter, {TCall::Drop, L"", 0}},
         {L"enter bg 7", L"before bg 1 1", L"offered", L"leave bg"},
         DROPEFFECT_NONE,
         E_UNEXPECTED},
        {"a background that refuses the drag is not used",
         {.Background = true, .Answers = {{L"bg", {.Refuses = true}}}},
         {enter, {TCall::Over}, {TCall::Drop, L"", 0}},
         {L"enter bg 7"},
         DROPEFFECT_NONE,
         E_UNEXPECTED},
        {"the control's own left-button drag is refused by its own folder",
         {.Background = true, .OwnDragButton = MK_LBUTTON},
         {enter, {TCall::Over}, {TCall::Drop, L"", 0}},
         {L"enter bg 7", L"leave bg"},
         DROPEFFECT_NONE,
         E_UNEXPECTED},
        {"the control's own right-button drag is taken by its own folder",
         {.Background = true, .OwnDragButton = MK_RBUTTON},
         {{TCall::Enter, L"", MK_RBUTTON}, {TCall::Over, L"", MK_RBUTTON}, {TCall::Drop, L"", 0}},
         {L"enter bg 7", L"over bg 7", L"before bg 1 2", L"drop bg 7", L"offered",
          L"report drop to bg", L"arrived bg"},
         kAllEffects},
        {"an item whose target refuses is left to the background, and asked again",
         {.Background = true, .Answers = {{L"a", {.Refuses = true}}}},
         {enter, {TCall::Over, L"a"}, {TCall::Over, L"a"}, {TCall::Drop, L"a", 0}},
         {L"enter bg 7", L"enter a 7", L"over bg 7", L"enter a 7", L"over bg 7", L"before bg 1 1",
          L"drop bg 7", L"offered", L"report drop to bg", L"arrived bg"},
         kAllEffects},
        {"an item whose target refuses, kept as drop item: shown, taking nothing",
         {.KeepsRefusingItem = true, .Answers = {{L"a", {.Refuses = true}}}},
         {enter, {TCall::Over, L"a"}, {TCall::Over, L"a"}, {TCall::Drop, L"a", 0}},
         {L"enter a 7", L"+a", L"-a"},
         DROPEFFECT_NONE,
         E_UNEXPECTED},
        {"an item without a target takes nothing",
         {.NoTarget = {L"b"}},
         {enter, {TCall::Over, L"b"}, {TCall::Drop, L"b", 0}},
         {},
         DROPEFFECT_NONE,
         E_UNEXPECTED},
        {"the copy mode limits what every target is offered",
         {.Background = true, .Effects = DROPEFFECT_MOVE},
         {enter, {TCall::Over, L"a"}, {TCall::Drop, L"a", 0}},
         {L"enter bg 2", L"enter a 2", L"+a", L"over a 2", L"before a 1 1", L"drop a 2", L"offered",
          L"report move to a", L"arrived a", L"-a", L"leave bg"},
         DROPEFFECT_MOVE},
        {"the source's effects limit what the target is offered",
         {},
         {enter, {TCall::Over, L"a", MK_LBUTTON, DROPEFFECT_COPY | DROPEFFECT_LINK}},
         {L"enter a 5", L"+a", L"over a 5"},
         DROPEFFECT_COPY | DROPEFFECT_LINK},
        {"the target's choice over it is passed back",
         {.Answers = {{L"b", {.Takes = DROPEFFECT_LINK}}}},
         {enter, {TCall::Over, L"b"}},
         {L"enter b 7", L"+b", L"over b 7"},
         DROPEFFECT_LINK},
        {"the target's choice is chosen in the drop is passed back and reported",
         {.Answers = {{L"a", {.Takes = DROPEFFECT_COPY}}}},
         {enter, {TCall::Over, L"a"}, {TCall::Drop, L"a", 0}},
         {L"enter a 7", L"+a", L"over a 7", L"before a 1 1", L"drop a 7", L"offered",
          L"report copy to a", L"arrived a", L"-a"},
         DROPEFFECT_COPY},
        {"a failed drop chooses no effect and is not reported",
         {.Answers = {{L"a", {.DropResult = E_FAIL}}}},
         {enter, {TCall::Over, L"a"}, {TCall::Drop, L"a", 0}},
         {L"enter a 7", L"+a", L"over a 7", L"before a 1 1", L"drop a 7", L"offered", L"-a"},
         DROPEFFECT_NONE,
         E_FAIL},
        {"a read-only control enters nothing and takes nothing",
         {.Background = true, .Effects = DROPEFFECT_NONE},
         {enter, {TCall::Over, L"a"}, {TCall::Drop, L"a", 0}},
         {},
         DROPEFFECT_NONE,
         E_UNEXPECTED},
        {"a new drag forgets the one that never left",
         {},
         {enter, {TCall::Over, L"a"}, enter, {TCall::Over, L"a"}},
         {L"enter a 7", L"+a", L"over a 7", L"-a", L"leave a", L"enter a 7", L"+a", L"over a 7"},
         kAllEffects},
    };
    for (const TCase& test : cases) {
        SCOPED_TRACE(test.Name);
        Log log;
        TFakeSite site(form->Handle(), test.Setup, log);
        TShellDropTarget<TFakeItem> protocol(site);
        site.Protocol = &protocol;
        const auto [effect, result] = Run(protocol, test.Steps);
        EXPECT_EQ(log, test.Expected);
        EXPECT_EQ(effect, test.Effect);
        EXPECT_EQ(result, test.Result);
    }
}

// The item of a drag still under way when the control goes, or when the item goes: its
// target gets its leave once, and nobody asks the control anything any more.
TEST_F(ShellDropTargetTest, TargetsOfADragStillUnderWayAreLeftOnce)
{
    Log log;
    TFakeSite site(form->Handle(), {.Background = true}, log);
    {
        TShellDropTarget<TFakeItem> protocol(site);
        site.Protocol = &protocol;
        Run(protocol, {{TCall::Enter}, {TCall::Over, L"a"}});
        protocol.Forget(&site.Items[1]);
        EXPECT_EQ(protocol.DropItem(), &site.Items[0]);
        protocol.Forget(&site.Items[0]);
        EXPECT_EQ(protocol.DropItem(), nullptr);
        Run(protocol, {{TCall::Over, L"b"}});
    }
    EXPECT_EQ(log, (Log{L"enter bg 7", L"enter a 7", L"+a", L"over a 7", L"leave a", L"enter b 7",
                        L"+b", L"over b 7", L"leave b", L"leave bg"}));
}

// A target that moves the file without naming an effect: the drop is reported as a move.
TEST_F(ShellDropTargetTest, ASilentMoveIsReportedAsAMove)
{
    Log log;
    TFakeSite site(form->Handle(), {.Answers = {{L"a", {.MovesSilently = file}}}}, log);
    TShellDropTarget<TFakeItem> protocol(site);
    const auto [effect, result] =
        Run(protocol, {{TCall::Enter}, {TCall::Over, L"a"}, {TCall::Drop, L"a", 0}});
    EXPECT_EQ(result, S_OK);
    EXPECT_EQ(effect, static_cast<DWORD>(DROPEFFECT_MOVE));
    EXPECT_NE(std::find(log.begin(), log.end(), L"report move to a"), log.end());
}

}  // namespace
