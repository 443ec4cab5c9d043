#include "common/ApplicationEnvironment.h"

#include "ui/Application.h"

namespace {

class TApplicationEnvironment : public testing::Environment {
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

}  // namespace

testing::Environment* NewApplicationEnvironment()
{
    return new TApplicationEnvironment;
}
