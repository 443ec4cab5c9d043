// The application object for the shell list tests: an exception that reaches a window procedure
// or callback fails the running test instead of showing a message box.
#include "ui/Application.h"

#include <gtest/gtest.h>

namespace {

class TUiEnvironment : public testing::Environment {
public:
    void SetUp() override
    {
        application_ = new TApplication(nullptr);
        application_->OnException = [](TObject*, const std::exception& e) {
            ADD_FAILURE() << "exception escaped to the application: " << e.what();
        };
    }
    void TearDown() override
    {
        delete application_;
        application_ = nullptr;
    }

private:
    TApplication* application_ = nullptr;
};

[[maybe_unused]] testing::Environment* const environment =
    testing::AddGlobalTestEnvironment(new TUiEnvironment);

}  // namespace
