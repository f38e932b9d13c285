// TOffsets: the offsets of the boat's sensors, sound velocity and tide that post-processing needs;
// its edits are the live values the depth correction reads. "Realtime" checks them, logs them,
// stores them and starts acquisition.
#pragma once

#include "navigator/NavigatorWindows.h"
#include "navigator/acquisition/OffsetsCheck.h"

#include <QWidget>

class QLabel;
class QLineEdit;
class QPushButton;
class QTimer;

class TOffsets : public QWidget {
public:
  TOffsets(QWidget *owner, NavigatorWindows &windows);

  NavigatorWindows &Windows;

  QLineEdit *OffsetA = nullptr;
  QLineEdit *OffsetB = nullptr;
  QLineEdit *OffsetC = nullptr;
  QLineEdit *SV = nullptr;
  QLineEdit *TideHt = nullptr;
  QLineEdit *Location = nullptr;
  QLineEdit *SurveyBoat = nullptr;
  QLineEdit *Surveyor = nullptr;
  QLabel *time = nullptr;
  QWidget *pSketch = nullptr;
  QWidget *Image1 = nullptr;
  QPushButton *bSVP = nullptr;
  QPushButton *BitBtn1 = nullptr; // "Realtime"
  QPushButton *bNTRIPShow = nullptr;
  QPushButton *BitBtn3 = nullptr; // "Cancel"
  QTimer *Timer1 = nullptr;

  void FormShow(QObject *Sender);
  void BitBtn1Click(QObject *Sender);
  void BitBtn3Click(QObject *Sender);
  void FormCloseQuery(QObject *Sender, bool &CanClose);
  void FormDblClick(QObject *Sender);
  void bSVPClick(QObject *Sender);
  void bNTRIPShowClick(QObject *Sender);
  void Timer1Timer(QObject *Sender);
  // Focus left one of the number edits: it must hold a number as a whole.
  void NumberEditExit(QLineEdit *edit);

  TOffsetTexts texts() const;
  QLineEdit *edit(TOffsetField field) const;
  // The messages of this window are Turkish while the main window's language label is enabled.
  bool turkish() const;

protected:
  void showEvent(QShowEvent *event) override;
  void closeEvent(QCloseEvent *event) override;
  void mouseDoubleClickEvent(QMouseEvent *event) override;
  bool eventFilter(QObject *watched, QEvent *event) override;
};
