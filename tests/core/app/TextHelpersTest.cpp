#include "core/app/TextHelpers.h"

#include <gtest/gtest.h>

namespace pelvano::core {
namespace {

TEST(Fields, CountAndGet) {
    EXPECT_EQ(CountFields("", ";"), 1);
    EXPECT_EQ(CountFields("x~~y~~z", "~~"), 3);
    EXPECT_EQ(GetField("x~~y~~z", "~~", 2), "y");
    EXPECT_EQ(GetField("x~~y~~z", "~~", 3), "z");
    EXPECT_EQ(GetField("x~~y~~z", "~~", 4), "");
    EXPECT_EQ(GetField("x~~y~~z", "~~", 0), "");
    EXPECT_EQ(GetField("a^^^b", "^^", 2), "^b");  // non-overlapping, from the left
    EXPECT_EQ(CountFields("^^^", "^^"), 2);
}

}  // namespace
}  // namespace pelvano::core
