#include "core/ScopedResource.h"

#include <gtest/gtest.h>

#include <functional>
#include <stdexcept>
#include <string>
#include <vector>

namespace {

class ScopeGuardTest : public ::testing::Test {
protected:
    // Runs `body`, which may throw; true when an exception left it.
    static bool Threw(const std::function<void()>& body)
    {
        try {
            body();
        } catch (const std::runtime_error&) {
            return true;
        }
        return false;
    }
};

struct TGuardedChange {
    const char* name;
    // Changes `value` under guards, checks the change inside, then leaves (by `fail`).
    void (*run)(int& value, bool fail);
};

void FailIf(bool fail)
{
    if (fail)
        throw std::runtime_error("left by an exception");
}

const TGuardedChange kGuardedChanges[] = {
    {"restore on exit",
     [](int& value, bool fail) {
         TRestoreOnExit restore(value, 7);
         EXPECT_EQ(value, 7);
         FailIf(fail);
     }},
    {"counter raised for the scope",
     [](int& value, bool fail) {
         TRestoreOnExit raised(value, value + 1);
         EXPECT_EQ(value, 4);
         FailIf(fail);
     }},
    {"scope exit",
     [](int& value, bool fail) {
         value = 7;
         TScopeExit restore([&value] { value = 3; });
         FailIf(fail);
     }},
    {"nested restores of one value",
     [](int& value, bool fail) {
         TRestoreOnExit outer(value, 7);
         {
             TRestoreOnExit inner(value, 8);
             EXPECT_EQ(value, 8);
         }
         EXPECT_EQ(value, 7);
         TRestoreOnExit again(value, 9);
         FailIf(fail);
     }},
};

TEST_F(ScopeGuardTest, PutsTheOldValueBackOnEveryExit)
{
    for (const TGuardedChange& change : kGuardedChanges)
        for (const bool fail : {false, true}) {
            SCOPED_TRACE(std::string(change.name) + (fail ? ", by an exception" : ", normally"));
            int value = 3;
            EXPECT_EQ(Threw([&] { change.run(value, fail); }), fail);
            EXPECT_EQ(value, 3);
        }
}

TEST_F(ScopeGuardTest, RestoresAnyValueTheTargetHeld)
{
    std::function<void()> handler = [] {};
    std::wstring text = L"before";
    EXPECT_TRUE(Threw([&] {
        TRestoreOnExit quietHandler(handler, nullptr);
        TRestoreOnExit changedText(text, L"during");
        EXPECT_FALSE(handler);
        EXPECT_EQ(text, L"during");
        FailIf(true);
    }));
    EXPECT_TRUE(handler);
    EXPECT_EQ(text, L"before");
}

TEST_F(ScopeGuardTest, NestedGuardsUndoInReverseOrder)
{
    for (const bool fail : {false, true}) {
        SCOPED_TRACE(fail ? "by an exception" : "normally");
        std::vector<std::string> undone;
        bool flag = false;
        Threw([&] {
            TScopeExit first([&] { undone.push_back("first"); });
            TRestoreOnExit second(flag, true);
            TScopeExit third([&] { undone.push_back(flag ? "third, flag set" : "third"); });
            TScopeExit fourth([&] { undone.push_back("fourth"); });
            FailIf(fail);
        });
        // The flag is still set while the guard made after it runs.
        EXPECT_EQ(undone, (std::vector<std::string>{"fourth", "third, flag set", "first"}));
        EXPECT_FALSE(flag);
    }
}

TEST_F(ScopeGuardTest, DismissedScopeExitDoesNothing)
{
    for (const bool fail : {false, true}) {
        SCOPED_TRACE(fail ? "by an exception" : "normally");
        int runs = 0;
        Threw([&] {
            TScopeExit rollback([&runs] { ++runs; });
            rollback.Dismiss();
            FailIf(fail);
        });
        EXPECT_EQ(runs, 0);
    }
}

TEST_F(ScopeGuardTest, RunEarlyRunsOnceAndPassesItsFailureOn)
{
    for (const bool fail : {false, true}) {
        SCOPED_TRACE(fail ? "failing" : "succeeding");
        int runs = 0;
        EXPECT_EQ(Threw([&] {
                      TScopeExit unlock([&runs, fail] {
                          ++runs;
                          FailIf(fail);
                      });
                      unlock.Run();
                      EXPECT_EQ(runs, 1);
                  }),
                  fail);
        EXPECT_EQ(runs, 1);
    }
}

TEST_F(ScopeGuardTest, FailingUndoDoesNotReplaceTheExceptionThatLeaves)
{
    std::string caught;
    try {
        TScopeExit undo([] { throw std::logic_error("from the undo"); });
        throw std::runtime_error("from the work");
    } catch (const std::exception& error) {
        caught = error.what();
    }
    EXPECT_EQ(caught, "from the work");
}

TEST_F(ScopeGuardTest, SelectedObjectsGoBackWhenTheirScopesEnd)
{
    const TScopedWindowDC screen;
    ASSERT_TRUE(screen);
    const TScopedMemoryDC dc(CreateCompatibleDC(screen.get()));
    ASSERT_TRUE(dc);
    const TScopedGdiObject bitmap(CreateCompatibleBitmap(screen.get(), 4, 4));
    const TScopedGdiObject pen(CreatePen(PS_SOLID, 1, RGB(255, 0, 0)));
    ASSERT_TRUE(bitmap);
    ASSERT_TRUE(pen);
    const HGDIOBJ firstBitmap = GetCurrentObject(dc.get(), OBJ_BITMAP);
    const HGDIOBJ firstPen = GetCurrentObject(dc.get(), OBJ_PEN);
    const HGDIOBJ firstBrush = GetCurrentObject(dc.get(), OBJ_BRUSH);
    EXPECT_TRUE(Threw([&] {
        const TSelectObjectScope selectBitmap(dc.get(), bitmap.get());
        const TSelectObjectScope selectPen(dc.get(), pen.get());
        const TSelectObjectScope selectNothing(dc.get(), nullptr);  // selects nothing
        EXPECT_EQ(GetCurrentObject(dc.get(), OBJ_BITMAP), bitmap.get());
        EXPECT_EQ(GetCurrentObject(dc.get(), OBJ_PEN), pen.get());
        {
            const TSelectObjectScope selectStockPen(dc.get(), GetStockObject(BLACK_PEN));
            EXPECT_EQ(GetCurrentObject(dc.get(), OBJ_PEN), GetStockObject(BLACK_PEN));
        }
        EXPECT_EQ(GetCurrentObject(dc.get(), OBJ_PEN), pen.get());
        EXPECT_EQ(GetCurrentObject(dc.get(), OBJ_BRUSH), firstBrush);
        FailIf(true);
    }));
    EXPECT_EQ(GetCurrentObject(dc.get(), OBJ_BITMAP), firstBitmap);
    EXPECT_EQ(GetCurrentObject(dc.get(), OBJ_PEN), firstPen);
    EXPECT_EQ(GetCurrentObject(dc.get(), OBJ_BRUSH), firstBrush);
}

TEST_F(ScopeGuardTest, DeviceContextsGoWithTheirScopes)
{
    HDC memory = nullptr;
    {
        const TScopedWindowDC screen;
        ASSERT_TRUE(screen);
        EXPECT_GT(GetDeviceCaps(screen.get(), LOGPIXELSY), 0);
        const TScopedMemoryDC dc(CreateCompatibleDC(screen.get()));
        memory = dc.get();
        EXPECT_EQ(GetObjectType(memory), static_cast<DWORD>(OBJ_MEMDC));
    }
    EXPECT_EQ(GetObjectType(memory), 0u);
}

}  // namespace
