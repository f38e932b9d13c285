// The visual styles the user picks by name: each name is the Fusion style with its own palette,
// applied to the whole application.
#pragma once

#include "platform/Color.h"

#include <QPalette>
#include <QString>
#include <QStringList>

namespace platform {

// Every style name, in the order the style window lists them: the platform's own look
// ("Windows") first, then the styles the programs carry.
QStringList StyleNames();

// Applies the style of that name (names match ASCII-case-insensitively). An unknown name changes
// nothing and answers false; the caller says so as its window's behaviour asks.
bool ApplyStyle(const QString &name);

// The style applied last ("Windows" before any), by its listed name.
QString ActiveStyleName();

// The panel (window background) colour of the active style.
TColor ActiveStylePanelColor();

// The palette a style applies; the palette of "Light" for an unknown name.
QPalette stylePalette(const QString &name);

} // namespace platform
