// TfWarning: the smoothing-cluster window. No command opens it; it lives hidden for the run.
#pragma once

#include <QDialog>

class QLabel;
class QPushButton;
class QSlider;

class TfWarning : public QDialog {
  Q_OBJECT

public:
  explicit TfWarning(QWidget *owner);

  QLabel *lWarning;
  QLabel *Label1;
  QSlider *trackCluster;
  QPushButton *bOkay;
  QPushButton *bCancel;
  bool okPressed = false;
  bool cancelPressed = false;

  void bOkayClick();
  void bCancelClick();
  void trackClusterChange();

protected:
  void closeEvent(QCloseEvent *event) override;
};
