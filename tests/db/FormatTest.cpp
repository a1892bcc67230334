#include <gtest/gtest.h>

#include "platform/db/Format.h"

using namespace kiv;

TEST(Format, RocLongDate) {
    EXPECT_EQ(Format(Date::fromYmd(2026, 12, 6), "gg ee 年 mm 月 dd 日"),
              "中華民國 115 年 12 月 06 日");
}
