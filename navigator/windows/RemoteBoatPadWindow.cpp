#include "navigator/windows/RemoteBoatPadWindow.h"

#include "navigator/settings/SensorSettingsWindow.h"
#include "navigator/shared/FirstPlacement.h"
#include "navigator/shared/FormPlacement.h"
#include "navigator/shared/MainWindowServices.h"
#include "platform/Abort.h"
#include "positioning/TarvikSerialGPS.h"

#include <QComboBox>
#include <QGridLayout>
#include <QLabel>
#include <QPushButton>
#include <QShowEvent>
#include <QTimer>
#include <QVBoxLayout>
#include <cstdio>
#include <cstdlib>

std::string FormatThrustCommand(const std::string &motor, int level) {
  // Through a wider type: the magnitude of INT_MIN does not fit an int.
  const long long magnitude = std::llabs(static_cast<long long>(level));
  char digits[32];
  std::snprintf(digits, sizeof digits, "%03lld", magnitude);
  return "<" + motor + (level < 0 ? "-" : "+") + digits + ">\n";
}

TfJoystick::TfJoystick(QWidget *owner, NavigatorWindows &windows)
    : QWidget(owner, Qt::Window), Windows(windows) {
  setObjectName(QStringLiteral("fJoystick"));
  setWindowTitle(QStringLiteral("Battery"));
  setWindowFlags(Qt::Window | Qt::WindowStaysOnTopHint | Qt::CustomizeWindowHint |
                 Qt::WindowTitleHint);
  QFont font(QStringLiteral("Segoe UI"));
  font.setPixelSize(12);
  setFont(font);
  auto *column = new QVBoxLayout(this);
  column->setContentsMargins(0, 0, 0, 0);
  column->setSpacing(0);
  pBattery = new QLabel(this);
  pBattery->setObjectName(QStringLiteral("pBattery"));
  pBattery->setAlignment(Qt::AlignCenter);
  pBattery->setFrameShape(QFrame::Panel);
  pBattery->setFrameShadow(QFrame::Raised);
  pBattery->setFixedHeight(41);
  QFont bold(QStringLiteral("Segoe UI"));
  bold.setPixelSize(13);
  bold.setBold(true);
  pBattery->setFont(bold);
  column->addWidget(pBattery);

  Panel1 = new QWidget(this);
  Panel1->setObjectName(QStringLiteral("Panel1"));
  auto *grid = new QGridLayout(Panel1);
  grid->setContentsMargins(2, 2, 2, 2);
  grid->setSpacing(2);
  const auto padButton = [this, grid](QPushButton *&b, const char *name, const char *text, int row,
                                      int col, void (TfJoystick::*handler)(QObject *)) {
    b = new QPushButton(QString::fromUtf8(text), Panel1);
    b->setObjectName(QString::fromLatin1(name));
    b->setFixedSize(40, 40);
    grid->addWidget(b, row, col);
    if (handler)
      connect(b, &QPushButton::clicked, this,
              platform::guarded([this, b, handler] { (this->*handler)(b); }));
  };
  padButton(bUp, "bUp", "▲", 0, 1, &TfJoystick::bUpClick);
  padButton(bLeft, "bLeft", "◀", 1, 0, &TfJoystick::bLeftClick);
  padButton(BitBtn5, "BitBtn5", "■", 1, 1, &TfJoystick::BitBtn5Click);
  padButton(bRight, "bRight", "▶", 1, 2, &TfJoystick::bRightClick);
  padButton(BitBtn1, "BitBtn1", "◣", 2, 0, &TfJoystick::BitBtn1Click);
  padButton(bBottom, "bBottom", "▼", 2, 1, &TfJoystick::bBottomClick);
  padButton(BitBtn2, "BitBtn2", "◢", 2, 2, nullptr);
  Panel1->hide();
  column->addWidget(Panel1);
  resize(131, 42);

  Timer1 = new QTimer(this);
  Timer1->setInterval(1000);
  connect(Timer1, &QTimer::timeout, this, platform::guarded([this] { Timer1Timer(Timer1); }));
  Timer1->start();
}

void TfJoystick::send(const std::string &text) {
  if (TTarvikSerialGPS *gps = Windows.Main ? Windows.Main->gpsPort() : nullptr)
    gps->SendText(text);
}

void TfJoystick::bUpClick(QObject *) {
  ++ThrustA;
  ++ThrustB;
  send(FormatThrustCommand("A", ThrustA) + FormatThrustCommand("B", ThrustB));
}

void TfJoystick::bBottomClick(QObject *) {
  --ThrustA;
  --ThrustB;
  send(FormatThrustCommand("A", ThrustA) + FormatThrustCommand("B", ThrustB));
}

// The single-motor buttons send the level that held before their step.
void TfJoystick::bRightClick(QObject *) { send(FormatThrustCommand("B", ThrustB++)); }

void TfJoystick::bLeftClick(QObject *) { send(FormatThrustCommand("A", ThrustA++)); }

void TfJoystick::BitBtn1Click(QObject *) { send(FormatThrustCommand("A", ThrustA--)); }

void TfJoystick::BitBtn5Click(QObject *) {
  ThrustA = 1;
  ThrustB = 1;
  send("<A+000>\n<B+000>\n");
}

void TfJoystick::showEvent(QShowEvent *event) {
  QWidget::showEvent(event);
  if (!event->spontaneous())
    platform::guarded([this] {
      if (!navplace::placeWhenNoneStored(this, Windows))
        RestoreFormPlacement(this, 0);
    })();
}

void TfJoystick::Timer1Timer(QObject *) {
  if (!Windows.FGPS || !Windows.FGPS->cSBESMessage ||
      Windows.FGPS->cSBESMessage->currentText() != QStringLiteral("Tarvik SMT"))
    hide();
}
