#include "navigator/windows/OffsetsWindow.h"

#include "navigator/acquisition/SurveyDay.h"
#include "navigator/corrections/NtripSettingsWindow.h"
#include "navigator/shared/FirstPlacement.h"
#include "navigator/shared/FormPlacement.h"
#include "navigator/shared/MainWindowServices.h"
#include "navigator/soundvelocity/SoundVelocityWindow.h"
#include "platform/Abort.h"
#include "platform/CloseQuery.h"
#include "platform/CodePage.h"
#include "platform/Convert.h"
#include "platform/Dialogs.h"
#include "platform/IniFile.h"
#include "platform/Paths.h"
#include "platform/WholeRecord.h"

#include <QCheckBox>
#include <QCloseEvent>
#include <QFocusEvent>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QMainWindow>
#include <QPainter>
#include <QPushButton>
#include <QTimer>
#include <QToolButton>
#include <QVBoxLayout>

namespace {

const char *const section = "ECHOSOUNDER_OFFSETS";

// Gives a window shown modally its ordinary modality back when it is hidden, then goes.
class ModalUntilHidden : public QObject {
public:
  explicit ModalUntilHidden(QWidget *window) : QObject(window) {}

protected:
  bool eventFilter(QObject *watched, QEvent *event) override {
    if (event->type() == QEvent::Hide && watched == parent()) {
      auto *window = static_cast<QWidget *>(watched);
      window->setWindowModality(Qt::NonModal);
      window->removeEventFilter(this);
      deleteLater();
    }
    return false;
  }
};

// The boat seen from the side with the three measured offsets: the transducer's draft A, the
// distance B from the transducer up to the antenna and the antenna's height C above the water.
class OffsetsSketch : public QWidget {
public:
  explicit OffsetsSketch(QWidget *parent) : QWidget(parent) { setMinimumHeight(200); }

protected:
  void paintEvent(QPaintEvent *) override {
    QPainter p(this);
    p.setRenderHint(QPainter::Antialiasing);
    const int w = width(), h = height();
    const int water = h / 2;
    p.fillRect(0, water, w, h - water, QColor(0xCC, 0xE5, 0xFF));
    p.setPen(QPen(QColor(0x33, 0x66, 0x99), 1));
    p.drawLine(0, water, w, water);
    // Hull and cabin.
    QPolygon hull;
    const int left = w / 4, right = w * 3 / 4;
    hull << QPoint(left, water - 25) << QPoint(right + 30, water - 25) << QPoint(right, water + 20)
         << QPoint(left + 10, water + 20);
    p.setBrush(QColor(0xF0, 0xF0, 0xF0));
    p.setPen(QPen(Qt::black, 1));
    p.drawPolygon(hull);
    p.drawRect(left + 20, water - 55, 60, 30);
    // Antenna mast at the transducer's vertical.
    const int mast = left + 50;
    const int antenna = water - 85;
    const int transducer = water + 35;
    p.drawLine(mast, water - 55, mast, antenna);
    p.setBrush(Qt::black);
    p.drawEllipse(QPoint(mast, antenna), 4, 4);
    p.drawRect(mast - 5, water + 20, 10, transducer - water - 20);
    // The three measures, each an arrow with its letter.
    const auto measure = [&p](int x, int y1, int y2, const QString &name) {
      p.setPen(QPen(Qt::red, 1));
      p.drawLine(x, y1, x, y2);
      p.drawLine(x - 4, y1, x + 4, y1);
      p.drawLine(x - 4, y2, x + 4, y2);
      p.drawText(QRect(x + 6, (y1 + y2) / 2 - 8, 20, 16), Qt::AlignLeft | Qt::AlignVCenter, name);
    };
    measure(mast - 30, water, transducer, QStringLiteral("A"));
    measure(mast + 60 + 60, antenna, transducer, QStringLiteral("B"));
    measure(mast + 60, antenna, water, QStringLiteral("C"));
  }
};

QLineEdit *makeEdit(QWidget *parent, const char *name) {
  auto *edit = new QLineEdit(parent);
  edit->setObjectName(QString::fromLatin1(name));
  return edit;
}

QString readAnsi(const platform::IniFile &ini, const char *key) {
  return platform::fromAnsi(ini.ReadString(section, key, ""));
}

} // namespace

