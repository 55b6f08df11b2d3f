// Byte-exact checks of the text, number and search operations.
#include "progress/text.h"

#include <gtest/gtest.h>

TEST(Text, IntToText) { EXPECT_EQ(int_to_text(-5), "-5"); }
