// The sound velocity profile window: loads a cast, runs the processing steps, hands the averaged
// rows to the graph editor, keeps its lists in memo files, and switches the profile's use on and
// off for the depth correction, which asks it through SoundVelocityForDepth.
#pragma once

#include "navigator/NavigatorWindows.h"
#include "navigator/soundvelocity/SvpProcessing.h"
#include "platform/Dialogs.h"

#include <QWidget>
#include <string>
#include <vector>

class QCheckBox;
class QLineEdit;
class QMenu;
class QPlainTextEdit;
class QPushButton;
class QRadioButton;
class QToolButton;

class TfSVP : public QWidget {
public:
  TfSVP(QWidget *owner, NavigatorWindows &windows);

  NavigatorWindows &Windows;

  // The four row lists and the steps between them; the memos below show them.
  svp::SvpProcessing Profile;

  // ---- Controls
  QPlainTextEdit *mRawSVData = nullptr;        // "Source SVP Data"
  QPlainTextEdit *mRawSVExtracted = nullptr;   // "Raw SV values"
  QPlainTextEdit *mSortedAveragedSV = nullptr; // "Averaged SV Values"
  QPlainTextEdit *mSVPColumn = nullptr;        // "SV Column"
  QLineEdit *eSearchString = nullptr;
  QRadioButton *rSVFirst = nullptr;
  QRadioButton *rDFirst = nullptr;
  QLineEdit *eMaxDepth = nullptr;
  QPushButton *BitBtn1 = nullptr; // "SVP": load a source file
  QPushButton *bGraph = nullptr;
  QToolButton *bRawToSVV = nullptr;
  QToolButton *bSVVtoAveragedSV = nullptr;
  QToolButton *bAveragedSVtoSVP = nullptr;
  QCheckBox *cUseSVP = nullptr;
  QPushButton *bSaveClose = nullptr; // "Save && Close", enabled by a complete column
  QMenu *mDefault = nullptr;         // "Defaults", "Auto Dedetct"
  platform::FileDialog oSVP{platform::FileDialogKind::Open};

  // ---- What the depth correction calls
  // The sound velocity for one raw depth (metres at 1500 m/s): the offsets window's single
  // value `singleSoundVelocity` while the profile is not in use; while it is, the column's row
  // for the rounded depth, read from the last complete column. A depth that is negative or
  // beyond the column, or a column emptied or being rebuilt, gets the single value instead, and
  // the first such fallback after the column or the switch changed is reported once in the
  // message window.
  double SoundVelocityForDepth(double rawDepth, double singleSoundVelocity);

  // ---- The memo files
  // The four lists to their dated names in the day's SVP folder (date of now + " " + name).
  // Every list is tried; a list that cannot be written raises afterwards, naming the files.
  void SaveDatedMemos();
  // Writes the dated memos while the profile is in use (the main window's save does this).
  void SaveDatedMemosWhileUsed();

  // ---- Handlers
  void FormCreate();
  void FormShow();
  void FormCloseQuery(bool &CanClose);
  void BitBtn1Click();
  void bRawToSVVClick();
  void bSVVtoAveragedSVClick();
  void bAveragedSVtoSVPClick();
  void AutoDedetct1Click();
  void Defaults1Click();
  void eSearchStringDblClick();
  void cUseSVPClick();
  void bGraphClick();
  void BitBtn2Click();

  // The memo files' names, as the program keeps them beside itself.
  static const std::vector<std::string> &MemoNames();

protected:
  void showEvent(QShowEvent *event) override;
  void closeEvent(QCloseEvent *event) override;
  bool eventFilter(QObject *watched, QEvent *event) override;

private:
  bool turkish() const;
  std::vector<std::string> *list(std::size_t index);
  QPlainTextEdit *memo(std::size_t index) const;
  // Shows the lists in their memos; the memos' own edits then flow back into the lists.
  void showLists();
  void memoEdited(std::size_t index);
  // A new column (or none) was published or the switch changed: the next fallback is reported.
  void columnChanged() { fallbackReported_ = false; }

  bool showingLists_ = false;
  bool fallbackReported_ = false;
};
