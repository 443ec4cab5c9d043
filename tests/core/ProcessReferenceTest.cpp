#include "core/ProcessReference.h"

#include <gtest/gtest.h>
#include <oleidl.h>

#include <thread>

namespace {

TEST(ProcessReferenceTest, SignalsOnlyWhenTheLastReferenceGoesOnWhateverThread)
{
    TProcessReference reference;
    EXPECT_FALSE(reference.Released());
    // Asked for IUnknown it hands out a reference of its own; nothing else is offered.
    IUnknown* unknown = nullptr;
    ASSERT_EQ(reference.QueryInterface(IID_IUnknown, reinterpret_cast<void**>(&unknown)), S_OK);
    EXPECT_EQ(unknown, static_cast<IUnknown*>(&reference));
    void* other = &reference;
    EXPECT_EQ(reference.QueryInterface(IID_IDropTarget, &other), E_NOINTERFACE);
    EXPECT_EQ(other, nullptr);

    // The program lets go of its own: the one handed out still holds the process.
    EXPECT_EQ(reference.Release(), 1u);
    EXPECT_FALSE(reference.Released());
    EXPECT_EQ(WaitForSingleObject(reference.ReleasedEvent(), 0), static_cast<DWORD>(WAIT_TIMEOUT));
    // The last one goes on another thread, as the shell's do.
    std::thread([unknown] { unknown->Release(); }).join();
    EXPECT_TRUE(reference.Released());
    EXPECT_EQ(WaitForSingleObject(reference.ReleasedEvent(), 0), WAIT_OBJECT_0);
}

}  // namespace
