// TarvikDrawingMaker: writes a drawing of many shapes around a survey area, for loading the
// navigation program with a large drawing while TarvikSensorSim sails through it.
#include "canvas/DrawingModel.h"
#include "platform/Paths.h"
#include "tools/ScatteredDrawing.h"

#include <QString>
#include <cstdio>
#include <cstdlib>
#include <string>

namespace {

void usage(const char *program) {
  std::fprintf(stderr,
               "Usage: %s --out FILE [--shapes N] [--centre E,N] [--size METRES] [--long-lines]\n"
               "  --out FILE      the drawing to write (.zrv)\n"
               "  --shapes N      how many shapes (default 1000)\n"
               "  --centre E,N    the area's centre in grid metres (default 415900,4541000,\n"
               "                  where TarvikSensorSim's line lies in the demo's grid)\n"
               "  --size METRES   the area's side (default 10000)\n"
               "  --long-lines    a chart's mix: lines of 400 m and 6 km across any view,\n"
               "                  rectangles and polylines among the tracks\n",
               program);
}

bool number(const char *text, double &out) {
  char *end = nullptr;
  out = std::strtod(text, &end);
  return end != text && *end == '\0';
}

} // namespace

int main(int argc, char **argv) {
  sim::ScatteredDrawing d;
  d.centreEasting = 415900;
  d.centreNorthing = 4541000;
  std::string out;
  for (int i = 1; i < argc; ++i) {
    const std::string option = argv[i];
    if (option == "-h" || option == "--help") {
      usage(argv[0]);
      return 0;
    }
    if (option == "--long-lines") {
      d.longLines = true;
      continue;
    }
    if (i + 1 >= argc) {
      usage(argv[0]);
      return 2;
    }
    const char *value = argv[++i];
    double v = 0;
    bool ok = true;
    if (option == "--out") {
      out = value;
    } else if (option == "--shapes") {
      ok = number(value, v) && v >= 0 && v <= 1e8;
      d.shapes = static_cast<int>(v);
    } else if (option == "--size") {
      ok = number(value, v) && v > 0;
      d.size = v;
    } else if (option == "--centre") {
      const std::string text = value;
      const auto comma = text.find(',');
      ok = comma != std::string::npos && number(text.substr(0, comma).c_str(), d.centreEasting) &&
           number(text.substr(comma + 1).c_str(), d.centreNorthing);
    } else {
      ok = false;
    }
    if (!ok) {
      std::fprintf(stderr, "%s: bad option %s %s\n", argv[0], option.c_str(), value);
      usage(argv[0]);
      return 2;
    }
  }
  if (out.empty()) {
    usage(argv[0]);
    return 2;
  }
  DrawingModel drawing;
  d.trackLayer = drawing.LayerOpen(QStringLiteral("track_fix"));
  d.markLayer = drawing.LayerOpen(QStringLiteral("tarvik_usershape"));
  sim::addScatteredDrawing(drawing, d);
  if (!drawing.CadSave(platform::pathText(out), 0)) {
    std::fprintf(stderr, "%s: cannot write %s\n", argv[0], out.c_str());
    return 1;
  }
  std::printf("%s: %d shapes\n", out.c_str(), d.shapes);
  return 0;
}
