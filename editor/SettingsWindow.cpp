#include "editor/SettingsWindow.h"

#include "editor/EditorWindows.h"
#include "editor/ProfileEditorWindow.h"
#include "platform/Abort.h"
#include "platform/CodePage.h"
#include "platform/Convert.h"
#include "platform/IniFile.h"
#include "platform/Paths.h"

#include <QComboBox>
#include <QFormLayout>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QPalette>
#include <QShowEvent>
#include <QSpinBox>
#include <QVBoxLayout>

namespace {

const std::string section = "ECHOGRAM";

std::string ansi(const QString &text) { return platform::toAnsi(text); }
QString fromAnsi(const std::string &text) { return platform::fromAnsi(text); }

} // namespace

TfSettings::TfSettings(QWidget *owner, EditorWindows &windows)
    : QWidget(owner, Qt::Tool), windows_(windows) {
  setObjectName(QStringLiteral("fSettings"));
  setWindowTitle(QStringLiteral("Settings"));
  auto *outer = new QVBoxLayout(this);
  GroupBox1 = new QGroupBox(QStringLiteral("Profile"), this);
  GroupBox1->setObjectName(QStringLiteral("GroupBox1"));
  outer->addWidget(GroupBox1);
  auto *form = new QVBoxLayout(GroupBox1);
  auto add = [&](const QString &label, QWidget *control) {
    auto *l = new QLabel(label, GroupBox1);
    l->setBuddy(control);
    form->addWidget(l);
    form->addWidget(control);
  };
  cFormatIdentifier = new QComboBox(GroupBox1);
  cFormatIdentifier->setObjectName(QStringLiteral("cFormatIdentifier"));
  cFormatIdentifier->setEditable(true);
  cFormatIdentifier->addItems({QStringLiteral("%lf %lf %lf"), QStringLiteral("%lf,%lf,%lf")});
  cFormatIdentifier->setEditText(QStringLiteral("%lf %lf %lf"));
  add(QStringLiteral("File Format Identifier"), cFormatIdentifier);
  sSmoothingFactor = new QSpinBox(GroupBox1);
  sSmoothingFactor->setObjectName(QStringLiteral("sSmoothingFactor"));
  sSmoothingFactor->setRange(1, 10);
  sSmoothingFactor->setValue(1);
  add(QStringLiteral("Smoothing Factor"), sSmoothingFactor);
  eSmoothingRange = new QLineEdit(QStringLiteral("5"), GroupBox1);
  eSmoothingRange->setObjectName(QStringLiteral("eSmoothingRange"));
  add(QStringLiteral("Max. Smooth. Dist."), eSmoothingRange);
  sLineThickness = new QSpinBox(GroupBox1);
  sLineThickness->setObjectName(QStringLiteral("sLineThickness"));
  sLineThickness->setRange(1, 3);
  sLineThickness->setValue(1);
  add(QStringLiteral("Line Thickness"), sLineThickness);
  cClolorConfig = new QComboBox(GroupBox1);
  cClolorConfig->setObjectName(QStringLiteral("cClolorConfig"));
  cClolorConfig->setEditable(true);
  cClolorConfig->addItems({QStringLiteral("TSD Default"), QStringLiteral("High Contrast Dark")});
  cClolorConfig->setEditText(QStringLiteral("TSD Default"));
  add(QStringLiteral("Color Configuration"), cClolorConfig);

  // Only the user's choices change the scheme; code that puts a text in fires nothing.
  connect(cClolorConfig, &QComboBox::activated, this,
          platform::guarded(this, &TfSettings::cClolorConfigChange));
  connect(cClolorConfig->lineEdit(), &QLineEdit::textEdited, this,
          platform::guarded(this, &TfSettings::cClolorConfigChange));
  connect(sLineThickness, &QSpinBox::valueChanged, this, [this] {
    if (windows_.fEditing)
      windows_.fEditing->invalidateProfile();
  });
}

void TfSettings::showEvent(QShowEvent *event) {
  QWidget::showEvent(event);
  if (!event->spontaneous())
    platform::guarded(this, &TfSettings::FormShow)();
}

void TfSettings::FormShow() {
  shown_ = true;
  const platform::IniFile ini(platform::SettingsFilePath());
  cFormatIdentifier->setEditText(
      fromAnsi(ini.ReadString(section, "cFormatIdentifier", "%lf %lf %lf")));
  // A spin edit shows the integer's text; out of its range the box limits it.
  sSmoothingFactor->setValue(ini.ReadInteger(section, "sSmoothingFactor", 1));
  sLineThickness->setValue(ini.ReadInteger(section, "sLineThickness", 1));
  cClolorConfig->setEditText(fromAnsi(ini.ReadString(section, "cClolorConfig", "TSD Default")));
  eSmoothingRange->setText(QString::fromStdString(platform::FloatToStrF(
      ini.ReadFloat(section, "eSmoothingRange", 5.0), platform::ffFixed, 15, 1)));
}

void TfSettings::cClolorConfigChange() {
  if (!windows_.fEditing)
    return;
  clGraph &g = windows_.fEditing->graph;
  if (cClolorConfig->currentText() == QStringLiteral("TSD Default")) {
    const clGraph defaults;
    g.backgroundColor = defaults.backgroundColor;
    g.dragLineColor = defaults.dragLineColor;
    g.lineColor = defaults.lineColor;
    g.selectionColor = defaults.selectionColor;
    g.selectedColor = defaults.selectedColor;
    g.limitLineColor = defaults.limitLineColor;
    g.textColor = defaults.textColor;
  } else {
    g.backgroundColor = RGB(0, 0, 0);
    g.lineColor = RGB(255, 0, 0);
    g.selectionColor = RGB(22, 22, 22);
    g.selectedColor = RGB(0, 255, 0);
    g.textColor = RGB(255, 255, 255);
  }
  windows_.fEditing->invalidateProfile();
}

void TfSettings::writeSettings() {
  platform::IniFile ini(platform::SettingsFilePath());
  ini.WriteString(section, "cFormatIdentifier", ansi(cFormatIdentifier->currentText()));
  ini.WriteString(section, "sSmoothingFactor", ansi(sSmoothingFactor->text()));
  ini.WriteString(section, "sLineThickness", ansi(sLineThickness->text()));
  ini.WriteString(section, "cClolorConfig", ansi(cClolorConfig->currentText()));
  ini.WriteString(section, "eSmoothingRange", ansi(eSmoothingRange->text()));
}
