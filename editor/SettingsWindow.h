// TfSettings: the editor's settings window; its controls are the live settings that the
// commands read, restored from section ECHOGRAM each time the window is shown.
#pragma once

#include <QWidget>

class QComboBox;
class QGroupBox;
class QLineEdit;
class QSpinBox;
struct EditorWindows;

class TfSettings : public QWidget {
  Q_OBJECT

public:
  TfSettings(QWidget *owner, EditorWindows &windows);

  QGroupBox *GroupBox1;
  QComboBox *cFormatIdentifier;
  QSpinBox *sSmoothingFactor;
  QLineEdit *eSmoothingRange;
  QSpinBox *sLineThickness;
  QComboBox *cClolorConfig;

  void FormShow();
  void cClolorConfigChange();
  // Writes the five ECHOGRAM keys from the controls' texts, in their order.
  void writeSettings();
  // Whether the window was shown in this run (its controls then hold the stored values).
  bool wasShown() const { return shown_; }

protected:
  void showEvent(QShowEvent *event) override;

private:
  EditorWindows &windows_;
  bool shown_ = false;
};
