#include "navigator/settings/ColourBox.h"

#include <QComboBox>
#include <QIcon>
#include <QPainter>
#include <QPixmap>

namespace colourbox {
namespace {

struct NamedColour {
  const char *name;
  TColor colour;
};
const NamedColour namedColours[] = {
    {"Black", clBlack},
    {"Maroon", clMaroon},
    {"Green", clGreen},
    {"Olive", clOlive},
    {"Navy", clNavy},
    {"Purple", clPurple},
    {"Teal", clTeal},
    {"Gray", clGray},
    {"Silver", clSilver},
    {"Red", clRed},
    {"Lime", clLime},
    {"Yellow", clYellow},
    {"Blue", clBlue},
    {"Fuchsia", clFuchsia},
    {"Aqua", clAqua},
    {"White", clWhite},
    {"MoneyGreen", clMoneyGreen},
    {"SkyBlue", clSkyBlue},
    {"Cream", clCream},
    {"MedGray", clMedGray},
};

void addItem(QComboBox *box, const QString &name, TColor colour) {
  QPixmap pixmap(16, 12);
  pixmap.fill(platform::toQColor(colour));
  QPainter painter(&pixmap);
  painter.setPen(Qt::black);
  painter.drawRect(0, 0, 15, 11);
  painter.end();
  box->addItem(QIcon(pixmap), name, QVariant::fromValue<uint>(colour));
}

} // namespace

QComboBox *make(QWidget *parent, const char *name) {
  auto *box = new QComboBox(parent);
  box->setObjectName(QString::fromLatin1(name));
  for (const NamedColour &c : namedColours)
    addItem(box, QString::fromLatin1(c.name), c.colour);
  return box;
}

void select(QComboBox *box, TColor colour) {
  int index = box->findData(QVariant::fromValue<uint>(colour));
  if (index < 0) {
    addItem(box, QStringLiteral("$%1").arg(colour, 8, 16, QLatin1Char('0')).toUpper(), colour);
    index = box->count() - 1;
  }
  box->setCurrentIndex(index);
}

TColor at(const QComboBox *box, int index) {
  return static_cast<TColor>(box->itemData(index).toUInt());
}

TColor current(const QComboBox *box) { return at(box, box->currentIndex()); }

} // namespace colourbox