TOffsets::TOffsets(QWidget *owner, NavigatorWindows &windows)
    : QWidget(owner, Qt::Dialog | Qt::WindowSystemMenuHint | Qt::WindowCloseButtonHint |
                         Qt::WindowStaysOnTopHint),
      Windows(windows) {
  setObjectName(QStringLiteral("Offsets"));
  setWindowTitle(QStringLiteral("Offsets Essential for Post Processing / Recovery"));
  QFont tahoma(QStringLiteral("Tahoma"));
  tahoma.setPixelSize(11);
  setFont(tahoma);

  OffsetA = makeEdit(this, "OffsetA");
  OffsetB = makeEdit(this, "OffsetB");
  OffsetC = makeEdit(this, "OffsetC");
  SV = makeEdit(this, "SV");
  TideHt = makeEdit(this, "TideHt");
  Location = makeEdit(this, "Location");
  SurveyBoat = makeEdit(this, "SurveyBoat");
  Surveyor = makeEdit(this, "Surveyor");
  time = new QLabel(this);
  time->setObjectName(QStringLiteral("time"));

  auto *numbers = new QGridLayout;
  numbers->setHorizontalSpacing(6);
  numbers->setVerticalSpacing(3);
  const struct {
    const char *label;
    QLineEdit *edit;
    const char *unit;
  } numberRows[] = {{"A", OffsetA, "m"},
                    {"B", OffsetB, "m"},
                    {"C", OffsetC, "m"},
                    {"SV", SV, "m/s"},
                    {"Tide Ht", TideHt, "m"}};
  int row = 0;
  for (const auto &r : numberRows) {
    numbers->addWidget(new QLabel(QString::fromLatin1(r.label), this), row, 0);
    r.edit->setFixedWidth(80);
    numbers->addWidget(r.edit, row, 1);
    numbers->addWidget(new QLabel(QString::fromLatin1(r.unit), this), row, 2);
    ++row;
  }

  auto *names = new QGridLayout;
  names->setHorizontalSpacing(6);
  names->setVerticalSpacing(3);
  const struct {
    const char *label;
    QLineEdit *edit;
  } nameRows[] = {{"Location", Location}, {"Vessel", SurveyBoat}, {"Surveyor", Surveyor}};
  row = 0;
  for (const auto &r : nameRows) {
    names->addWidget(new QLabel(QString::fromLatin1(r.label), this), row, 0);
    names->addWidget(r.edit, row, 1);
    ++row;
  }
  names->addWidget(new QLabel(QStringLiteral("Date and Time (UTC)"), this), row++, 0, 1, 2);
  names->addWidget(time, row++, 0, 1, 2);
  names->setRowStretch(row, 1);

  auto *fields = new QHBoxLayout;
  fields->addLayout(numbers);
  fields->addSpacing(12);
  fields->addLayout(names, 1);

  bSVP = new QPushButton(QStringLiteral("Sound Velocity Profile"), this);
  bSVP->setObjectName(QStringLiteral("bSVP"));
  BitBtn1 = new QPushButton(QStringLiteral("Realtime"), this);
  BitBtn1->setObjectName(QStringLiteral("BitBtn1"));
  bNTRIPShow = new QPushButton(QStringLiteral("NTRIP Client"), this);
  bNTRIPShow->setObjectName(QStringLiteral("bNTRIPShow"));
  BitBtn3 = new QPushButton(QStringLiteral("Cancel"), this);
  BitBtn3->setObjectName(QStringLiteral("BitBtn3"));
  auto *buttons = new QHBoxLayout;
  buttons->addWidget(bSVP);
  buttons->addWidget(bNTRIPShow);
  buttons->addStretch(1);
  buttons->addWidget(BitBtn1);
  buttons->addWidget(BitBtn3);

  // The sketch lies below the window's first height, hidden until a double click uncovers it.
  pSketch = new QWidget(this);
  pSketch->setObjectName(QStringLiteral("pSketch"));
  auto *sketchLayout = new QVBoxLayout(pSketch);
  sketchLayout->setContentsMargins(0, 0, 0, 0);
  Image1 = new OffsetsSketch(pSketch);
  Image1->setObjectName(QStringLiteral("Image1"));
  sketchLayout->addWidget(Image1);

  auto *column = new QVBoxLayout(this);
  column->setContentsMargins(8, 8, 8, 8);
  column->addLayout(fields);
  column->addLayout(buttons);
  column->addWidget(pSketch, 1);
  column->setSizeConstraint(QLayout::SetNoConstraint);
  pSketch->setMinimumHeight(0);
  Image1->setMinimumHeight(0);
  pSketch->hide();
  resize(489, 185);

  Timer1 = new QTimer(this);
  Timer1->setInterval(1000);
  connect(Timer1, &QTimer::timeout, this, platform::guarded([this] { Timer1Timer(this); }));
  Timer1->start();
  Timer1Timer(this);

  connect(BitBtn1, &QPushButton::clicked, this, platform::guarded([this] { BitBtn1Click(this); }));
  connect(BitBtn3, &QPushButton::clicked, this, platform::guarded([this] { BitBtn3Click(this); }));
  connect(bSVP, &QPushButton::clicked, this, platform::guarded([this] { bSVPClick(this); }));
  connect(bNTRIPShow, &QPushButton::clicked, this,
          platform::guarded([this] { bNTRIPShowClick(this); }));
  for (QLineEdit *e : {OffsetA, OffsetB, OffsetC, SV, TideHt})
    e->installEventFilter(this);
}

