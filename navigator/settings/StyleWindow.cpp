#include "navigator/settings/StyleWindow.h"

#include "canvas/TarvikCanvas.h"
#include "navigator/shared/MainWindowServices.h"
#include "platform/Abort.h"
#include "platform/CodePage.h"
#include "platform/Dialogs.h"
#include "platform/IniFile.h"
#include "platform/Paths.h"
#include "platform/Styles.h"

#include <QApplication>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QListWidget>
#include <QMainWindow>
#include <QPushButton>
#include <QScreen>
#include <QShowEvent>
#include <QVBoxLayout>

std::string ReadThemeStyle() {
  try {
    return platform::IniFile(platform::SettingsFilePath())
        .ReadString("APPLICATION", "ThemeStyle", "Light");
  } catch (...) {
    return "Light";
  }
}

bool TrySetStyle(const QString &name) {
  if (platform::ApplyStyle(name))
    return true;
  platform::MessageDlg(QStringLiteral("Style '") + name + QStringLiteral("' not found."), mtError,
                       mbOK);
  return false;
}

void ApplyThemeStyle(const std::string &name) {
  if (name != "Tarvik Sondrel - Default")
    TrySetStyle(platform::fromAnsi(name));
}

TfTheme::TfTheme(QWidget *owner, NavigatorWindows &windows)
    : QWidget(owner, Qt::Dialog | Qt::WindowStaysOnTopHint), Windows(windows) {
  setObjectName(QStringLiteral("fTheme"));
  setWindowTitle(QStringLiteral("Theme Selection"));
  resize(320, 420);

  auto *column = new QVBoxLayout(this);
  GroupBox1 = new QGroupBox(QStringLiteral("Select Theme"), this);
  GroupBox1->setObjectName(QStringLiteral("GroupBox1"));
  auto *groupColumn = new QVBoxLayout(GroupBox1);
  lbThemeList = new QListWidget(GroupBox1);
  lbThemeList->setObjectName(QStringLiteral("lbThemeList"));
  groupColumn->addWidget(lbThemeList, 1);
  lInfo = new QLabel(QStringLiteral("Available themes: 0. Select to preview."), GroupBox1);
  lInfo->setObjectName(QStringLiteral("lInfo"));
  groupColumn->addWidget(lInfo);
  column->addWidget(GroupBox1, 1);

  auto *buttons = new QHBoxLayout;
  buttons->addStretch();
  bSaveExit = new QPushButton(QStringLiteral("Save && Exit"), this);
  bSaveExit->setObjectName(QStringLiteral("bSaveExit"));
  bCancel = new QPushButton(QStringLiteral("Cancel"), this);
  bCancel->setObjectName(QStringLiteral("bCancel"));
  buttons->addWidget(bSaveExit);
  buttons->addWidget(bCancel);
  column->addLayout(buttons);

  connect(lbThemeList, &QListWidget::itemClicked, this,
          platform::guarded([this] { lbThemeListClick(lbThemeList); }));
  connect(bSaveExit, &QPushButton::clicked, this,
          platform::guarded([this] { bSaveExitClick(bSaveExit); }));
  connect(bCancel, &QPushButton::clicked, this,
          platform::guarded([this] { bCancelClick(bCancel); }));
}

void TfTheme::showEvent(QShowEvent *event) {
  QWidget::showEvent(event);
  if (event->spontaneous())
    return;
  const QWidget *main = Windows.Main ? Windows.Main->mainWindow() : nullptr;
  if (main && main->isVisible())
    move(main->frameGeometry().center() - QPoint(width() / 2, height() / 2));
  platform::guarded([this] { FormShow(this); })();
}

void TfTheme::FormShow(QObject *) {
  StyleAtShow = platform::ActiveStyleName();
  lbThemeList->clear();
  const QStringList names = platform::StyleNames();
  lbThemeList->addItems(names);
  lInfo->setText(QStringLiteral("Available themes: ") + QString::number(names.size()) +
                 QStringLiteral(". Select to preview."));
  const int at = static_cast<int>(names.indexOf(StyleAtShow));
  lbThemeList->setCurrentRow(at >= 0 ? at : 0);
}

void TfTheme::repaintCanvasBackground() {
  if (TTarvikCanvas *canvas = Windows.Main ? Windows.Main->planCanvas() : nullptr) {
    canvas->SetBackColor(platform::ActiveStylePanelColor());
    canvas->Refresh();
  }
}

void TfTheme::lbThemeListClick(QObject *) {
  try {
    if (const QListWidgetItem *item = lbThemeList->currentItem()) {
      TrySetStyle(item->text());
      repaintCanvasBackground();
    }
  } catch (...) {
  }
}

void TfTheme::bSaveExitClick(QObject *) {
  if (const QListWidgetItem *item = lbThemeList->currentItem())
    platform::IniFile(platform::SettingsFilePath())
        .WriteString("APPLICATION", "ThemeStyle", platform::toAnsi(item->text()));
  close();
}

void TfTheme::bCancelClick(QObject *) {
  try {
    TrySetStyle(StyleAtShow);
    repaintCanvasBackground();
  } catch (...) {
  }
  close();
}
