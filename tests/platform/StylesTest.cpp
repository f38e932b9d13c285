// Visual styles by name: every listed name applies the Fusion style with a readable palette of
// its own, and an unknown name falls back to "Light".
#include "platform/Styles.h"

#include <QApplication>
#include <QSet>
#include <QStyle>
#include <QWidget>
#include <gtest/gtest.h>

using namespace platform;

namespace {

class Styles : public ::testing::Test {
protected:
  // Leave the application as the other tests expect it.
  void TearDown() override { ApplyStyle("Windows"); }
};

TEST_F(Styles, ListsThePlatformLookFirstAndEveryCarriedStyle) {
  const QStringList names = StyleNames();
  EXPECT_EQ(names.size(), 36);
  EXPECT_EQ(names.first(), "Windows");
  EXPECT_TRUE(names.contains("Light"));
  EXPECT_TRUE(names.contains("Windows10 Dark"));
  EXPECT_EQ(QSet<QString>(names.begin(), names.end()).size(), names.size()) << "no duplicates";
}

TEST_F(Styles, ApplyingAStyleSetsFusionAndItsPalette) {
  ASSERT_TRUE(ApplyStyle("Carbon"));
  EXPECT_EQ(ActiveStyleName(), "Carbon");
  EXPECT_EQ(QApplication::style()->name().toLower(), "fusion");
  const QColor panel = QApplication::palette().color(QPalette::Window);
  EXPECT_EQ(fromQColor(panel), ActiveStylePanelColor());
  QWidget widget; // a window made afterwards takes the style's colours
  EXPECT_EQ(widget.palette().color(QPalette::Window), panel);
  EXPECT_LT(panel.lightness(), 80) << "Carbon is dark";
}

TEST_F(Styles, UnknownNamesChangeNothing) {
  ApplyStyle("Carbon");
  const QColor carbon = QApplication::palette().color(QPalette::Window);
  EXPECT_FALSE(ApplyStyle("No Such Style"));
  EXPECT_EQ(ActiveStyleName(), "Carbon");
  EXPECT_EQ(QApplication::palette().color(QPalette::Window), carbon);
  EXPECT_EQ(stylePalette("nonsense").window().color(), stylePalette("Light").window().color());
}

TEST_F(Styles, NamesMatchWithoutRegardToCase) {
  EXPECT_TRUE(ApplyStyle("windows10 dark"));
  EXPECT_EQ(ActiveStyleName(), "Windows10 Dark");
}

TEST_F(Styles, EveryStyleIsReadableAndHasItsPanelColour) {
  for (const QString &name : StyleNames()) {
    ASSERT_TRUE(ApplyStyle(name)) << name.toStdString();
    const QPalette p = QApplication::palette();
    EXPECT_EQ(fromQColor(p.color(QPalette::Window)), ActiveStylePanelColor()) << name.toStdString();
    const int panelText =
        std::abs(p.color(QPalette::Window).lightness() - p.color(QPalette::WindowText).lightness());
    const int editText =
        std::abs(p.color(QPalette::Base).lightness() - p.color(QPalette::Text).lightness());
    const int buttonText =
        std::abs(p.color(QPalette::Button).lightness() - p.color(QPalette::ButtonText).lightness());
    EXPECT_GT(panelText, 120) << name.toStdString();
    EXPECT_GT(editText, 120) << name.toStdString();
    EXPECT_GT(buttonText, 100) << name.toStdString();
    const QColor disabled = p.color(QPalette::Disabled, QPalette::WindowText);
    EXPECT_NE(disabled, p.color(QPalette::WindowText)) << name.toStdString();
  }
}

TEST_F(Styles, ThePlatformLookHasTheButtonFaceGrey) {
  ApplyStyle("Windows");
  EXPECT_EQ(ActiveStyleName(), "Windows");
  EXPECT_EQ(ActiveStylePanelColor(), RGB(240, 240, 240));
}

} // namespace
