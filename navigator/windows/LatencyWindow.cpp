#include "navigator/windows/LatencyWindow.h"

#include "platform/Abort.h"
#include "platform/IniFile.h"
#include "platform/Paths.h"

#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QVBoxLayout>
#include <optional>

namespace {

constexpr int defaultTolerance = 500;

std::optional<int> integerOf(const QString &text) {
  bool ok = false;
  const int value = text.trimmed().toInt(&ok);
  return ok ? std::optional<int>(value) : std::nullopt;
}

} // namespace

TfLatency::TfLatency(QWidget *owner, NavigatorWindows &windows)
    : QWidget(owner, Qt::Window), Windows(windows) {
  setObjectName(QStringLiteral("fLatency"));
  setWindowTitle(QStringLiteral("Latency"));
  setWindowFlags(Qt::Tool | Qt::WindowStaysOnTopHint | Qt::CustomizeWindowHint |
                 Qt::WindowTitleHint | Qt::WindowCloseButtonHint);
  setFont(QFont(QStringLiteral("Tahoma")));
  auto *column = new QVBoxLayout(this);
  column->setContentsMargins(2, 2, 2, 2);
  gLatency = new QGroupBox(QStringLiteral("Latency (milisecond)"), this);
  gLatency->setObjectName(QStringLiteral("gLatency"));
  gLatency->setAutoFillBackground(true);
  column->addWidget(gLatency);
  auto *row = new QHBoxLayout(gLatency);
  row->setContentsMargins(4, 2, 4, 4);
  const auto edit = [this, row](const char *name, const char *caption, bool enabled) {
    auto *cell = new QVBoxLayout;
    cell->setSpacing(0);
    cell->addWidget(new QLabel(QString::fromLatin1(caption), gLatency));
    auto *field = new QLineEdit(gLatency);
    field->setObjectName(QString::fromLatin1(name));
    field->setEnabled(enabled);
    field->setFixedWidth(56);
    cell->addWidget(field);
    row->addLayout(cell);
    return field;
  };
  eCurrentLatency = edit("eCurrentLatency", "Current", false);
  eLatencyAveraged = edit("eLatencyAveraged", "Averaged", false);
  eLatencyTol = edit("eLatencyTol", "Tolerence", true);
  eLatencyTol->setText(QStringLiteral("500"));
  resize(205, 63);

  FormCreate(this);
  // Bound after the stored tolerance is in, so that putting it there writes nothing back.
  connect(eLatencyTol, &QLineEdit::textChanged, this,
          platform::guarded([this] { eLatencyTolChange(eLatencyTol); }));
  connect(eCurrentLatency, &QLineEdit::textChanged, this,
          platform::guarded([this] { eCurrentLatencyChange(eCurrentLatency); }));
}

void TfLatency::FormCreate(QObject *) {
  const platform::IniFile ini(platform::SettingsFilePath());
  eLatencyTol->setText(QString::number(ini.ReadInteger("LATENCY", "eLatencyTol", 500)));
}

void TfLatency::eLatencyTolChange(QObject *) {
  platform::IniFile(platform::SettingsFilePath())
      .WriteString("LATENCY", "eLatencyTol", eLatencyTol->text());
}

int TfLatency::Tolerance() const {
  return integerOf(eLatencyTol->text()).value_or(defaultTolerance);
}

void TfLatency::eCurrentLatencyChange(QObject *) {
  // The map timer writes this twice a second: a box per tick for a half-typed tolerance would
  // bury the window, so such a tolerance counts as the default.
  const std::optional<int> current = integerOf(eCurrentLatency->text());
  if (!current)
    return;
  latencyColor_ = *current < Tolerance() ? clLime : clRed;
  QPalette palette = gLatency->palette();
  palette.setColor(QPalette::Window, platform::toQColor(latencyColor_));
  gLatency->setPalette(palette);
}
