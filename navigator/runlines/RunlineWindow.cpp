#include "navigator/runlines/RunlineWindow.h"

#include "canvas/TarvikCanvas.h"
#include "navigator/acquisition/SurveyDay.h"
#include "navigator/runlines/RunlineModel.h"
#include "navigator/shared/FormPlacement.h"
#include "navigator/shared/MainWindowServices.h"
#include "platform/CodePage.h"
#include "platform/Dialogs.h"
#include "platform/IniFile.h"
#include "platform/Paths.h"

#include <QFormLayout>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QShowEvent>
#include <QVBoxLayout>

namespace {
const char *const kSection = "RUNLINE";
const QString kRouteLayer = QStringLiteral("Tarvik_Route");
const QString kRunlineLayer = QStringLiteral("Tarvik_Runlines");
} // namespace

TfRunline1::TfRunline1(QWidget *owner, NavigatorWindows &windows)
    : QWidget(owner, Qt::Tool), Windows(windows) {
  setObjectName(QStringLiteral("fRunline1"));
  setWindowTitle(QStringLiteral("Runline Generator"));
  setWindowFlag(Qt::WindowStaysOnTopHint);
  resize(260, 330);

  auto *layout = new QVBoxLayout(this);
  auto *step1 = new QGroupBox(QStringLiteral("Step 1: Draw Route"), this);
  auto *l1 = new QVBoxLayout(step1);
  lRouteStatus = new QLabel(QStringLiteral("No route drawn"), step1);
  lRouteStatus->setObjectName(QStringLiteral("lRouteStatus"));
  bDrawRoute = new QPushButton(QStringLiteral("Draw Route"), step1);
  bDrawRoute->setObjectName(QStringLiteral("bDrawRoute"));
  l1->addWidget(lRouteStatus);
  l1->addWidget(bDrawRoute);

  auto *step2 = new QGroupBox(QStringLiteral("Step 2: Spacing (meters)"), this);
  auto *l2 = new QFormLayout(step2);
  eSpacing = new QLineEdit(QStringLiteral("10"), step2);
  eSpacing->setObjectName(QStringLiteral("eSpacing"));
  eLength = new QLineEdit(QStringLiteral("100"), step2);
  eLength->setObjectName(QStringLiteral("eLength"));
  l2->addRow(QStringLiteral("Spacing"), eSpacing);
  l2->addRow(QStringLiteral("Length"), eLength);

  auto *step3 = new QGroupBox(QStringLiteral("Step 3: Line Type"), this);
  auto *l3 = new QVBoxLayout(step3);
  rbPerpendicular = new QRadioButton(QStringLiteral("Perpendicular"), step3);
  rbPerpendicular->setObjectName(QStringLiteral("rbPerpendicular"));
  rbPerpendicular->setChecked(true);
  rbParallel = new QRadioButton(QStringLiteral("Parallel"), step3);
  rbParallel->setObjectName(QStringLiteral("rbParallel"));
  l3->addWidget(rbPerpendicular);
  l3->addWidget(rbParallel);

  auto *actions = new QGroupBox(QStringLiteral("Actions"), this);
  auto *l4 = new QHBoxLayout(actions);
  bGenerate = new QPushButton(QStringLiteral("Generate"), actions);
  bGenerate->setObjectName(QStringLiteral("bGenerate"));
  bGenerate->setStyleSheet(QStringLiteral("color: #008000; font-weight: bold;"));
  bClear = new QPushButton(QStringLiteral("Clear"), actions);
  bClear->setObjectName(QStringLiteral("bClear"));
  bClose = new QPushButton(QStringLiteral("Close"), actions);
  bClose->setObjectName(QStringLiteral("bClose"));
  l4->addWidget(bGenerate);
  l4->addWidget(bClear);
  l4->addWidget(bClose);

  for (QWidget *w : {static_cast<QWidget *>(step1), static_cast<QWidget *>(step2),
                     static_cast<QWidget *>(step3), static_cast<QWidget *>(actions)})
    layout->addWidget(w);

  FormCreate(this);

  // Bound after the settings are read, so reading them generates nothing.
  connect(bDrawRoute, &QPushButton::clicked, this, [this] { bDrawRouteClick(bDrawRoute); });
  connect(eSpacing, &QLineEdit::textChanged, this, [this] { eSpacingChange(eSpacing); });
  connect(eLength, &QLineEdit::textChanged, this, [this] { eLengthChange(eLength); });
  connect(rbPerpendicular, &QRadioButton::clicked, this,
          [this] { rbPerpendicularClick(rbPerpendicular); });
  connect(rbParallel, &QRadioButton::clicked, this, [this] { rbParallelClick(rbParallel); });
  connect(bGenerate, &QPushButton::clicked, this, [this] { bGenerateClick(bGenerate); });
  connect(bClear, &QPushButton::clicked, this, [this] { bClearClick(bClear); });
  connect(bClose, &QPushButton::clicked, this, [this] { close(); });
}

TTarvikCanvas *TfRunline1::canvas() const {
  return Windows.Main ? Windows.Main->planCanvas() : nullptr;
}

void TfRunline1::setStatus(const QString &text, unsigned bgr) {
  lRouteStatus->setText(text);
  const QColor c(bgr & 0xFF, (bgr >> 8) & 0xFF, (bgr >> 16) & 0xFF);
  lRouteStatus->setStyleSheet(QStringLiteral("color: %1;").arg(c.name()));
}

