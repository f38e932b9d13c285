#include "platform/About.h"

#include "platform/Color.h"

#include <QApplication>
#include <QGuiApplication>
#include <QLabel>
#include <QPushButton>
#include <QScreen>
#include <QShowEvent>
#include <QVBoxLayout>

namespace {

const char *const makerText = "Tarvik Hydrographic Systems";
const char *const webText = "www.tarvik.com.tr";

QString cssColor(TColor c) { return platform::toQColor(c).name(); }

QFrame *band(QWidget *parent, TColor colour) {
  auto *frame = new QFrame(parent);
  frame->setAutoFillBackground(true);
  QPalette p = frame->palette();
  p.setColor(QPalette::Window, platform::toQColor(colour));
  frame->setPalette(p);
  return frame;
}

QWidget *mainWindowOf(const QWidget *self) {
  for (QWidget *w : QApplication::topLevelWidgets())
    if (w != self && w->isVisible() && w->objectName() == QLatin1String("FNav"))
      return w;
  return nullptr;
}

} // namespace

TformAbout::TformAbout(QWidget *owner, Layout layout)
    : QDialog(owner, Qt::Dialog | Qt::MSWindowsFixedSizeDialogHint), FormLayout(layout) {
  setObjectName(QStringLiteral("formAbout"));
  setModal(true);
  if (layout == Layout::Navigation)
    buildNavigation();
  else
    buildEditor();
  connect(BitBtn2, &QPushButton::clicked, this, &QDialog::accept);
}

void TformAbout::buildNavigation() {
  setWindowTitle(QStringLiteral("About Tarvik Sondrel"));
  // Fixed single border with no border icons: only a title.
  setWindowFlags(Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint |
                 Qt::MSWindowsFixedSizeDialogHint);
  setFixedSize(340, 375);
  setFont(QFont(QStringLiteral("MS Sans Serif")));
  setAutoFillBackground(true);
  QPalette p = palette();
  p.setColor(QPalette::Window, Qt::white);
  setPalette(p);

  auto *column = new QVBoxLayout(this);
  column->setContentsMargins(5, 5, 5, 5);
  auto *top = new QFrame(this);
  auto *topColumn = new QVBoxLayout(top);
  SoftName = new QLabel(QStringLiteral("Tarvik Sondrel"), top);
  SoftName->setObjectName(QStringLiteral("SoftName"));
  QFont nameFont(QStringLiteral("Arial"));
  nameFont.setPixelSize(19);
  nameFont.setBold(true);
  SoftName->setFont(nameFont);
  SoftName->setStyleSheet(QStringLiteral("color: black;"));
  SoftName->setAlignment(Qt::AlignCenter);
  Version = new QLabel(QStringLiteral("Version 6.6.11"), top);
  Version->setObjectName(QStringLiteral("Version"));
  QFont bold = font();
  bold.setBold(true);
  Version->setFont(bold);
  Version->setAlignment(Qt::AlignCenter);
  topColumn->addStretch();
  topColumn->addWidget(SoftName);
  topColumn->addWidget(Version);
  topColumn->addStretch();
  column->addWidget(top, 3);

  auto *middle = new QFrame(this);
  auto *middleColumn = new QVBoxLayout(middle);
  MakerLine = new QLabel(QString::fromLatin1(makerText), middle);
  WebLine = new QLabel(QString::fromLatin1(webText), middle);
  for (QLabel *l : {MakerLine, WebLine}) {
    l->setAlignment(Qt::AlignCenter);
    middleColumn->addWidget(l);
  }
  column->addWidget(middle, 2);

  BitBtn2 = new QPushButton(QStringLiteral("OK"), this);
  BitBtn2->setObjectName(QStringLiteral("BitBtn2"));
  BitBtn2->setFixedSize(329, 37);
  BitBtn2->setDefault(true);
  column->addWidget(BitBtn2, 0, Qt::AlignHCenter);
}

void TformAbout::buildEditor() {
  setWindowTitle(QStringLiteral("About Tarvik Trimsel"));
  setWindowFlags(Qt::Dialog | Qt::WindowTitleHint | Qt::WindowSystemMenuHint |
                 Qt::WindowCloseButtonHint | Qt::MSWindowsFixedSizeDialogHint);
  setFixedSize(380, 400);
  setFont(QFont(QStringLiteral("Segoe UI")));

  auto *column = new QVBoxLayout(this);
  column->setContentsMargins(0, 0, 0, 12);
  column->setSpacing(0);
  QFrame *top = band(this, 15790320);
  auto *topColumn = new QVBoxLayout(top);
  SoftName = new QLabel(QStringLiteral("Tarvik Trimsel"), top);
  SoftName->setObjectName(QStringLiteral("SoftName"));
  QFont nameFont(QStringLiteral("Segoe UI Light"));
  nameFont.setPixelSize(27);
  SoftName->setFont(nameFont);
  SoftName->setStyleSheet(QStringLiteral("color: %1;").arg(cssColor(10040064)));
  SoftName->setAlignment(Qt::AlignCenter);
  Version = new QLabel(QStringLiteral("Singlebeam Editor  |  Version 1.0.2"), top);
  Version->setObjectName(QStringLiteral("Version"));
  Version->setStyleSheet(QStringLiteral("color: %1;").arg(cssColor(clGray)));
  Version->setAlignment(Qt::AlignCenter);
  topColumn->addStretch();
  topColumn->addWidget(SoftName);
  topColumn->addWidget(Version);
  topColumn->addStretch();
  column->addWidget(top, 3);

  QFrame *middle = band(this, 15263976);
  auto *middleColumn = new QVBoxLayout(middle);
  MakerLine = new QLabel(QString::fromLatin1(makerText), middle);
  WebLine = new QLabel(QString::fromLatin1(webText), middle);
  for (QLabel *l : {MakerLine, WebLine}) {
    l->setAlignment(Qt::AlignCenter);
    middleColumn->addWidget(l);
  }
  column->addWidget(middle, 2);
  column->addSpacing(12);

  BitBtn2 = new QPushButton(QStringLiteral("OK"), this);
  BitBtn2->setObjectName(QStringLiteral("BitBtn2"));
  BitBtn2->setFixedSize(100, 32);
  QFont bold = BitBtn2->font();
  bold.setBold(true);
  BitBtn2->setFont(bold);
  BitBtn2->setDefault(true);
  column->addWidget(BitBtn2, 0, Qt::AlignHCenter);
}

void TformAbout::showEvent(QShowEvent *event) {
  QDialog::showEvent(event);
  if (event->spontaneous())
    return;
  QRect area;
  if (FormLayout == Layout::Navigation) {
    if (const QWidget *main = mainWindowOf(this))
      area = main->frameGeometry();
  }
  if (!area.isValid())
    if (const QScreen *screen = QGuiApplication::primaryScreen())
      area = screen->availableGeometry();
  if (area.isValid())
    move(area.center() - QPoint(width() / 2, height() / 2));
}
