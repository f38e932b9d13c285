// The RTCM report window: an analysis of the correction bytes received last, which it can save
// as the day's RTCM parsing log.
#pragma once

#include <QWidget>
#include <string>

class QPlainTextEdit;
class QPushButton;

class TfRTCMParsing : public QWidget {
public:
  explicit TfRTCMParsing(QWidget *owner);

  QPlainTextEdit *MemoRTCM = nullptr;
  QPushButton *btnClear = nullptr;
  QPushButton *btnClose = nullptr; // "Save && Close"

  // Appends an 8-bit text (the ANSI code page) as one line of the memo.
  void AddReportLine(const std::string &Text);
  void ClearReport();
  // The memo's lines; none while it is empty.
  QStringList ReportLines() const;

  void btnClearClick(QObject *Sender);
  // Saves the report as "<date> Tarvik RTCM Parsing.log" in the LOG folder of today's survey
  // folder (created when missing), then closes. A report that cannot be written raises, and the
  // window stays open.
  void btnCloseClick(QObject *Sender);

  // The file that a save made now writes.
  static std::string ReportFilePath();

protected:
  void resizeEvent(QResizeEvent *event) override;
};
