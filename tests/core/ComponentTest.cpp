#include "core/Component.h"
#include "core/Exception.h"
#include "core/TextConversion.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {

std::vector<std::wstring> journal;

class TRecorder : public TComponent {
public:
    TRecorder(TComponent* owner, std::wstring name) : TComponent(owner) { Name = std::move(name); }
    ~TRecorder() override { journal.push_back(L"free " + Name); }

    int loadedCalls = 0;
    std::vector<TComponent*> removed;

protected:
    void Loaded() override { ++loadedCalls; }
    void Notification(TComponent* component, TOperation operation) override
    {
        if (operation == TOperation::opRemove)
            removed.push_back(component);
    }
};

}  // namespace

TEST(Component, OwnerFreesItsComponentsInReverseOrder)
{
    journal.clear();
    {
        TRecorder owner(nullptr, L"owner");
        auto* first = MakeOwned<TRecorder>(&owner, L"first");
        MakeOwned<TRecorder>(first, L"grandchild");
        MakeOwned<TRecorder>(&owner, L"second");
        EXPECT_EQ(owner.ComponentCount(), 2);
        EXPECT_EQ(first->Owner(), &owner);
    }
    const std::vector<std::wstring> expected = {L"free owner", L"free second", L"free first",
                                                L"free grandchild"};
    EXPECT_EQ(journal, expected);
}

TEST(Component, FreeingAChildRemovesItFromItsOwner)
{
    TRecorder owner(nullptr, L"owner");
    auto* child = MakeOwned<TRecorder>(&owner, L"child");
    auto* other = MakeOwned<TRecorder>(&owner, L"other");
    delete child;
    EXPECT_EQ(owner.ComponentCount(), 1);
    EXPECT_EQ(owner.Components(0), other);
    ASSERT_EQ(other->removed.size(), 1u);  // siblings hear of the removal
    EXPECT_EQ(other->removed[0], child);
}

TEST(Component, LoadingEndsWithOneLoadedStep)
{
    TRecorder component(nullptr, L"c");
    EXPECT_FALSE(component.IsLoading());
    component.BeginLoading();
    EXPECT_TRUE(component.IsLoading());
    component.EndLoading();
    component.EndLoading();
    EXPECT_FALSE(component.IsLoading());
    EXPECT_EQ(component.loadedCalls, 1);
}

TEST(Component, DesigningIsOffAndReachesOwnedComponents)
{
    TRecorder owner(nullptr, L"owner");
    auto* child = MakeOwned<TRecorder>(&owner, L"child");
    EXPECT_FALSE(owner.IsDesigning());
    owner.SetDesigning(true);
    EXPECT_TRUE(child->IsDesigning());
    EXPECT_TRUE(MakeOwned<TRecorder>(&owner, L"late")->IsDesigning());
}

TEST(Component, WatchersHearOfAnUnownedComponentsEnd)
{
    TRecorder watcher(nullptr, L"watcher");
    auto* watched = new TRecorder(nullptr, L"watched");
    watcher.FreeNotification(watched);
    delete watched;
    ASSERT_EQ(watcher.removed.size(), 1u);
    EXPECT_EQ(watcher.removed[0], watched);

    // After the watcher goes first, the watched component must not call back into it.
    auto* survivor = new TRecorder(nullptr, L"survivor");
    {
        TRecorder shortLived(nullptr, L"short");
        shortLived.FreeNotification(survivor);
    }
    delete survivor;
}

TEST(Exception, CarriesTheMessageInBothForms)
{
    const Exception error(L"Nautilex Components: Cannot open Shell!");
    EXPECT_EQ(error.Message(), L"Nautilex Components: Cannot open Shell!");
    EXPECT_STREQ(error.what(), "Nautilex Components: Cannot open Shell!");
}

TEST(TextConversion, RoundTripsAndSystemMessages)
{
    EXPECT_EQ(NarrowToWide(WideToNarrow(L"plain text")), L"plain text");
    EXPECT_EQ(WideToNarrow(L"\u00e9", CP_UTF8), "\xc3\xa9");
    EXPECT_FALSE(SystemErrorMessage(ERROR_PATH_NOT_FOUND).empty());
    const std::wstring text = SystemErrorMessage(ERROR_FILE_NOT_FOUND);
    ASSERT_FALSE(text.empty());
    EXPECT_NE(text.back(), L'\n');
}
