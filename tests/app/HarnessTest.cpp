#include <gtest/gtest.h>

#include "support/ControllerHarness.h"

namespace lociview {
namespace {

TEST(GeneControllerStartupTest, FieldsHoldStartupValues) {
    ControllerHarness h;
    EXPECT_EQ(h.tk.progenitor1.text(), "1.0");
    EXPECT_EQ(h.tk.progenitor2.text(), "2.0");
    EXPECT_EQ(h.tk.lowrange.text(), "120.0");
    EXPECT_EQ(h.tk.highrange.text(), "180.0");
    EXPECT_EQ(h.tk.shift.text(), "0.0");
    EXPECT_EQ(h.tk.stuttertol.text(), "1.5");
    EXPECT_EQ(h.takeTrace(), "log: list made ()\n");
}

}  // namespace
}  // namespace lociview
