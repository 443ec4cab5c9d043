// The window tests of this suite run with an application object.
#include "common/ApplicationEnvironment.h"

namespace {

[[maybe_unused]] testing::Environment* const environment =
    testing::AddGlobalTestEnvironment(NewApplicationEnvironment());

}  // namespace
