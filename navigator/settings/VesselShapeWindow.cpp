#include "navigator/settings/VesselShapeWindow.h"

#include "navigator/shared/MessageWindow.h"
#include "platform/Abort.h"
#include "platform/CodePage.h"
#include "platform/Convert.h"
#include "platform/Dialogs.h"
#include "platform/FormatSettings.h"
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
#include <cmath>

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

double TFShape::ShapeLength(const QString &text) {
  const double value = platform::StrToFloat(text);
  if (!std::isfinite(value))
    throw platform::EConvertError("'" + text.toStdString() + "' is not a finite length");
  return std::clamp(value, -MaxShapeLength, MaxShapeLength);
}

namespace {

// Each length of the symbol: its key, the words of its row, the design value.
struct LengthSetting {
  QLineEdit *TFShape::*edit;
  const char *key;
  const char *label;
  double design;
};
const LengthSetting lengths[] = {
    {&TFShape::edInterval, "Cirecle offset interval", "Offset to next circle", 10},
    {&TFShape::edRadious, "Radious of first circle", "Radious of first circle", 10},
    {&TFShape::edBArrow, "Arrow length to bow", "Arrow's longitudal length", 100},
    {&TFShape::edLArrow, "Left right offset of arrow", "Arrow's sideward length", 0},
};

} // namespace

void TFShape::FormCreate() {
  const platform::IniFile ini(platform::SettingsFilePath());
  const auto real = [](double v) { return QString::fromStdString(platform::FloatToStr(v)); };
  // A stored number beyond 32 bits reads as no number at all: it is taken from its text.
  const QString storedText =
      ini.ReadString(section, "Number of circles", QStringLiteral("2")).trimmed();
  int circles = 2;
  bool clamped = false;
  std::int32_t value = 0;
  static const QRegularExpression wholeNumber(QStringLiteral("^[+-]?[0-9]+$"));
  if (platform::TryStrToInt(storedText.toStdString(), value)) {
    circles = std::clamp<std::int32_t>(value, 0, MaxCircles);
    clamped = circles != value;
  } else if (wholeNumber.match(storedText).hasMatch()) {
    circles = storedText.startsWith('-') ? 0 : MaxCircles;
    clamped = true;
  }
  edAmount->setText(QString::number(circles));
  if (clamped)
    navigator::noteInMessageWindow(this, Windows,
                                   QStringLiteral("The stored number of circles %1 is outside 0 "
                                                  "to %2; the vessel symbol draws %3.")
                                       .arg(storedText)
                                       .arg(MaxCircles)
                                       .arg(circles));
  for (const LengthSetting &l : lengths) {
    const std::string lengthText = ini.ReadString(section, l.key, "");
    double stored = l.design;
    QString why; // empty: taken as stored
    if (!lengthText.empty() &&
        !platform::TryStrToFloat(lengthText, stored, platform::FormatSettings::classic()) &&
        !platform::TryStrToFloat(lengthText, stored)) {
      stored = l.design;
      why = QStringLiteral("is no number");
    } else if (!std::isfinite(stored) || std::fabs(stored) > MaxShapeLength) {
      why = QStringLiteral("is not a length of -%1 to %1").arg(real(MaxShapeLength));
      stored =
          std::isfinite(stored) ? std::clamp(stored, -MaxShapeLength, MaxShapeLength) : l.design;
    }
    (this->*l.edit)->setText(real(stored));
    if (!why.isEmpty())
      navigator::noteInMessageWindow(
          this, Windows,
          QStringLiteral("The stored \"%1\" %2 %3; the vessel symbol takes %4.")
              .arg(QString::fromLatin1(l.label), platform::fromWindows1254(lengthText), why,
                   real(stored)));
  }
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
  // The same for a length that is a number the symbol cannot draw.
  for (const LengthSetting &l : lengths) {
    QLineEdit *edit = this->*l.edit;
    double value = 0;
    if (platform::TryStrToFloat(edit->text().toStdString(), value) &&
        !(std::isfinite(value) && std::fabs(value) <= MaxShapeLength)) {
      platform::MessageDlg(QStringLiteral("%1 \"%2\" is not possible: the vessel symbol takes "
                                          "lengths of -%3 to %3.")
                               .arg(QString::fromLatin1(l.label), edit->text())
                               .arg(MaxShapeLength),
                           mtError, mbOK);
      edit->setFocus();
      platform::Abort();
    }
  }
  platform::IniFile ini(platform::SettingsFilePath());
  ini.WriteString(section, "Number of circles", edAmount->text());
  for (const LengthSetting &l : lengths)
    ini.WriteString(section, l.key, (this->*l.edit)->text());
  hide();
}

void TFShape::bDefaultClick() {
  edRadious->setText(QStringLiteral("10"));
  edInterval->setText(QStringLiteral("10"));
  edBArrow->setText(QStringLiteral("100"));
  edAmount->setText(QStringLiteral("2"));
  edLArrow->setText(QStringLiteral("10"));
}
