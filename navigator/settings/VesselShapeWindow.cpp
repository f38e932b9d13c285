#include "navigator/settings/VesselShapeWindow.h"

#include "navigator/windows/MessageWindow.h"
#include "platform/Abort.h"
#include "platform/Convert.h"
#include "platform/Dialogs.h"
#include "platform/IniFile.h"
#include "platform/Paths.h"

#include <QFormLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QRegularExpression>
#include <QTimer>
#include <QVBoxLayout>
#include <algorithm>

namespace {

const char *const section = "VESSEL_SHAPE";

QLineEdit *edit(QWidget *parent, const char *name, const char *design) {
  auto *e = new QLineEdit(QString::fromLatin1(design), parent);
  e->setObjectName(QString::fromLatin1(name));
  return e;
}

} // namespace

TFShape::TFShape(QWidget *owner, NavigatorWindows &windows)
    : QWidget(owner, Qt::Window), Windows(windows) {
  setObjectName(QStringLiteral("FShape"));
  setWindowTitle(QStringLiteral("Vessel Geometry"));
  // No border icons: the two buttons are the only ways out.
  setWindowFlags(Qt::Window | Qt::CustomizeWindowHint | Qt::WindowTitleHint |
                 Qt::WindowStaysOnTopHint);
  auto *column = new QVBoxLayout(this);
  auto *pole = new QGroupBox(QStringLiteral("All in one pole"), this);
  auto *form = new QFormLayout(pole);
  form->addRow(QStringLiteral("Radious of first circle"),
               edRadious = edit(pole, "edRadious", "10"));
  form->addRow(QStringLiteral("Offset to next circle"),
               edInterval = edit(pole, "edInterval", "10"));
  form->addRow(QStringLiteral("Total number of circles"), edAmount = edit(pole, "edAmount", "2"));
  form->addRow(QStringLiteral("Arrow's sideward length"), edLArrow = edit(pole, "edLArrow", "10"));
  form->addRow(QStringLiteral("Arrow's longitudal length"),
               edBArrow = edit(pole, "edBArrow", "100"));
  column->addWidget(pole);
  column->addWidget(new QLabel(QStringLiteral("Changes requires restart of program."), this));
  auto *buttons = new QHBoxLayout;
  bDefault = new QPushButton(QStringLiteral("Default"), this);
  bDefault->setObjectName(QStringLiteral("bDefault"));
  BitBtn1 = new QPushButton(QStringLiteral("Save && Hide"), this);
  BitBtn1->setObjectName(QStringLiteral("BitBtn1"));
  buttons->addWidget(bDefault);
  buttons->addWidget(BitBtn1);
  column->addLayout(buttons);
  connect(BitBtn1, &QPushButton::clicked, this, platform::guarded([this] { BitBtn1Click(); }));
  connect(bDefault, &QPushButton::clicked, this, platform::guarded([this] { bDefaultClick(); }));
  platform::guarded([this] { FormCreate(); })();
}

int TFShape::CircleCount(const QString &text) {
  return std::clamp<int>(platform::StrToInt(text), 0, MaxCircles);
}

void TFShape::FormCreate() {
  const platform::IniFile ini(platform::SettingsFilePath());
  const auto real = [](double v) { return QString::fromStdString(platform::FloatToStr(v)); };
  const std::int32_t stored = ini.ReadInteger(section, "Number of circles", 2);
  const int circles = std::clamp<std::int32_t>(stored, 0, MaxCircles);
  edAmount->setText(QString::number(circles));
  if (circles != stored) {
    // The message window is made after this one: the note waits for the start to finish.
    const QString note = QStringLiteral("The stored number of circles %1 is outside 0 to %2; the "
                                        "vessel symbol draws %3.")
                             .arg(stored)
                             .arg(MaxCircles)
                             .arg(circles);
    QTimer::singleShot(0, this, [this, note] {
      if (Windows.FMsg && Windows.FMsg->Msg) {
        Windows.FMsg->Msg->appendPlainText(note);
        Windows.FMsg->show();
      }
    });
  }
  edInterval->setText(real(ini.ReadFloat(section, "Cirecle offset interval", 10)));
  edRadious->setText(real(ini.ReadFloat(section, "Radious of first circle", 10)));
  edBArrow->setText(real(ini.ReadFloat(section, "Arrow length to bow", 100)));
  edLArrow->setText(real(ini.ReadFloat(section, "Left right offset of arrow", 0)));
}

void TFShape::BitBtn1Click() {
  // Text that is no whole number is stored as typed, as ever; a number of circles the symbol
  // cannot draw is refused here with the value typed, and the window stays open.
  static const QRegularExpression wholeNumber(QStringLiteral("^\\s*[+-]?[0-9]+\\s*$"));
  std::int32_t circles = 0;
  const bool number = wholeNumber.match(edAmount->text()).hasMatch();
  if (number && (!platform::TryStrToInt(edAmount->text().toStdString(), circles) || circles < 0 ||
                 circles > MaxCircles)) {
    platform::MessageDlg(QStringLiteral("Total number of circles \"%1\" is not possible: the "
                                        "vessel symbol draws 0 to %2 circles.")
                             .arg(edAmount->text())
                             .arg(MaxCircles),
                         mtError, mbOK);
    edAmount->setFocus();
    platform::Abort();
  }
  platform::IniFile ini(platform::SettingsFilePath());
  ini.WriteString(section, "Number of circles", edAmount->text());
  ini.WriteString(section, "Cirecle offset interval", edInterval->text());
  ini.WriteString(section, "Radious of first circle", edRadious->text());
  ini.WriteString(section, "Arrow length to bow", edBArrow->text());
  ini.WriteString(section, "Left right offset of arrow", edLArrow->text());
  hide();
}

void TFShape::bDefaultClick() {
  edRadious->setText(QStringLiteral("10"));
  edInterval->setText(QStringLiteral("10"));
  edBArrow->setText(QStringLiteral("100"));
  edAmount->setText(QStringLiteral("2"));
  edLArrow->setText(QStringLiteral("10"));
}
