#include "calc/numeric.h"

#include <gtest/gtest.h>

namespace {
TEST(ReadNumber, Smoke) {
    EXPECT_EQ(calc::readNumber(u"1 2"), 12.0);
    EXPECT_EQ(calc::readNumber(u"1.e1"), 10.0);
    EXPECT_EQ(calc::readNumber(u".5"), 0.5);
    EXPECT_EQ(calc::readNumber(u"&HFFFF"), 65535.0);
    EXPECT_EQ(calc::readNumber(u"1E-400"), 0.0);
    EXPECT_THROW(calc::readNumber(u"1E400"), calc::OverflowError);
}
}  // namespace
