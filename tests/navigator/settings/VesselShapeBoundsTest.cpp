// Settings used as counts and sizes are bounded: the vessel symbol's number of circles, typed or
// stored, and a stored window size.
#include "navigator/NavigatorFixture.h"
#include "navigator/windows/FormPlacement.h"

#include "navigator/settings/VesselShapeWindow.h"
#include "navigator/windows/MessageWindow.h"
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

} // namespace
