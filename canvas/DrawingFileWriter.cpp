// Writing the native drawing file: the text of a drawing, its compression, and the replacement
// of the old file that never leaves the target half-written.
#include "canvas/DrawingFile.h"

#include "canvas/DrawingModel.h"
#include "platform/AtomicFile.h"
#include "platform/CodePage.h"

#include <algorithm>
#include <charconv>
#include <cstdint>
#include <cstdlib>
#include <functional>
#include <memory>
#include <string>
#include <zlib.h>

namespace canvas {

namespace {

// Appends numbers the way the file wants them, whatever the C library's locale says.
class TextOut {
public:
  explicit TextOut(std::string &out) : out_(out) {}

  TextOut &word(std::string_view w) {
    out_ += w;
    return *this;
  }
  // A field: the separator blank, then the value.
  TextOut &real(double v) {
    out_ += ' ';
    return firstReal(v);
  }
  // A value that opens a line (the vertex lines have no keyword).
  TextOut &firstReal(double v) {
    char buf[400]; // the longest fixed form of a double with six decimals fits
    const auto r = std::to_chars(buf, buf + sizeof buf, v, std::chars_format::fixed, 6);
    out_.append(buf, r.ptr);
    return *this;
  }
  TextOut &integer(std::int64_t v) {
    char buf[24];
    const auto r = std::to_chars(buf, buf + sizeof buf, v);
    out_ += ' ';
    out_.append(buf, r.ptr);
    return *this;
  }
  // Colours are the 32-bit value read as signed: system colours come out negative.
  TextOut &colour(TColor c) { return integer(static_cast<std::int32_t>(c)); }
  TextOut &text(const QString &s) {
    out_ += ' ';
    out_ += platform::toAnsi(s);
    return *this;
  }
  void end() { out_ += '\n'; }

private:
  std::string &out_;
};

void twoDigits(std::string &out, int v) {
  out += static_cast<char>('0' + (v / 10) % 10);
  out += static_cast<char>('0' + v % 10);
}

void appendHeader(std::string &out, const platform::TDateTime &t) {
  out += "# Tarvik Pelmora - ZRV\n";
  out += "# Made by the Tarvik survey software\n";
  out += "# Created on: ";
  out += std::to_string(t.Year);
  out += '-';
  twoDigits(out, t.Month);
  out += '-';
  twoDigits(out, t.Day);
  out += ' ';
  twoDigits(out, t.Hour);
  out += ':';
  twoDigits(out, t.Minute);
  out += ':';
  twoDigits(out, t.Second);
  out += '.';
  twoDigits(out, t.MSec / 10);
  out += "\n#\n";
}

void appendPolyline(TextOut &w, const TQPolyline &p) {
  const char *keyword = p.ShapeType == 8    ? "SPLINE"
                        : p.ShapeType == 10 ? "ARC3P"
                        : p.Closed          ? "POLYGON"
                                            : "POLYLINE";
  const auto count = static_cast<std::int64_t>(p.Points.size());
  w.word(keyword).integer(p.Layer).integer(count).colour(p.PenFg).integer(p.PenWidth).end();
  // Vertices carry a float's precision: the stored value, widened.
  for (const TPointF &v : p.Points) {
    w.firstReal(v.X).real(v.Y).end();
  }
}

// One record for the shapes whose type code and class agree; others are left out.
void appendShape(TextOut &w, const TQShape &s) {
  switch (s.ShapeType) {
  case 3:
    if (auto *l = dynamic_cast<const TQLine *>(&s))
      w.word("LINE").real(l->X1).real(l->Y1).real(l->X2).real(l->Y2);
    else
      return;
    break;
  case 19:
    if (auto *c = dynamic_cast<const TQCircle *>(&s))
      w.word("CIRCLE").real(c->X).real(c->Y).real(c->Radius);
    else
      return;
    break;
  case 17:
    if (auto *p = dynamic_cast<const TQPoint *>(&s)) {
      w.word("POINT").real(p->X).real(p->Y).integer(p->Layer).colour(p->PenFg);
      w.integer(p->PenWidth).real(p->Size).end();
    }
    return;
  case 11:
    if (auto *t = dynamic_cast<const TQText *>(&s)) {
      w.word("TEXT").real(t->X).real(t->Y).integer(t->Layer).integer(t->FontIndex);
      w.colour(t->PenFg).real(t->Height).real(t->Angle).integer(t->Bold).integer(t->Italic);
      w.text(t->FontName).text(t->DisplayText).end();
    }
    return;
  case 5:
  case 6:
  case 8:
  case 10:
    if (auto *p = dynamic_cast<const TQPolyline *>(&s))
      appendPolyline(w, *p);
    return;
  case 1:
    if (auto *r = dynamic_cast<const TQRectangle *>(&s)) {
      w.word("RECTANGLE").real(r->X1).real(r->Y1).real(r->X2).real(r->Y2).integer(r->Layer);
      w.colour(r->PenFg).integer(r->PenWidth).colour(r->BrushFg).integer(r->BrushStyle);
      w.real(r->Value).end();
    }
    return;
  case 4:
  case 20:
    if (auto *e = dynamic_cast<const TQEllipse *>(&s))
      w.word("ELLIPSE").real(e->X1).real(e->Y1).real(e->X2).real(e->Y2);
    else
      return;
    break;
  default:
    return;
  }
  // The records that end in layer, colour and width.
  w.integer(s.Layer).colour(s.PenFg).integer(s.PenWidth).end();
}

// ---- Files

// Streams the magic and the compressed text into sink, or into out when out is given. A string
// is written in place, sized by zlib's bound for the text; a sink gets the stream through a
// buffer.
bool deflateInto(std::string_view text, const std::function<bool(std::string_view)> &sink,
                 std::string *out) {
  z_stream z{};
  if (deflateInit2(&z, Z_DEFAULT_COMPRESSION, Z_DEFLATED, 15, 8, Z_DEFAULT_STRATEGY) != Z_OK)
    return false;
  constexpr std::size_t kOut = 256 * 1024;
  constexpr std::size_t kMaxSpan = std::size_t{1} << 30; // zlib's sizes are 32-bit
  std::unique_ptr<char[]> buf;
  bool ok = true;
  if (out) {
    out->assign(drawingFileMagic);
    out->resize(out->size() + deflateBound(&z, static_cast<uLong>(text.size())));
  } else {
    buf = std::make_unique_for_overwrite<char[]>(kOut);
    ok = sink(drawingFileMagic);
  }
  std::size_t pos = 0;
  std::size_t written = drawingFileMagic.size();
  int rc = Z_OK;
  while (ok && rc != Z_STREAM_END) {
    if (z.avail_in == 0 && pos < text.size()) {
      const std::size_t n = std::min(kMaxSpan, text.size() - pos);
      z.next_in = reinterpret_cast<Bytef *>(const_cast<char *>(text.data() + pos));
      z.avail_in = static_cast<uInt>(n);
      pos += n;
    }
    const int flush = pos >= text.size() ? Z_FINISH : Z_NO_FLUSH;
    if (out && written == out->size())
      out->resize(written + kOut); // beyond the bound only if zlib ever needed it
    char *span = out ? out->data() + written : buf.get();
    const std::size_t room = out ? std::min(kMaxSpan, out->size() - written) : kOut;
    z.next_out = reinterpret_cast<Bytef *>(span);
    z.avail_out = static_cast<uInt>(room);
    rc = deflate(&z, flush);
    if (rc != Z_OK && rc != Z_STREAM_END && rc != Z_BUF_ERROR) {
      ok = false;
      break;
    }
    const std::size_t produced = room - z.avail_out;
    if (out)
      written += produced;
    else
      ok = sink(std::string_view(span, produced));
  }
  deflateEnd(&z);
  if (out)
    out->resize(ok ? written : 0);
  return ok;
}

} // namespace

std::string buildDrawingText(const DrawingModel &model, const platform::TDateTime &created) {
  std::string out;
  appendHeader(out, created);
  TextOut w(out);
  w.word("WORLD").real(model.WorldLeft).real(model.WorldRight).real(model.WorldBottom);
  w.real(model.WorldTop).end();
  for (const TQLayer *layer : model.Layers)
    w.word("LAYER").text(layer->Name).end();
  for (const TQShape *shape : model.Shapes)
    appendShape(w, *shape);
  return out;
}

std::string compressDrawingText(std::string_view text) {
  std::string out;
  deflateInto(text, nullptr, &out);
  return out;
}

bool writeDrawingFile(const std::string &path, std::string_view text) {
  try {
    // The drawing goes beside the old one and takes its place only when all of it is on disk.
    platform::AtomicFile file(path);
    // The stream's state is zlib's own: a failed write ends it as false, not by a throw.
    const auto toFile = [&file](std::string_view bytes) {
      try {
        file.write(bytes);
        return true;
      } catch (const platform::EFileError &) {
        return false;
      }
    };
    if (!deflateInto(text, toFile, nullptr))
      return false;
    file.commit();
    return true;
  } catch (const platform::EFileError &) {
    return false;
  }
}

} // namespace canvas
