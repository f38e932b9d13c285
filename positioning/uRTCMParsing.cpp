#include "positioning/uRTCMParsing.h"

#include "platform/Abort.h"
#include "platform/CodePage.h"
#include "platform/Convert.h"
#include "platform/Paths.h"
#include "platform/StringList.h"
#include "platform/Time.h"

#include <QDir>
#include <QFont>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QResizeEvent>
#include <cstdio>

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

std::string TfRTCMParsing::ReportFilePath() {
  const std::string date = platform::FormatDateTime("yyyy-mm-dd", platform::Now());
  return platform::SurveyRoot() + date + "/LOG/" + date + " Tarvik RTCM Parsing.log";
}

void TfRTCMParsing::btnCloseClick(QObject *) {
  const QStringList lines = ReportLines();
  if (!lines.isEmpty()) {
    const std::string path = ReportFilePath();
    const std::string folder = path.substr(0, path.rfind('/'));
    if (!QDir().exists(QString::fromStdString(folder)))
      QDir().mkpath(QString::fromStdString(folder));
    std::vector<std::string> bytes;
    bytes.reserve(static_cast<std::size_t>(lines.size()));
    for (const QString &line : lines)
      bytes.push_back(platform::toAnsi(line));
    // A new report is written beside the old one and then takes its name, so that a failed
    // write leaves the earlier report whole.
    const std::string temporary = path + ".tmp";
    try {
      platform::saveStringsToFile(bytes, temporary);
    } catch (...) {
      std::remove(temporary.c_str());
      throw;
    }
    if (std::rename(temporary.c_str(), path.c_str()) != 0) {
      std::remove(temporary.c_str());
      throw platform::EFileError("Cannot create file \"" + path + "\"");
    }
  }
  close();
}
