// System colours stand for the current palette's colours.
#include "platform/Color.h"
#include "platform/Styles.h"

#include <QApplication>
#include <QPalette>
#include <gtest/gtest.h>

namespace {
class SystemColor : public ::testing::Test {
protected:
  SystemColor() : saved_(QApplication::palette()) {}
  ~SystemColor() override { QApplication::setPalette(saved_); }

private:
  QPalette saved_;
};
} // namespace

TEST_F(SystemColor, ResolvesFromTheCurrentPalette) {
  QPalette p = QApplication::palette();
  p.setColor(QPalette::Button, QColor(0x11, 0x22, 0x33));
  p.setColor(QPalette::Base, QColor(0x44, 0x55, 0x66));
  p.setColor(QPalette::Highlight, QColor(0x77, 0x88, 0x99));
  p.setColor(QPalette::WindowText, QColor(0x01, 0x02, 0x03));
  QApplication::setPalette(p);
  struct Case {
    TColor system;
    TColor plain;
  } cases[] = {{clBtnFace, RGB(0x11, 0x22, 0x33)},
               {clWindow, RGB(0x44, 0x55, 0x66)},
               {clHighlight, RGB(0x77, 0x88, 0x99)},
               {clWindowText, RGB(0x01, 0x02, 0x03)}};
  for (const Case &c : cases) {
    EXPECT_EQ(platform::ColorToRGB(c.system), c.plain) << std::hex << c.system;
    EXPECT_EQ(platform::fromQColor(platform::toQColor(c.system)), c.plain) << std::hex << c.system;
  }
  EXPECT_NE(platform::ColorToRGB(clGradientActiveCaption) & clSystemColor, clSystemColor);
  EXPECT_EQ(platform::ColorToRGB(clRed), clRed);
  EXPECT_EQ(platform::ColorToRGB(clSystemColor | 200), clBlack); // no such index
}
