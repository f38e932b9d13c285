// Small drawn pictures for the navigation program's tool buttons (the program ships no image
// files); each is a 20 x 20 glyph in the tool bar's text colour.
#pragma once

#include <QIcon>
#include <string_view>

namespace navicons {

// Known names: "point", "linechain", "rectangle", "polyline", "ellipse", "polygon", "spline",
// "arc", "circle", "zoomin", "zoomout", "extents", "zoomwindow", "zoomdynamic", "pan", "select",
// "exit", "restart", "compact", "folder", "offsets", "open", "save". Any other name gives an
// empty icon.
QIcon icon(std::string_view name);

} // namespace navicons
