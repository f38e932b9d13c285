// The R12 DXF export and TTarvikCanvas::DXFSave.
#include "exchange/DxfWriter.h"

#include "canvas/DrawingModel.h"
#include "canvas/TarvikCanvas.h"
#include "exchange/DxfCodePage.h"
#include "platform/AtomicFile.h"
#include "platform/CodePage.h"
#include "platform/Dialogs.h"
#include "platform/Paths.h"

#include <array>
#include <charconv>
#include <cmath>
#include <exception>
#include <unordered_map>
#include <unordered_set>

namespace exchange {

namespace {

// Pieces handed to the sink: large enough that a file is written in few calls, small enough
// that a million shapes never sit in memory as text.
constexpr std::size_t kPiece = std::size_t{1} << 20;

// R12 names are at most this long.
constexpr std::size_t kNameLength = 31;

class DxfOut {
public:
  explicit DxfOut(const DxfSink &sink) : sink_(sink) {}

  void line(std::string_view s) {
    buf_ += s;
    buf_ += '\n';
  }
  void pair(std::string_view code, std::string_view value) {
    line(code);
    line(value);
  }
  // Fixed notation, six decimals, "." whatever the locale.
  void real(std::string_view code, double v) {
    line(code);
    char tmp[400]; // the longest fixed form of a double with six decimals fits
    const auto r = std::to_chars(tmp, tmp + sizeof tmp, v, std::chars_format::fixed, 6);
    buf_.append(tmp, r.ptr);
    buf_ += '\n';
  }
  // Hands the text over once a piece is full; false once the sink refused.
  bool pass() { return buf_.size() >= kPiece ? flush() : ok_; }
  bool flush() {
    if (ok_ && !buf_.empty())
      ok_ = sink_(buf_);
    buf_.clear();
    return ok_;
  }

private:
  const DxfSink &sink_;
  std::string buf_;
  bool ok_ = true;
};

bool allFinite(std::initializer_list<double> values) {
  for (double v : values)
    if (!std::isfinite(v))
      return false;
  return true;
}

bool validNameChar(unsigned char c) {
  return (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z') || (c >= '0' && c <= '9') || c == '$' ||
         c == '-' || c == '_';
}

// R12 compares names without regard to case.
std::string nameKey(std::string_view name) {
  std::string key(name);
  for (char &c : key)
    if (c >= 'a' && c <= 'z')
      c = static_cast<char>(c - 'a' + 'A');
  return key;
}

// The distinct layer indices of all shapes, hidden ones too, in the order of first use.
std::vector<int> layersInUse(const DrawingModel &model) {
  std::vector<int> order;
  std::unordered_set<int> seen;
  bool haveLast = false;
  int last = 0;
  for (const TQShape *s : model.Shapes) {
    if (haveLast && s->Layer == last)
      continue;
    haveLast = true;
    last = s->Layer;
    if (seen.insert(last).second)
      order.push_back(last);
  }
  return order;
}

// Writes the entity of one visible shape, or nothing for a kind that is not exported; a shape
// with a value that is not finite is left out and counted.
class EntityWriter {
public:
  EntityWriter(DxfOut &out, DxfExportSummary &summary) : out_(out), summary_(summary) {}

  void write(const TQShape &s, const std::string &layer) {
    layer_ = &layer;
    switch (s.ShapeType) {
    case 3:
      if (auto *l = dynamic_cast<const TQLine *>(&s))
        line(*l);
      break;
    case 19:
      if (auto *c = dynamic_cast<const TQCircle *>(&s))
        circle(c->X, c->Y, c->Radius);
      break;
    case 17:
      if (auto *p = dynamic_cast<const TQPoint *>(&s))
        point(*p);
      break;
    case 11:
      if (auto *t = dynamic_cast<const TQText *>(&s))
        text(*t);
      break;
    case 1:
      if (auto *r = dynamic_cast<const TQRectangle *>(&s))
        rectangle(*r);
      break;
    case 20:
      if (auto *e = dynamic_cast<const TQEllipse *>(&s)) {
        const double cx = (e->X1 + e->X2) / 2.0;
        const double cy = (e->Y1 + e->Y2) / 2.0;
        const double r = (std::fabs(e->X2 - e->X1) / 2.0 + std::fabs(e->Y2 - e->Y1) / 2.0) / 2.0;
        circle(cx, cy, r);
      }
      break;
    case 5:
    case 6:
      if (auto *p = dynamic_cast<const TQPolyline *>(&s); p && !p->Points.empty())
        polyline(*p);
      break;
    default:
      break;
    }
  }

private:
  // True (and counted) when the shape cannot be written.
  bool leftOut(bool finite) {
    if (!finite)
      ++summary_.skippedNonFinite;
    return !finite;
  }
  void start(std::string_view name) {
    out_.pair("0", name);
    out_.pair("8", *layer_);
    ++summary_.entities;
  }
  void line(const TQLine &l) {
    if (leftOut(allFinite({l.X1, l.Y1, l.X2, l.Y2})))
      return;
    start("LINE");
    out_.real("10", l.X1);
    out_.real("20", l.Y1);
    out_.pair("30", "0.0");
    out_.real("11", l.X2);
    out_.real("21", l.Y2);
    out_.pair("31", "0.0");
  }
  void circle(double x, double y, double r) {
    if (leftOut(allFinite({x, y, r})))
      return;
    start("CIRCLE");
    out_.real("10", x);
    out_.real("20", y);
    out_.pair("30", "0.0");
    out_.real("40", r);
  }
  void point(const TQPoint &p) {
    if (leftOut(allFinite({p.X, p.Y})))
      return;
    start("POINT");
    out_.real("10", p.X);
    out_.real("20", p.Y);
    out_.pair("30", "0.0");
  }
  void text(const TQText &t) {
    const double height = t.Height > 0 ? t.Height : 2.5;
    if (leftOut(allFinite({t.X, t.Y, height, t.Angle})))
      return;
    start("TEXT");
    out_.real("10", t.X);
    out_.real("20", t.Y);
    out_.pair("30", "0.0");
    out_.real("40", height);
    out_.pair("1", dxfTextValue(t.DisplayText));
    if (t.Angle != 0)
      out_.real("50", t.Angle);
  }
  void rectangle(const TQRectangle &r) {
    if (leftOut(allFinite({r.X1, r.Y1, r.X2, r.Y2})))
      return;
    const std::array<std::pair<double, double>, 4> corners{
        {{r.X1, r.Y1}, {r.X2, r.Y1}, {r.X2, r.Y2}, {r.X1, r.Y2}}};
    startPolyline(true);
    for (const auto &[x, y] : corners)
      vertex(x, y);
    endPolyline();
  }
  void polyline(const TQPolyline &p) {
    // The stored floats, widened: what the canvas draws is what the file gets.
    for (const TPointF &v : p.Points)
      if (leftOut(std::isfinite(v.X) && std::isfinite(v.Y)))
        return;
    startPolyline(p.Closed);
    for (const TPointF &v : p.Points)
      vertex(v.X, v.Y);
    endPolyline();
  }
  void startPolyline(bool closed) {
    start("POLYLINE");
    out_.pair("66", "1");
    out_.pair("70", closed ? "1" : "0");
  }
  void vertex(double x, double y) {
    out_.pair("0", "VERTEX");
    out_.pair("8", *layer_);
    out_.real("10", x);
    out_.real("20", y);
    out_.pair("30", "0.0");
  }
  void endPolyline() {
    out_.pair("0", "SEQEND");
    out_.pair("8", *layer_);
  }

  DxfOut &out_;
  DxfExportSummary &summary_;
  const std::string *layer_ = nullptr;
};

} // namespace

std::vector<std::string> dxfLayerNames(const std::vector<QString> &canvasNames) {
  std::vector<std::string> names;
  names.reserve(canvasNames.size());
  std::unordered_set<std::string> taken;
  for (const QString &canvasName : canvasNames) {
    std::string base = platform::toAnsi(canvasName);
    for (char &c : base)
      if (!validNameChar(static_cast<unsigned char>(c)))
        c = '_';
    if (base.empty())
      base = "0";
    if (base.size() > kNameLength)
      base.resize(kNameLength);
    std::string name = base;
    for (int n = 2; taken.count(nameKey(name)) != 0; ++n) {
      const std::string suffix = "_" + std::to_string(n);
      name = base.substr(0, kNameLength - suffix.size()) + suffix;
    }
    taken.insert(nameKey(name));
    names.push_back(std::move(name));
  }
  return names;
}

namespace {

bool hexDigit(char c) {
  return (c >= '0' && c <= '9') || (c >= 'a' && c <= 'f') || (c >= 'A' && c <= 'F');
}

// Whether a reader would take the backslash at i for more than itself: the start of a
// "\U+XXXX" escape, one of a doubled pair, or a formatting code such as "\P" or "\F...;".
bool backslashReadAsCode(std::string_view text, std::size_t i) {
  if (i + 1 >= text.size())
    return false;
  const char next = text[i + 1];
  if (next == 'U')
    return i + 6 < text.size() && text[i + 2] == '+' && hexDigit(text[i + 3]) &&
           hexDigit(text[i + 4]) && hexDigit(text[i + 5]) && hexDigit(text[i + 6]);
  return next == '\\' || std::string_view("ACFHKLOPQSTWfp").find(next) != std::string_view::npos;
}

} // namespace

std::string dxfTextValue(const QString &text) {
  const std::string ansi = platform::toAnsi(text);
  std::string value;
  value.reserve(ansi.size());
  for (std::size_t i = 0; i < ansi.size(); ++i) {
    const unsigned char c = static_cast<unsigned char>(ansi[i]);
    if (c == '\r' && i + 1 < ansi.size() && ansi[i + 1] == '\n')
      ++i; // one break, one blank
    // A break would split the value over two lines and shift the pairing of every line after
    // it; other control characters end lines for some readers too.
    if (c == '\\' && backslashReadAsCode(ansi, i))
      value += "\\U+005C"; // the backslash itself, as every reader of escapes gives it back
    else
      value += (c < 0x20 && c != '\t') || c == 0x7F ? ' ' : static_cast<char>(c);
  }
  return value;
}

bool writeDxf(const DrawingModel &model, const DxfSink &sink, DxfExportSummary *summary) {
  DxfExportSummary counts;
  DxfOut out(sink);

  double left = model.WorldLeft, bottom = model.WorldBottom;
  double right = model.WorldRight, top = model.WorldTop;
  if (!allFinite({left, bottom, right, top})) {
    // A broken view must not break the file; the fresh canvas's window stands in for it.
    left = bottom = 0.0;
    right = top = 1000.0;
  }
  out.pair("0", "SECTION");
  out.pair("2", "HEADER");
  out.pair("9", "$ACADVER");
  out.pair("1", "AC1009");
  // Names and texts are written in the ANSI code page; a reader that is not told so takes
  // another one, and Turkish letters come out as others.
  out.pair("9", "$DWGCODEPAGE");
  out.pair("3", kAnsiDwgCodePage);
  out.pair("9", "$INSBASE");
  out.pair("10", "0.0");
  out.pair("20", "0.0");
  out.pair("30", "0.0");
  out.pair("9", "$EXTMIN");
  out.real("10", left);
  out.real("20", bottom);
  out.pair("30", "0.0");
  out.pair("9", "$EXTMAX");
  out.real("10", right);
  out.real("20", top);
  out.pair("30", "0.0");
  out.pair("0", "ENDSEC");

  const std::vector<int> indices = layersInUse(model);
  std::vector<const TQLayer *> declared;
  std::vector<QString> canvasNames;
  for (int index : indices) {
    if (const TQLayer *layer = model.FindLayer(index)) {
      declared.push_back(layer);
      canvasNames.push_back(layer->Name);
    }
  }
  const std::vector<std::string> names = dxfLayerNames(canvasNames);
  std::unordered_map<int, const std::string *> nameOf;
  for (std::size_t i = 0; i < declared.size(); ++i)
    nameOf.emplace(declared[i]->Index, &names[i]);

  out.pair("0", "SECTION");
  out.pair("2", "TABLES");
  out.pair("0", "TABLE");
  out.pair("2", "LAYER");
  out.pair("70", std::to_string(indices.size()));
  for (const std::string &name : names) {
    out.pair("0", "LAYER");
    out.pair("2", name);
    out.pair("70", "0");
    out.pair("62", "7");
    out.pair("6", "CONTINUOUS");
  }
  out.pair("0", "ENDTAB");
  out.pair("0", "ENDSEC");

  out.pair("0", "SECTION");
  out.pair("2", "ENTITIES");
  static const std::string noLayer = "0";
  EntityWriter entities(out, counts);
  for (const TQShape *s : model.Shapes) {
    if (!s->Visible)
      continue;
    const auto it = nameOf.find(s->Layer);
    entities.write(*s, it != nameOf.end() ? *it->second : noLayer);
    if (!out.pass())
      break;
  }
  out.pair("0", "ENDSEC");
  out.pair("0", "EOF");
  const bool ok = out.flush();
  if (summary)
    *summary = counts;
  return ok;
}

std::string buildDxfText(const DrawingModel &model, DxfExportSummary *summary) {
  std::string text;
  writeDxf(
      model,
      [&text](std::string_view piece) {
        text += piece;
        return true;
      },
      summary);
  return text;
}

bool saveDxfFile(const DrawingModel &model, const std::string &path, DxfExportSummary *summary) {
  DxfExportSummary own;
  DxfExportSummary &result = summary ? *summary : own;
  result.failure.clear();
  try {
    // Written beside an earlier export of that name, which it replaces only when complete.
    platform::AtomicFile file(path);
    const auto toFile = [&file, &result](std::string_view piece) {
      try {
        file.write(piece);
        return true;
      } catch (const platform::EFileError &e) {
        result.failure = e.what();
        return false;
      }
    };
    if (!writeDxf(model, toFile, &result)) {
      if (result.failure.empty())
        result.failure = "Cannot write file \"" + path + "\"";
      return false;
    }
    file.commit();
    return true;
  } catch (const std::exception &e) {
    result.failure = e.what();
    return false;
  }
}

} // namespace exchange

int TTarvikCanvas::DXFSave(const QString &fileName) {
  dxfSaveFailure_.clear();
  try {
    exchange::DxfExportSummary summary;
    if (!exchange::saveDxfFile(*this, platform::localPath(fileName), &summary)) {
      dxfSaveFailure_ = platform::pathText(summary.failure);
      return 0;
    }
    if (summary.skippedNonFinite > 0)
      platform::ShowMessage(
          QStringLiteral("DXF export: %1 shapes were left out because a coordinate or size "
                         "of theirs is not a finite number.")
              .arg(summary.skippedNonFinite));
    return 1;
  } catch (const std::exception &e) {
    dxfSaveFailure_ = platform::pathText(e.what());
    return 0;
  }
}
