// Helpers of the DXF import tests: DXF texts from group pairs, imports into a model or through
// the canvas command, and typed access to the shapes that came out.
#pragma once

#include "canvas/DrawingModel.h"
#include "exchange/DxfReader.h"

#include <QString>
#include <initializer_list>
#include <string>
#include <string_view>
#include <vector>

namespace dxftest {

// Lines joined by line feeds, the last one ended too.
inline std::string lines(std::initializer_list<std::string_view> items) {
  std::string s;
  for (std::string_view i : items) {
    s += i;
    s += '\n';
  }
  return s;
}

inline std::string section(std::string_view name, std::string_view body) {
  return "0\nSECTION\n2\n" + std::string(name) + "\n" + std::string(body) + "0\nENDSEC\n";
}

// A file of only an ENTITIES section holding body, followed by EOF.
inline std::string entitiesFile(std::string_view body) {
  return section("ENTITIES", body) + "0\nEOF\n";
}

inline exchange::DxfImportOutcome import(DrawingModel &m, std::string_view bytes) {
  return exchange::importDxfBytes(m, bytes);
}

template <class T> const T *shapeAt(const DrawingModel &m, int i) {
  return i < m.Shapes.size() ? dynamic_cast<const T *>(m.Shapes[i]) : nullptr;
}

inline std::string layerName(const DrawingModel &m, int index) {
  const TQLayer *l = m.FindLayer(index);
  return l ? l->Name.toStdString() : std::string("<none>");
}

inline constexpr TColor rgb(int r, int g, int b) {
  return static_cast<TColor>(r | (g << 8) | (b << 16));
}

} // namespace dxftest
