// Layer and font-table records of the drawing model.
#pragma once

#include "canvas/Shapes.h"

#include <QString>

// A layer: shapes refer to it by Index. Index and Name are fixed once the layer is in a list.
class TQLayer {
public:
  int Index = 0;
  QString Name;
  bool Visible = true;
  bool FromDXF = false;
  int ActionCode = 0;
  TColor PenFg = 0;
  int PenWidth = 1;
  int PenStyle = 0;
  TColor BrushFg = 0xFFFFFF;
  TColor BrushBg = 0xFFFFFF;
  TBrushStyle BrushStyle = bsClear;
  int BrushMode = 0;
};

// An entry of the font table.
class TQFont {
public:
  QString Name = QStringLiteral("Arial");
  int Size = 10;
  bool Bold = false;
  bool Italic = false;
};
