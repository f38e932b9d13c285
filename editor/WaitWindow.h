// TfWait: the borderless "Saving.." window with its activity ring and progress bar.
#pragma once

#include <QDialog>

class QLabel;
class QProgressBar;

class TfWait : public QDialog {
  Q_OBJECT

public:
  explicit TfWait(QWidget *owner);

  QWidget *activityIndicator;
  QLabel *Label1;
  QProgressBar *progressBar;

  // Shows the window over its owner and paints it at once.
  void showCentred();
  // Moves the bar and repaints the window now, without running other events.
  void setProgress(int position);
};
