#include "core/MessageWindow.h"
#include "core/CallbackException.h"
#include "core/Component.h"
#include "core/Exception.h"

#include <gtest/gtest.h>

#include <stdexcept>
#include <string>

namespace {

const UINT kProbeMessage = WM_APP + 7;

class MessageWindowTest : public testing::Test {
protected:
    void TearDown() override { SetCallbackExceptionHandler(nullptr); }
};

TEST_F(MessageWindowTest, AFailingHandlerReachesTheInstalledHandlerWithItsSender)
{
    TComponent sender(nullptr);
    TMessageWindow window(
        [](UINT message, WPARAM, LPARAM, LRESULT& result) {
            if (message != kProbeMessage)
                return false;
            throw Exception(L"handler failed");
        },
        TMessageWindow::TKind::MessageOnly, &sender);
    ASSERT_NE(window.Handle(), nullptr);

    TObject* seenSender = nullptr;
    std::wstring seenMessage;
    SetCallbackExceptionHandler([&](TObject* failed) {
        seenSender = failed;
        try {
            throw;
        } catch (const Exception& e) {
            seenMessage = e.Message();
        }
    });
    SendMessageW(window.Handle(), kProbeMessage, 0, 0);
    EXPECT_EQ(seenSender, &sender);
    EXPECT_EQ(seenMessage, L"handler failed");

    // Without a handler the exception still stops at the window, and so does one that fails.
    SetCallbackExceptionHandler(nullptr);
    SendMessageW(window.Handle(), kProbeMessage, 0, 0);
    SetCallbackExceptionHandler([](TObject*) { throw std::runtime_error("handler of handlers"); });
    SendMessageW(window.Handle(), kProbeMessage, 0, 0);
}

}  // namespace
