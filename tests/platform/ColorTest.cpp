#include "platform/Color.h"

#include <gtest/gtest.h>

TEST(Color, ByteOrderIsBlueGreenRed) {
  struct Case {
    TColor colour;
    int r, g, b;
  } cases[] = {{clRed, 255, 0, 0},    {clLime, 0, 255, 0},     {clNavy, 0, 0, 128},
               {clAqua, 0, 255, 255}, {clYellow, 255, 255, 0}, {0x123456, 0x56, 0x34, 0x12}};
  for (const auto &c : cases) {
    const QColor q = platform::toQColor(c.colour);
    EXPECT_EQ(q.red(), c.r) << std::hex << c.colour;
    EXPECT_EQ(q.green(), c.g) << std::hex << c.colour;
    EXPECT_EQ(q.blue(), c.b) << std::hex << c.colour;
    EXPECT_EQ(platform::fromQColor(q), c.colour);
  }
}
