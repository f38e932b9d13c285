// Settings used as counts and sizes are bounded: the vessel symbol's number of circles, typed or
// stored, and a stored window size.
#include "navigator/NavigatorFixture.h"
#include "navigator/shared/FormPlacement.h"

#include "canvas/TarvikCanvas.h"
#include "navigator/settings/SensorSettingsWindow.h"
#include "navigator/settings/VesselShapeWindow.h"
#include "navigator/shared/MessageWindow.h"
#include "navigator/windows/OffsetsWindow.h"
#include "platform/Abort.h"
#include "platform/Convert.h"
#include "platform/IniFile.h"
#include "platform/Paths.h"
#include "support/ScriptedDialogs.h"

#include <QGuiApplication>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QScreen>
#include <algorithm>

namespace {

class VesselShapeBounds : public NavigatorTest {
protected:
  testsupport::ScriptedDialogs dialogs;
};

TEST_F(VesselShapeBounds, ANumberOfCirclesBeyondTheSymbolIsRefusedWithTheValueTyped) {
  createWindows();
  TFShape &w = *windows->FShape;
  w.show();
  for (const char *typed : {"20000000", "101", "-1", "99999999999"}) {
    w.edAmount->setText(QString::fromLatin1(typed));
    dialogs.answer(mrOk);
    w.BitBtn1->click();
    ASSERT_FALSE(dialogs.messages().empty());
    EXPECT_EQ(dialogs.messages().back().text,
              QStringLiteral("Total number of circles \"%1\" is not possible: the vessel symbol "
                             "draws 0 to 100 circles.")
                  .arg(QString::fromLatin1(typed)));
    EXPECT_TRUE(w.isVisible()) << typed;
    EXPECT_FALSE(
        platform::IniFile(settingsFile()).ValueExists("VESSEL_SHAPE", "Number of circles"));
  }
  // The bound itself and no circles at all are taken.
  for (const char *typed : {"100", "0"}) {
    w.show();
    w.edAmount->setText(QString::fromLatin1(typed));
    w.BitBtn1->click();
    EXPECT_FALSE(w.isVisible()) << typed;
    EXPECT_EQ(platform::IniFile(settingsFile()).ReadString("VESSEL_SHAPE", "Number of circles", ""),
              typed);
  }
  EXPECT_EQ(TFShape::CircleCount(QStringLiteral("20000000")), 100);
  EXPECT_EQ(TFShape::CircleCount(QStringLiteral("-5")), 0);
  EXPECT_THROW(TFShape::CircleCount(QStringLiteral("abc")), platform::EConvertError);
}

TEST_F(VesselShapeBounds, AStoredNumberOfCirclesBeyondTheSymbolIsClampedAndSaid) {
  platform::IniFile(settingsFile()).WriteString("VESSEL_SHAPE", "Number of circles", "20000000");
  createWindows();
  EXPECT_EQ(windows->FShape->edAmount->text(), "100");
  TFMsg &messages = *windows->FMsg;
  ASSERT_TRUE(testsupport::processEventsUntil([&] { return messages.isVisible(); }));
  EXPECT_EQ(messages.Msg->toPlainText(), "The stored number of circles 20000000 is outside 0 to "
                                         "100; the vessel symbol draws 100.");
}

TEST_F(VesselShapeBounds, AStoredWindowSizeIsBoundedByTheDesktop) {
  platform::IniFile ini(settingsFile());
  ini.WriteInteger("Offsets", "Width", 20000000);
  ini.WriteInteger("Offsets", "Height", 2000000000);
  createWindows();
  QWidget &w = *windows->Offsets;
  RestoreFormPlacement(&w, 1);
  const QSize desktop = QGuiApplication::primaryScreen()->virtualSize();
  EXPECT_LE(w.width(), std::max(2 * desktop.width(), 4096));
  EXPECT_LE(w.height(), std::max(2 * desktop.height(), 4096));
}

TEST_F(VesselShapeBounds, StoredHostileShapeValuesAreClampedAndSaid) {
  platform::IniFile ini(settingsFile());
  ini.WriteString("VESSEL_SHAPE", "Number of circles", "99999999999"); // beyond 32 bits
  ini.WriteString("VESSEL_SHAPE", "Radious of first circle", "NaN");
  ini.WriteString("VESSEL_SHAPE", "Cirecle offset interval", "-1e308");
  ini.WriteString("VESSEL_SHAPE", "Arrow length to bow", "1e308");
  ini.WriteString("VESSEL_SHAPE", "Left right offset of arrow", "12.5"); // a sound one
  createWindows();
  TFShape &w = *windows->FShape;
  EXPECT_EQ(w.edAmount->text(), "100");
  EXPECT_EQ(w.edRadious->text(), "10") << "no number: the design value, as ever";
  EXPECT_EQ(w.edInterval->text(), "-10000");
  EXPECT_EQ(w.edBArrow->text(), "10000");
  EXPECT_EQ(w.edLArrow->text(), "12.5");
  TFMsg &messages = *windows->FMsg;
  ASSERT_TRUE(testsupport::processEventsUntil([&] { return messages.isVisible(); }));
  const QString said = messages.Msg->toPlainText();
  for (const char *part : {"number of circles 99999999999 is outside 0 to 100",
                           "\"Radious of first circle\" NaN is no number",
                           "\"Offset to next circle\" -1e308 is not a length of -10000 to 10000",
                           "\"Arrow's longitudal length\" 1e308 is not"})
    EXPECT_TRUE(said.contains(QString::fromLatin1(part))) << part << " in " << said.toStdString();
  EXPECT_FALSE(said.contains(QStringLiteral("sideward"))) << said.toStdString();
}

TEST_F(VesselShapeBounds, TypedLengthsTheSymbolCannotDrawAreRefused) {
  createWindows();
  TFShape &w = *windows->FShape;
  const struct {
    QLineEdit *TFShape::*edit;
    const char *label;
  } rows[] = {{&TFShape::edRadious, "Radious of first circle"},
              {&TFShape::edInterval, "Offset to next circle"},
              {&TFShape::edBArrow, "Arrow's longitudal length"},
              {&TFShape::edLArrow, "Arrow's sideward length"}};
  for (const auto &row : rows)
    for (const char *typed : {"1e308", "-10000.5", "10001"}) {
      w.bDefaultClick();
      w.show();
      (w.*row.edit)->setText(QString::fromLatin1(typed));
      dialogs.answer(mrOk);
      w.BitBtn1->click();
      ASSERT_FALSE(dialogs.messages().empty());
      EXPECT_EQ(dialogs.messages().back().text,
                QStringLiteral("%1 \"%2\" is not possible: the vessel symbol takes lengths of "
                               "-10000 to 10000.")
                    .arg(QString::fromLatin1(row.label), QString::fromLatin1(typed)));
      EXPECT_TRUE(w.isVisible()) << typed;
      EXPECT_FALSE(
          platform::IniFile(settingsFile()).ValueExists("VESSEL_SHAPE", "Arrow length to bow"));
    }
  // The bound itself is taken; the map timer clamps what an edit still holds.
  w.bDefaultClick();
  w.edBArrow->setText(QStringLiteral("-10000"));
  w.BitBtn1->click();
  EXPECT_FALSE(w.isVisible());
  EXPECT_EQ(TFShape::ShapeLength(QStringLiteral("1e308")), 10000);
  EXPECT_EQ(TFShape::ShapeLength(QStringLiteral("-3.5")), -3.5);
  EXPECT_THROW(TFShape::ShapeLength(QStringLiteral("NaN")), platform::EConvertError);
  EXPECT_THROW(TFShape::ShapeLength(QStringLiteral("abc")), platform::EConvertError);
}

// A label font larger than the map covers the track, the vessel and the grid.
TEST_F(VesselShapeBounds, StoredLabelFontSizesAreBoundedAndSaid) {
  platform::IniFile ini(settingsFile());
  ini.WriteString("DEPTH_LABEL_SETTINGS", "FontSize", "10000");
  ini.WriteString("EVENT_LABEL_SETTINGS", "FontSize", "-99999999999");
  createWindows();
  const SensorSettingsModel &model = windows->FGPS->Model;
  EXPECT_EQ(model.DepthLabelSettingFontSize, SensorSettingsModel::MaxLabelFontSize);
  EXPECT_EQ(EventLabelFontSize, -SensorSettingsModel::MaxLabelFontSize);
  EXPECT_EQ(model.Values.edDepthLabelFontSize, "10000") << "the text stays as stored";
  TFMsg &messages = *windows->FMsg;
  ASSERT_TRUE(testsupport::processEventsUntil([&] { return messages.isVisible(); }));
  const QString said = messages.Msg->toPlainText();
  EXPECT_TRUE(said.contains(QStringLiteral(
      "The depth label font size 10000 is beyond 200 points; the labels are drawn at 200.")))
      << said.toStdString();
  EXPECT_TRUE(said.contains(QStringLiteral("event label font size -99999999999")))
      << said.toStdString();

  struct Case {
    const char *text;
    int drawn;
  } cases[] = {{"12", 12}, {"200", 200}, {"201", 200},       {"-5", -5},
               {"abc", 7}, {"", 7},      {"2147483648", 200}};
  for (const Case &c : cases)
    EXPECT_EQ(SensorSettingsModel::LabelFontSize(QString::fromLatin1(c.text), 7), c.drawn)
        << c.text;
}

} // namespace
