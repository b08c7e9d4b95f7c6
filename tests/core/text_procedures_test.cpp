#include <gtest/gtest.h>

#include "core/material_store.h"

TEST(TrimSentenceText, Basics) {
  EXPECT_EQ(ProMod::TrimSentenceText(QStringLiteral("  ab ")), QStringLiteral("ab"));
}