TOffsetTexts TOffsets::texts() const {
  return {OffsetA->text(),  OffsetB->text(),    OffsetC->text(),  SV->text(),  TideHt->text(),
          Location->text(), SurveyBoat->text(), Surveyor->text(), time->text()};
}

QLineEdit *TOffsets::edit(TOffsetField field) const {
  switch (field) {
  case TOffsetField::OffsetA:
    return OffsetA;
  case TOffsetField::OffsetB:
    return OffsetB;
  case TOffsetField::OffsetC:
    return OffsetC;
  case TOffsetField::SV:
    return SV;
  case TOffsetField::TideHt:
    return TideHt;
  case TOffsetField::Location:
    return Location;
  case TOffsetField::SurveyBoat:
    return SurveyBoat;
  case TOffsetField::Surveyor:
    return Surveyor;
  }
  return OffsetA;
}

bool TOffsets::turkish() const { return Windows.Main && Windows.Main->turkishMessages(); }

void TOffsets::FormShow(QObject *) {
  try {
    const platform::IniFile ini(platform::SettingsFilePath());
    const struct {
      const char *key;
      QLineEdit *edit;
    } keys[] = {{"Offset A", OffsetA},
                {"Offset B", OffsetB},
                {"Offset C", OffsetC},
                {"Tide Height", TideHt},
                {"SV", SV},
                {"Surveyor", Surveyor},
                {"SurveyBoat", SurveyBoat},
                {"SurveyLocation", Location}};
    for (const auto &k : keys)
      k.edit->setText(readAnsi(ini, k.key));
  } catch (...) {
    // A damaged settings file leaves the remaining edits as they were.
  }
  if (!navplace::placeWhenNoneStored(this, Windows))
    RestoreFormPlacement(this, 0);
}

