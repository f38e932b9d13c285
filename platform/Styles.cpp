#include "platform/Styles.h"

#include <QApplication>
#include <QStyle>
#include <array>

namespace platform {

namespace {

struct StyleColors {
  const char *name;
  QRgb panel;     // window background
  QRgb text;      // text on panels and in edits
  QRgb base;      // background of edits and lists
  QRgb highlight; // selection
};

// The platform's own look first, then the carried styles in their resource order.
constexpr std::array<StyleColors, 36> styles{{
    {"Windows", 0xF0F0F0, 0x000000, 0xFFFFFF, 0x0078D7},
    {"Amakrits", 0x343434, 0xDCDCDC, 0x262626, 0xCD872D},
    {"Amethyst Kamri", 0xE2DDEE, 0x000000, 0xFFFFFF, 0x805AAA},
    {"Aqua Graphite", 0x3C3C3C, 0xE6E6E6, 0x2D2D2D, 0x00A0C8},
    {"Aqua Light Slate", 0xD0D9E2, 0x000000, 0xFFFFFF, 0x0096BE},
    {"Auric", 0x323232, 0xEBDCB4, 0x232323, 0xC8A028},
    {"Carbon", 0x282828, 0xDCDCDC, 0x1C1C1C, 0x466EA0},
    {"Charcoal Dark Slate", 0x2E3338, 0xDCE1E6, 0x23272B, 0x506E8C},
    {"Cobalt XEMedia", 0x1C2C44, 0xDCE6F5, 0x142034, 0x286EC8},
    {"Cyan Dusk", 0x2D3E48, 0xE1F0F5, 0x223038, 0x00AABE},
    {"Cyan Night", 0x192630, 0xD2EBF0, 0x101A22, 0x0096AA},
    {"Emerald Light Slate", 0xD2DEDA, 0x000000, 0xFFFFFF, 0x008C5A},
    {"Glossy", 0x1E1E1E, 0xE6E6E6, 0x141414, 0x3C78C8},
    {"Glow", 0x26262C, 0xE1E1EB, 0x1C1C20, 0x007ACC},
    {"Golden Graphite", 0x3A3834, 0xEBE1C8, 0x2C2A28, 0xBE963C},
    {"Iceberg Classico", 0xE2ECF5, 0x000000, 0xFFFFFF, 0x508CC8},
    {"Lavender Classico", 0xE8E4F2, 0x000000, 0xFFFFFF, 0x8C78BE},
    {"Light", 0xF5F5F5, 0x000000, 0xFFFFFF, 0x0078D7},
    {"Luna", 0xECE9D8, 0x000000, 0xFFFFFF, 0x316AC5},
    {"Obsidian", 0x2A2D30, 0xDCDCDC, 0x1E2022, 0x5A82AA},
    {"Onyx Blue", 0x232834, 0xDCE1F0, 0x1A1E28, 0x3264B4},
    {"Ruby Graphite", 0x3A3838, 0xEBE1E1, 0x2C2A2A, 0xAA2832},
    {"Sapphire Kamri", 0xD6E0F0, 0x000000, 0xFFFFFF, 0x285AAA},
    {"Silver", 0xE6E6E8, 0x000000, 0xFFFFFF, 0x6E82A0},
    {"Sky", 0xDEECFA, 0x000000, 0xFFFFFF, 0x3C96E6},
    {"Slate Classico", 0xCED4DC, 0x000000, 0xFFFFFF, 0x5A6E8C},
    {"Smokey Quartz Kamri", 0xE1DCD6, 0x000000, 0xFFFFFF, 0x826E5A},
    {"Tablet Dark", 0x202020, 0xE6E6E6, 0x141414, 0x0078D7},
    {"Tablet Light", 0xF6F6F6, 0x000000, 0xFFFFFF, 0x0078D7},
    {"Turquoise Gray", 0xD8DEDE, 0x000000, 0xFFFFFF, 0x009696},
    {"Windows10", 0xF0F0F0, 0x000000, 0xFFFFFF, 0x0078D7},
    {"Windows10 Blue", 0xDCE8F6, 0x000000, 0xFFFFFF, 0x0063B1},
    {"Windows10 Dark", 0x2B2B2B, 0xF0F0F0, 0x191919, 0x0078D7},
    {"Windows10 Green", 0xE0F0E4, 0x000000, 0xFFFFFF, 0x107C10},
    {"Windows10 Purple", 0xEAE2F4, 0x000000, 0xFFFFFF, 0x68217A},
    {"Windows10 SlateGray", 0xDEE2E6, 0x000000, 0xFFFFFF, 0x505F6E},
}};

const StyleColors *findStyle(const QString &name) {
  for (const StyleColors &s : styles)
    if (name.compare(QLatin1String(s.name), Qt::CaseInsensitive) == 0)
      return &s;
  return nullptr;
}

const StyleColors &lightStyle() { return *findStyle(QStringLiteral("Light")); }

QColor mix(const QColor &a, const QColor &b) {
  return QColor((a.red() + b.red()) / 2, (a.green() + b.green()) / 2, (a.blue() + b.blue()) / 2);
}

QPalette paletteOf(const StyleColors &s) {
  const QColor panel(s.panel), text(s.text), base(s.base), highlight(s.highlight);
  const bool dark = panel.lightness() < 128;
  const QColor button = dark ? panel.lighter(125) : panel;
  QPalette p(button, panel); // derives the bevel shades from the two
  p.setColor(QPalette::WindowText, text);
  p.setColor(QPalette::Text, text);
  p.setColor(QPalette::ButtonText, text);
  p.setColor(QPalette::Base, base);
  p.setColor(QPalette::AlternateBase, mix(base, panel));
  p.setColor(QPalette::Highlight, highlight);
  p.setColor(QPalette::HighlightedText, Qt::white);
  p.setColor(QPalette::ToolTipBase, base);
  p.setColor(QPalette::ToolTipText, text);
  p.setColor(QPalette::PlaceholderText, mix(text, base));
  p.setColor(QPalette::BrightText, Qt::red);
  p.setColor(QPalette::Link, dark ? highlight.lighter(140) : highlight);
  const QColor muted = mix(text, panel);
  for (QPalette::ColorRole role : {QPalette::WindowText, QPalette::Text, QPalette::ButtonText})
    p.setColor(QPalette::Disabled, role, muted);
  p.setColor(QPalette::Disabled, QPalette::Base, panel);
  p.setColor(QPalette::Disabled, QPalette::Highlight, muted);
  return p;
}

const StyleColors *active = &styles.front();

} // namespace

QStringList StyleNames() {
  QStringList names;
  for (const StyleColors &s : styles)
    names << QString::fromLatin1(s.name);
  return names;
}

QPalette stylePalette(const QString &name) {
  const StyleColors *s = findStyle(name);
  return paletteOf(s ? *s : lightStyle());
}

bool ApplyStyle(const QString &name) {
  const StyleColors *s = findStyle(name);
  if (!s)
    return false;
  active = s;
  if (qobject_cast<QApplication *>(QCoreApplication::instance())) {
    if (QApplication::style()->name().compare(QLatin1String("fusion"), Qt::CaseInsensitive) != 0)
      QApplication::setStyle(QStringLiteral("Fusion"));
    QApplication::setPalette(paletteOf(*active));
  }
  return true;
}

QString ActiveStyleName() { return QString::fromLatin1(active->name); }

TColor ActiveStylePanelColor() { return fromQColor(QColor(active->panel)); }

} // namespace platform
