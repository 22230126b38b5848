#include "support/Colour.h"

#include <gtest/gtest.h>

namespace qv {
namespace {

TEST(Colour, SwapRedBlueBothWaysAndOnlyTheLow24Bits) {
    EXPECT_EQ(swapRedBlue(0x123456), 0x563412u);
    EXPECT_EQ(swapRedBlue(swapRedBlue(0xA1B2C3)), 0xA1B2C3u);
    EXPECT_EQ(swapRedBlue(0xFF123456), 0x563412u);
    EXPECT_EQ(swapRedBlue(kDefaultGridColorSetting), 0xD4D0C8u);
}

}  // namespace
}  // namespace qv
