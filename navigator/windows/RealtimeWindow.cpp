#include "navigator/windows/RealtimeWindow.h"

#include "navigator/acquisition/SbesMessageTypes.h"
#include "navigator/acquisition/SurveyDay.h"
#include "navigator/settings/NavigationSettingsWindow.h"
#include "navigator/settings/SensorSettingsWindow.h"
#include "navigator/shared/CommandIcons.h"
#include "navigator/shared/FirstPlacement.h"
#include "navigator/shared/FormPlacement.h"
#include "navigator/shared/MainWindowServices.h"
#include "navigator/windows/EchogramWindow.h"
#include "navigator/windows/OffsetsWindow.h"
#include "platform/Abort.h"
#include "platform/Convert.h"
#include "platform/FormatSettings.h"
#include "platform/GdiCanvas.h"
#include "platform/Paths.h"
#include "positioning/TarvikSerialGPS.h"

#include <QDesktopServices>
#include <QDir>
#include <QGridLayout>
#include <QGroupBox>
#include <QLabel>
#include <QMenuBar>
#include <QShowEvent>
#include <QTimer>
#include <QToolBar>
#include <QToolButton>
#include <QUrl>
#include <QVBoxLayout>

namespace {

constexpr int heightWithLowFreq = 387;
constexpr int heightWithoutLowFreq = 289;
constexpr int frameSpacing = 3;

QFont uiFont(int pixels, bool bold = false) {
  QFont font(QStringLiteral("Segoe UI"));
  font.setPixelSize(pixels);
  font.setBold(bold);
  return font;
}

QLabel *valueLabel(QWidget *parent, const char *name, const QColor &color, int pixels, bool bold) {
  auto *label = new QLabel(QStringLiteral("---"), parent);
  label->setObjectName(QString::fromLatin1(name));
  label->setFont(uiFont(pixels, bold));
  QPalette palette = label->palette();
  palette.setColor(QPalette::WindowText, color);
  label->setPalette(palette);
  return label;
}

QGroupBox *depthFrame(QWidget *parent, const char *name, const char *caption, const QColor &color,
                      const char *labelName, QLabel *&label) {
  auto *frame = new QGroupBox(QString::fromLatin1(caption), parent);
  frame->setObjectName(QString::fromLatin1(name));
  TfRealtime::SetBoxColor(frame, color);
  auto *inside = new QVBoxLayout(frame);
  inside->setContentsMargins(2, 0, 2, 2);
  label = new QLabel(QStringLiteral("---"), frame);
  label->setObjectName(QString::fromLatin1(labelName));
  label->setAlignment(Qt::AlignCenter);
  QFont font(QStringLiteral("Consolas"));
  font.setStyleHint(QFont::Monospace);
  font.setPixelSize(52);
  font.setBold(true);
  label->setFont(font);
  inside->addWidget(label);
  // The frames share what the window's height leaves them, so no blank band stays below them.
  frame->setMinimumHeight(heightWithLowFreq - heightWithoutLowFreq - frameSpacing);
  return frame;
}

// The folder part of a path, with its separator; empty when there is none.
QString folderOf(const std::string &path) {
  const auto cut = path.find_last_of("/\\");
  return cut == std::string::npos ? QString() : platform::pathText(path.substr(0, cut + 1));
}

} // namespace