void TOffsets::BitBtn1Click(QObject *) {
  const bool tr = turkish();
  if (Windows.Main)
    Windows.Main->saveCommand(Windows.Main->mainWindow());
  if (const auto warning = OffsetsTimeFormatWarning(time->text(), tr))
    platform::ShowMessage(*warning);
  CreateSurveyFolders();

  const TOffsetTexts values = texts();
  if (const auto refusal = CheckOffsets(values, tr)) {
    platform::ShowMessage(refusal->Message);
    edit(refusal->Field)->setFocus();
    platform::Abort();
  }

  const bool profileUsed =
      Windows.fSVP && Windows.fSVP->cUseSVP && Windows.fSVP->cUseSVP->isChecked();
  const std::string logPath = SurveyDay().LogFolder + SessionDateString() + " Offsets.log";
  // Whole or not at all, like every day file, and never into a pipe that would hold the window.
  const platform::AppendOutcome outcome = platform::appendWholeRecord(
      logPath, std::string_view(), OffsetsLogBlock(values, tr, profileUsed));
  if (!outcome) {
    // The values still reach the settings file and the survey starts: the surveyor is told
    // that this day's offsets log misses them.
    const QString verb = outcome.kind == platform::AppendOutcome::NotWritten
                             ? QStringLiteral("Cannot write the offsets log ")
                             : QStringLiteral("Cannot open the offsets log ");
    platform::MessageDlg(verb + platform::pathText(logPath) + QStringLiteral(": ") +
                             QString::fromStdString(outcome.reason()) + QStringLiteral("."),
                         mtError, mbOK);
  }

  platform::IniFile ini(platform::SettingsFilePath());
  const struct {
    const char *key;
    QString value;
  } stored[] = {{"Offset A     ", values.OffsetA},  {"Offset B     ", values.OffsetB},
                {"Offset C     ", values.OffsetC},  {"SV           ", values.SV},
                {"Tide Height  ", values.TideHt},   {"Time         ", values.Time},
                {"Surveyor     ", values.Surveyor}, {"SurveyBoat   ", values.SurveyBoat},
                {"SurveyLocation", values.Location}};
  for (const auto &s : stored)
    ini.WriteString(section, s.key, platform::toAnsi(s.value));

  // A click from code leaves the button as it is; the GPS port's connect handler presses it.
  if (Windows.Main)
    Windows.Main->startAcquisition();
  SaveFormPlacement(this);
  hide();
}

void TOffsets::BitBtn3Click(QObject *) {
  SaveFormPlacement(this);
  hide();
}

void TOffsets::FormCloseQuery(QObject *, bool &CanClose) {
  RestoreFormPlacement(this, 0);
  CanClose = true;
}

void TOffsets::FormDblClick(QObject *) {
  pSketch->show();
  resize(width(), 410);
}

void TOffsets::bSVPClick(QObject *) {
  if (Windows.fSVP)
    Windows.fSVP->show();
}

void TOffsets::bNTRIPShowClick(QObject *) {
  QWidget *ntrip = Windows.frmNTRIPSettings;
  if (!ntrip)
    return;
  // Already open (from the main window's menu): bring it forward as it is.
  if (ntrip->isVisible()) {
    ntrip->raise();
    ntrip->activateWindow();
    return;
  }
  // Modal for this showing only: the window lives on hidden and is shown again from the main
  // window's menu, where it must not block the others.
  ntrip->setWindowModality(Qt::ApplicationModal);
  ntrip->installEventFilter(new ModalUntilHidden(ntrip));
  ntrip->show();
}

void TOffsets::Timer1Timer(QObject *) {
  time->setText(QString::fromStdString(platform::DateTimeToStr(platform::Now())));
}

void TOffsets::NumberEditExit(QLineEdit *edit) {
  try {
    platform::StrToFloat(edit->text());
  } catch (const platform::EConvertError &error) {
    platform::ShowMessage(QString::fromStdString(error.what()));
    edit->setFocus();
  }
}

void TOffsets::showEvent(QShowEvent *event) {
  QWidget::showEvent(event);
  platform::guarded([this] { FormShow(this); })();
}

void TOffsets::closeEvent(QCloseEvent *event) {
  platform::closeQuery(event, [this](bool &canClose) { FormCloseQuery(this, canClose); });
}

void TOffsets::mouseDoubleClickEvent(QMouseEvent *event) {
  QWidget::mouseDoubleClickEvent(event);
  platform::guarded([this] { FormDblClick(this); })();
}

bool TOffsets::eventFilter(QObject *watched, QEvent *event) {
  if (event->type() == QEvent::FocusOut) {
    // Focus that moves to another window (or to the message box this check opens) is not the
    // surveyor leaving the edit.
    const auto reason = static_cast<QFocusEvent *>(event)->reason();
    if (reason != Qt::ActiveWindowFocusReason && reason != Qt::PopupFocusReason)
      if (auto *e = qobject_cast<QLineEdit *>(watched))
        platform::guarded([this, e] { NumberEditExit(e); })();
  }
  return QWidget::eventFilter(watched, event);
}
