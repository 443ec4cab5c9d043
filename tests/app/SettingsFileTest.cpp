#include "app/SettingsFile.h"
#include "common/TempTree.h"

#include <gtest/gtest.h>

TEST(SettingsFile, placeholder) { EXPECT_TRUE(true); }
