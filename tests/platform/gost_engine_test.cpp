#include "crypto/platform/gost_engine.h"

#include <gtest/gtest.h>

namespace velmora::platform {
namespace {

TEST(GostEngine, StartsOnceAndStaysReady) {
    ASSERT_TRUE(StartGostEngine()) << GostEngineFailureText();
    EXPECT_TRUE(StartGostEngine());
    EXPECT_EQ(GostEngineFailureText(), "");
}

}  // namespace
}  // namespace velmora::platform