TfRealtime::TfRealtime(QWidget *owner, NavigatorWindows &windows)
    : QWidget(owner, Qt::Window), Windows(windows) {
  setObjectName(QStringLiteral("fRealtime"));
  setWindowTitle(QStringLiteral("Realtime Data"));
  setWindowFlags(Qt::Window | Qt::WindowStaysOnTopHint | Qt::CustomizeWindowHint |
                 Qt::WindowTitleHint | Qt::WindowCloseButtonHint |
                 Qt::MSWindowsFixedSizeDialogHint);
  setFont(uiFont(12));
  setAutoFillBackground(true);
  QPalette white = palette();
  white.setColor(QPalette::Window, Qt::white);
  setPalette(white);

  auto *column = new QVBoxLayout(this);
  column->setContentsMargins(3, 0, 3, 3);
  column->setSpacing(frameSpacing);

  ToolBar1 = new QToolBar(this);
  ToolBar1->setObjectName(QStringLiteral("ToolBar1"));
  ToolBar1->setIconSize(QSize(20, 20));
  const auto button = [this](const char *name, const char *hint, const char *picture,
                             void (TfRealtime::*handler)(QObject *)) {
    auto *b = new QToolButton(ToolBar1);
    b->setObjectName(QString::fromLatin1(name));
    b->setToolTip(QString::fromLatin1(hint));
    b->setIcon(navicons::icon(picture));
    b->setAutoRaise(true);
    ToolBar1->addWidget(b);
    connect(b, &QToolButton::clicked, this,
            platform::guarded([this, b, handler] { (this->*handler)(b); }));
    return b;
  };
  btHide = button("btHide", "Hide Window", "compact", &TfRealtime::btHideClick);
  ToolButton2 =
      button("ToolButton2", "Navigation Settings", "zoomin", &TfRealtime::ToolButton2Click);
  ToolButton3 = button("ToolButton3", "GPS Settings", "zoomout", &TfRealtime::ToolButton3Click);
  ToolBar1->addSeparator();
  btOpenLogFolder =
      button("btOpenLogFolder", "Open Log Folder", "folder", &TfRealtime::btOpenLogFolderClick);
  btShowOffsets =
      button("btShowOffsets", "Show Offsets", "offsets", &TfRealtime::btShowOffsetsClick);
  column->addWidget(ToolBar1);

  GPSGroupBox = new QGroupBox(QStringLiteral(" GPS Status "), this);
  GPSGroupBox->setObjectName(QStringLiteral("GPSGroupBox"));
  SetBoxColor(GPSGroupBox, Qt::white);
  auto *rows = new QGridLayout(GPSGroupBox);
  rows->setContentsMargins(6, 2, 6, 4);
  rows->setVerticalSpacing(2);
  Fixed = valueLabel(GPSGroupBox, "Fixed", QColor(0, 128, 0), 12, true);
  Speed = valueLabel(GPSGroupBox, "Speed", QColor(0, 0, 128), 19, true);
  SatelliteLabel = valueLabel(GPSGroupBox, "SatelliteLabel", Qt::black, 12, false);
  LAntennaH = valueLabel(GPSGroupBox, "LAntennaH", Qt::black, 12, false);
  LTideHt = valueLabel(GPSGroupBox, "LTideHt", QColor(0, 128, 128), 19, true);
  int row = 0;
  for (auto [caption, value] :
       {std::pair{"Fix Type", Fixed}, std::pair{"Speed", Speed},
        std::pair{"Satellites", SatelliteLabel}, std::pair{"Antenna Ht.", LAntennaH},
        std::pair{"Tide Ht.", LTideHt}}) {
    rows->addWidget(new QLabel(QString::fromLatin1(caption), GPSGroupBox), row, 0);
    rows->addWidget(value, row, 1);
    ++row;
  }
  rows->setColumnStretch(1, 1);
  column->addWidget(GPSGroupBox);

  DepthFrameHi = depthFrame(this, "DepthFrameHi", " Depth (High Freq.) ", QColor(0, 255, 0),
                            "lDepthHi", lDepthHi);
  column->addWidget(DepthFrameHi, 1);
  DepthFrameLo = depthFrame(this, "DepthFrameLo", " Depth (Low Freq.) ", QColor(255, 255, 0),
                            "lDepthLo", lDepthLo);
  column->addWidget(DepthFrameLo, 1);
  resize(192, 382);

  OpenFolder = [](const QString &folder) {
    QDesktopServices::openUrl(QUrl::fromLocalFile(folder));
  };

  Timer1 = new QTimer(this);
  Timer1->setSingleShot(true);
  Timer1->setInterval(10000);
  connect(Timer1, &QTimer::timeout, this, platform::guarded([this] { Timer1Timer(Timer1); }));
  Timer1->start();
}

void TfRealtime::SetBoxColor(QGroupBox *box, const QColor &color) {
  QPalette palette = box->palette();
  palette.setColor(QPalette::Window, color);
  box->setPalette(palette);
  box->setAutoFillBackground(true);
}

void TfRealtime::showEvent(QShowEvent *event) {
  QWidget::showEvent(event);
  if (!event->spontaneous())
    platform::guarded([this] { FormShow(this); })();
}

void TfRealtime::FormShow(QObject *) {
  if (!navplace::placeWhenNoneStored(this, Windows))
    RestoreFormPlacement(this, 0);
}

