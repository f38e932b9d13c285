// The class library's colour box: the standard and extended colours, each with its swatch, and
// an item of its own for a stored colour outside the list so that it is shown and kept.
#pragma once

#include "platform/Color.h"

class QComboBox;
class QWidget;

namespace colourbox {

// A box named `name` holding the listed colours.
QComboBox *make(QWidget *parent, const char *name);
// Selects a colour by code (no change handler runs).
void select(QComboBox *box, TColor colour);
// The colour of item `index`, 0x00BBGGRR.
TColor at(const QComboBox *box, int index);
// The colour the box shows.
TColor current(const QComboBox *box);

} // namespace colourbox
