#include "archive/path_rules.h"

#include <gtest/gtest.h>

TEST(PathRules, TrailByteOfKanji) {
  EXPECT_TRUE(isTrailByte("表", 1));
}
