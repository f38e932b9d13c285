#include "navigator/corrections/RtcmReportWindow.h"

#include "platform/Abort.h"
#include "platform/CodePage.h"
#include "positioning/RtcmReportFile.h"

#include <QFont>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QResizeEvent>

namespace {

QFont pixelFont(const QString &family, int pixels) {
  QFont font(family);
  font.setPixelSize(pixels);
  return font;
}

} // namespace

TfRTCMParsing::TfRTCMParsing(QWidget *owner) : QWidget(owner, Qt::Window) {
  setObjectName(QStringLiteral("fRTCMParsing"));
  setWindowTitle(QStringLiteral("RTCM Message Parser"));
  setFont(pixelFont(QStringLiteral("Segoe UI"), 12));
  resize(624, 441);

  MemoRTCM = new QPlainTextEdit(this);
  MemoRTCM->setObjectName(QStringLiteral("MemoRTCM"));
  MemoRTCM->setReadOnly(true);
  MemoRTCM->setLineWrapMode(QPlainTextEdit::NoWrap);
  MemoRTCM->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
  MemoRTCM->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
  MemoRTCM->setFont(pixelFont(QStringLiteral("Consolas"), 12));

  btnClear = new QPushButton(QStringLiteral("Clear"), this);
  btnClear->setObjectName(QStringLiteral("btnClear"));
  btnClose = new QPushButton(QStringLiteral("Save && Close"), this);
  btnClose->setObjectName(QStringLiteral("btnClose"));

  connect(btnClear, &QPushButton::clicked, this,
          platform::guarded([this] { btnClearClick(btnClear); }));
  connect(btnClose, &QPushButton::clicked, this,
          platform::guarded([this] { btnCloseClick(btnClose); }));
}

void TfRTCMParsing::resizeEvent(QResizeEvent *event) {
  QWidget::resizeEvent(event);
  // The designed places in a 624 x 441 client area, the memo anchored to every side and the
  // buttons to the bottom corners.
  const int w = width(), h = height();
  MemoRTCM->setGeometry(8, 8, w - 16, h - 48);
  btnClear->setGeometry(8, h - 34, 75, 25);
  btnClose->setGeometry(w - 136, h - 34, 128, 25);
}

void TfRTCMParsing::AddReportLine(const std::string &Text) {
  MemoRTCM->appendPlainText(platform::fromAnsi(Text));
}

void TfRTCMParsing::ClearReport() { MemoRTCM->clear(); }

QStringList TfRTCMParsing::ReportLines() const {
  if (MemoRTCM->document()->isEmpty())
    return {};
  return MemoRTCM->toPlainText().split(QLatin1Char('\n'));
}

void TfRTCMParsing::btnClearClick(QObject *) { ClearReport(); }

std::string TfRTCMParsing::ReportFilePath() { return rtcmReportFilePath(); }

void TfRTCMParsing::btnCloseClick(QObject *) {
  std::vector<std::string> lines;
  for (const QString &line : ReportLines())
    lines.push_back(platform::toAnsi(line));
  saveRtcmReport(lines);
  close();
}
