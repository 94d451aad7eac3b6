#include "curve_catalogue.h"
#include "gl_recorder.h"
#include "viewer.h"

#include <gtest/gtest.h>

namespace {

TEST(Keyboard, EveryKeyButEscapeShowsTheNextCurve)
{
    // Letters, digits, space, Enter, Tab, Backspace, Delete and the extremes of the 8-bit range.
    const unsigned char keys[] = {'a', 'Z', '7', ' ', '\r', '\t', '\b', 127, 0, 26, 28, 255};
    curveKind = 0;
    std::uint32_t expectedKind = 0;
    for (const unsigned char key : keys) {
        clearRecording();
        keyboard(key, 10, 20);
        expectedKind = (expectedKind + 1) % CURVE_KIND_COUNT;
        EXPECT_EQ(expectedKind, curveKind) << "after key " << static_cast<int>(key);
        EXPECT_EQ(1, recording().redisplayRequests) << "after key " << static_cast<int>(key);
        EXPECT_TRUE(recording().calls.empty()) << "a key only asks for a repaint; it draws nothing itself";
    }
}

TEST(KeyboardDeathTest, EscapeEndsTheProcessWithStatusOne)
{
    EXPECT_EXIT(keyboard(27, 0, 0), ::testing::ExitedWithCode(1), "");
}

}