void TfRunline1::FormCreate(QObject *) {
  const platform::IniFile ini(platform::SettingsFilePath());
  eSpacing->setText(ini.ReadString(kSection, "Spacing", QStringLiteral("10")));
  eLength->setText(ini.ReadString(kSection, "Length", QStringLiteral("100")));
  const bool perpendicular = ini.ReadBool(kSection, "Perpendicular", true);
  rbPerpendicular->setChecked(perpendicular);
  rbParallel->setChecked(!perpendicular);
  RouteReady = false;
  setStatus(QStringLiteral("No route drawn"), 0x808080);
}

void TfRunline1::FormShow(QObject *) { RestoreFormPlacement(this, 0); }

void TfRunline1::showEvent(QShowEvent *event) {
  QWidget::showEvent(event);
  if (!event->spontaneous())
    FormShow(this);
}

void TfRunline1::bDrawRouteClick(QObject *) {
  ClearRunlineLayer();
  RoutePoints.clear();
  RouteReady = false;
  TTarvikCanvas *fcad = canvas();
  if (!fcad)
    return;
  int layer = fcad->LayerFindByName(kRouteLayer);
  if (layer >= 0)
    fcad->CadClearShapes(layer);
  else
    layer = fcad->LayerOpen(kRouteLayer);
  fcad->CurrentLayer = layer;
  fcad->DrawMode = 5;
  fcad->KeepDrawMode = false;
  setStatus(QStringLiteral("Drawing... (right-click to finish)"), 0xFF0000);
  fcad->Refresh();
}

void TfRunline1::showRouteStatus() {
  setStatus(QStringLiteral("Route: ") + QString::number(RoutePoints.size()) +
                QStringLiteral(" points"),
            0x008000);
}

void TfRunline1::AcceptRoutePolyline(const TPointPairVector &points) {
  RoutePoints = points;
  RouteReady = points.size() > 1;
  showRouteStatus();
  GenerateRunlines();
}

void TfRunline1::eSpacingChange(QObject *) {
  if (RouteReady)
    GenerateRunlines();
}
void TfRunline1::eLengthChange(QObject *) {
  if (RouteReady)
    GenerateRunlines();
}
void TfRunline1::rbPerpendicularClick(QObject *) {
  if (RouteReady)
    GenerateRunlines();
}
void TfRunline1::rbParallelClick(QObject *) {
  if (RouteReady)
    GenerateRunlines();
}

void TfRunline1::bGenerateClick(QObject *) {
  if (!RouteReady) {
    platform::ShowMessage(QStringLiteral("Please draw a route first."));
    return;
  }
  GenerateRunlines();
  platform::IniFile ini(platform::SettingsFilePath());
  ini.WriteString(kSection, "Spacing", eSpacing->text());
  ini.WriteString(kSection, "Length", eLength->text());
  ini.WriteBool(kSection, "Perpendicular", rbPerpendicular->isChecked());
}

void TfRunline1::bClearClick(QObject *) {
  ClearRunlineLayer();
  RoutePoints.clear();
  RouteReady = false;
  setStatus(QStringLiteral("No route drawn"), 0x808080);
}

void TfRunline1::ClearRunlineLayer() {
  linesFor_.clear();
  TTarvikCanvas *fcad = canvas();
  if (RunlineLayer == -1 || !fcad)
    return;
  fcad->CadClearShapes(RunlineLayer);
  fcad->Refresh();
}

void TfRunline1::GenerateRunlines() {
  if (RoutePoints.size() < 2)
    return;
  const runline::Params params =
      runline::ParamsFromTexts(eSpacing->text(), eLength->text(), rbPerpendicular->isChecked());
  TTarvikCanvas *fcad = canvas();
  if (!fcad)
    return;
  RunlineLayer = fcad->LayerFindByName(kRunlineLayer);
  if (RunlineLayer < 0)
    RunlineLayer = fcad->LayerOpen(kRunlineLayer);
  const runline::Result r = runline::Generate(RoutePoints, params);
  // A refusal keeps the lines this route already has; a new route gets its copy at least.
  if (!r.Refused || linesFor_ != RoutePoints) {
    fcad->CadClearShapes(RunlineLayer);
    for (const TPointPairVector &line : r.Polylines)
      fcad->DrawPolyline(line, RunlineLayer, false);
    linesFor_ = RoutePoints;
    fcad->Refresh();
  }
  if (r.Refused) {
    refuse(r, params);
    return;
  }
  // Only lines that were made are logged: a refused value, typed key by key, leaves no record.
  AppendAutoEvent(platform::toWindows1254(QStringLiteral("Runlines generated - Spacing: ") +
                                          eSpacing->text() + QStringLiteral(", Length: ") +
                                          eLength->text()),
                  EventLogPath());
  refusing_ = false;
  showRouteStatus();
}

void TfRunline1::refuse(const runline::Result &r, const runline::Params &params) {
  setStatus(QStringLiteral("Too many run lines (%1); the lines drawn before stay").arg(r.Requested),
            0x0000FF);
  if (refusing_ || boxedFor_ == params)
    return;
  refusing_ = true;
  boxedFor_ = params;
  platform::ShowMessage(QStringLiteral("Too many run lines (%1); at most %2 are drawn at once. "
                                       "Enlarge the spacing or shorten the length.")
                            .arg(r.Requested)
                            .arg(runline::MaxLines));
}