void TfRealtime::Timer1Timer(QObject *) {
  // Once per run: the message type chosen in the last session sets the scan format and the frames.
  Timer1->stop();
  if (Windows.FGPS)
    Windows.FGPS->cSBESMessageChange();
}

void TfRealtime::setHideImage(int index) {
  btHideImageIndex = index;
  btHide->setToolTip(index == 0 ? QStringLiteral("Hide Window") : QStringLiteral("Show Window"));
}

void TfRealtime::btHideClick(QObject *) {
  navigator::MainWindowServices *main = Windows.Main;
  if (!main)
    return;
  if (btHideImageIndex == 0) {
    main->setCompactDisplay(true);
    if (Windows.Navset)
      Windows.Navset->close();
    setHideImage(1);
    if (Windows.fCanvas)
      Windows.fCanvas->hide();
    hide();
  } else if (btHideImageIndex == 1) {
    show();
    main->setCompactDisplay(false);
    if (Windows.Navset)
      Windows.Navset->show();
    setHideImage(0);
    const TTarvikSerialGPS *sounder = main->sounderPort();
    const QTimer *echogram = main->echogramTimer();
    if (Windows.fCanvas && sounder && sounder->PortOpen && echogram && echogram->isActive())
      Windows.fCanvas->show();
  }
}

void TfRealtime::ToolButton2Click(QObject *) {
  if (Windows.Main)
    Windows.Main->zoomIn(this);
}

void TfRealtime::ToolButton3Click(QObject *) {
  if (Windows.Main)
    Windows.Main->zoomOut(this);
}

QString TfRealtime::LogFolderToOpen() const {
  QString folder;
  const TTarvikSerialGPS *gps = Windows.Main ? Windows.Main->gpsPort() : nullptr;
  if (gps && !gps->NmeaLogPath.empty())
    folder = folderOf(gps->NmeaLogPath);
  if (folder.isEmpty())
    folder = platform::pathText(SurveyDay().LogFolder);
  return folder;
}

void TfRealtime::btOpenLogFolderClick(QObject *) {
  const QString folder = LogFolderToOpen();
  if (!QDir(folder).exists())
    QDir().mkpath(folder);
  if (OpenFolder)
    OpenFolder(folder);
}

void TfRealtime::btShowOffsetsClick(QObject *) {
  if (Windows.Offsets)
    Windows.Offsets->show();
}

void TfRealtime::ShowLowFreqFrame() {
  if (!DepthFrameLo->isHidden())
    return;
  DepthFrameLo->show();
  SetClientHeight(heightWithLowFreq);
}

void TfRealtime::HideLowFreqFrame() {
  if (DepthFrameLo->isHidden())
    return;
  DepthFrameLo->hide();
  SetClientHeight(heightWithoutLowFreq);
}

void TfRealtime::ShowDepthFrames(const std::string &messageType) {
  const navigator::SbesMessageType *type = navigator::findSbesMessageType(messageType);
  const bool low = type && navigator::sbesCarriesLowFrequency(*type);
  if (!DepthFrameHi->isHidden() && DepthFrameLo->isHidden() == !low)
    return;
  DepthFrameHi->show();
  DepthFrameLo->setVisible(low);
  SetClientHeight(low ? heightWithLowFreq : heightWithoutLowFreq);
}

void TfRealtime::ShowDepths(const std::string &messageType, double trueDepthHi,
                            double trueDepthLo) {
  const navigator::SbesMessageType *type = navigator::findSbesMessageType(messageType);
  const auto text = [](bool carried, double depth) {
    return carried ? QString::fromStdString(platform::FloatToStrF(
                         depth, platform::ffFixed, 15, 2, platform::FormatSettings::navigation()))
                   : QStringLiteral("---");
  };
  lDepthHi->setText(text(!type || navigator::sbesCarriesHighFrequency(*type), trueDepthHi));
  lDepthLo->setText(text(type && navigator::sbesCarriesLowFrequency(*type), trueDepthLo));
}

void TfRealtime::SetClientHeight(int height) {
  // The layout takes in the frame's change only at its next pass, and until then its minimum
  // height, which includes a frame just hidden, would hold a shown window back.
  layout()->activate();
  resize(width(), height);
}
