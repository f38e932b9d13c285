#include "editor/WaitWindow.h"

#include <QLabel>
#include <QPainter>
#include <QProgressBar>
#include <QTimer>
#include <QVBoxLayout>

namespace {

// A ring of sectors, one of them dark, that turns a step at each repaint and on a timer.
class ActivityRing : public QWidget {
public:
  explicit ActivityRing(QWidget *parent) : QWidget(parent) {
    setFixedSize(40, 40);
    auto *timer = new QTimer(this);
    connect(timer, &QTimer::timeout, this, [this] {
      step_ = (step_ + 1) % sectors;
      update();
    });
    timer->start(100);
  }
  void advance() { step_ = (step_ + 1) % sectors; }

protected:
  void paintEvent(QPaintEvent *) override {
    QPainter p(this);
    p.setRenderHint(QPainter::Antialiasing);
    const QRectF box = QRectF(rect()).adjusted(4, 4, -4, -4);
    for (int i = 0; i < sectors; ++i) {
      const int age = (step_ - i + sectors) % sectors;
      QColor c = palette().color(QPalette::Highlight);
      c.setAlpha(255 - age * 200 / sectors);
      p.setPen(QPen(c, 6, Qt::SolidLine, Qt::FlatCap));
      p.drawArc(box, (90 - i * 360 / sectors) * 16, -(360 / sectors - 8) * 16);
    }
  }

private:
  static constexpr int sectors = 12;
  int step_ = 0;
};

} // namespace

TfWait::TfWait(QWidget *owner)
    : QDialog(owner, Qt::Dialog | Qt::FramelessWindowHint | Qt::WindowStaysOnTopHint) {
  setObjectName(QStringLiteral("fWait"));
  setWindowTitle(QStringLiteral("Saving.."));
  setFixedSize(226, 112);
  setModal(true);
  auto *layout = new QVBoxLayout(this);
  activityIndicator = new ActivityRing(this);
  activityIndicator->setObjectName(QStringLiteral("activityIndicator"));
  layout->addWidget(activityIndicator, 0, Qt::AlignHCenter);
  Label1 = new QLabel(QStringLiteral("Please wait.."), this);
  Label1->setObjectName(QStringLiteral("Label1"));
  Label1->setAlignment(Qt::AlignCenter);
  layout->addWidget(Label1);
  progressBar = new QProgressBar(this);
  progressBar->setObjectName(QStringLiteral("progressBar"));
  progressBar->setTextVisible(false);
  layout->addWidget(progressBar);
}

void TfWait::showCentred() {
  if (QWidget *owner = parentWidget()) {
    const QPoint centre = owner->mapToGlobal(owner->rect().center());
    move(centre - QPoint(width() / 2, height() / 2));
  }
  show();
  repaint();
}

void TfWait::setProgress(int position) {
  progressBar->setValue(position);
  static_cast<ActivityRing *>(activityIndicator)->advance();
  repaint();
}
