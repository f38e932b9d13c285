#include "editor/SmoothingClusterWindow.h"

#include "platform/Abort.h"

#include <QCloseEvent>
#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QSlider>
#include <QVBoxLayout>

TfWarning::TfWarning(QWidget *owner)
    : QDialog(owner, Qt::Dialog | Qt::WindowTitleHint | Qt::WindowSystemMenuHint |
                         Qt::WindowMinimizeButtonHint | Qt::WindowCloseButtonHint |
                         Qt::MSWindowsFixedSizeDialogHint) {
  setObjectName(QStringLiteral("fWarning"));
  setWindowTitle(QStringLiteral("Warning"));
  auto *layout = new QVBoxLayout(this);
  lWarning = new QLabel(this);
  lWarning->setObjectName(QStringLiteral("lWarning"));
  lWarning->setWordWrap(true);
  layout->addWidget(lWarning);
  Label1 = new QLabel(QStringLiteral("Smoothing cluster size: 3"), this);
  Label1->setObjectName(QStringLiteral("Label1"));
  layout->addWidget(Label1);
  trackCluster = new QSlider(Qt::Horizontal, this);
  trackCluster->setObjectName(QStringLiteral("trackCluster"));
  trackCluster->setRange(1, 10);
  trackCluster->setValue(1);
  trackCluster->setTickPosition(QSlider::TicksBelow);
  const QString hint = QStringLiteral("Number of neighboring points to be taken into account");
  trackCluster->setToolTip(hint);
  setToolTip(hint);
  layout->addWidget(trackCluster);
  auto *buttons = new QHBoxLayout;
  buttons->addStretch(1);
  bOkay = new QPushButton(QStringLiteral("OK"), this);
  bOkay->setObjectName(QStringLiteral("bOkay"));
  bCancel = new QPushButton(QStringLiteral("Cancel"), this);
  bCancel->setObjectName(QStringLiteral("bCancel"));
  buttons->addWidget(bOkay);
  buttons->addWidget(bCancel);
  layout->addLayout(buttons);
  okPressed = cancelPressed = false;
  connect(bOkay, &QPushButton::clicked, this, platform::guarded(this, &TfWarning::bOkayClick));
  connect(bCancel, &QPushButton::clicked, this, platform::guarded(this, &TfWarning::bCancelClick));
  connect(trackCluster, &QSlider::valueChanged, this,
          platform::guarded(this, &TfWarning::trackClusterChange));
}

void TfWarning::bOkayClick() {
  okPressed = true;
  hide();
}

void TfWarning::bCancelClick() {
  cancelPressed = true;
  hide();
}

void TfWarning::trackClusterChange() {
  Label1->setText(QStringLiteral("Smoothing cluster size: ") +
                  QString::number(2 * trackCluster->value() + 1));
}

void TfWarning::closeEvent(QCloseEvent *event) {
  cancelPressed = true;
  QDialog::closeEvent(event);
}
