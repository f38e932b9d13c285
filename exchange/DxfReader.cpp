// The frame of the DXF import: reading lines, the section search, the layer table, the blocks
// and the hand-over of everything read to the model.
#include "exchange/DxfReader.h"
#include "exchange/DxfReaderSupport.h"

#include "platform/CodePage.h"
#include "platform/Convert.h"
#include "platform/Paths.h"
#include "platform/RegularFile.h"

#include <algorithm>
#include <cerrno>
#include <charconv>
#include <clocale>
#include <cstdlib>
#include <cstring>
#include <limits>
#include <locale.h>
#include <unistd.h>

namespace {

bool isDxfBlank(char c) { return c == ' ' || c == '\t' || c == '\r'; }

} // namespace

void TrimDxfValue(std::string &value) {
  const std::string_view t = exchange::dxf::trimmed(value);
  if (t.size() == value.size())
    return;
  value = std::string(t);
}

int AciToColor(int n) {
  auto rgb = [](int r, int g, int b) { return r | (g << 8) | (b << 16); };
  switch (n) {
  case 1:
    return rgb(255, 0, 0);
  case 2:
    return rgb(255, 255, 0);
  case 3:
    return rgb(0, 255, 0);
  case 4:
    return rgb(0, 255, 255);
  case 5:
    return rgb(0, 0, 255);
  case 6:
    return rgb(255, 0, 255);
  case 7:
    return rgb(255, 255, 255);
  case 8:
    return rgb(128, 128, 128);
  case 9:
    return rgb(192, 192, 192);
  default:
    break;
  }
  if (n >= 10 && n <= 255)
    return rgb((17 * n) % 256, (37 * n) % 256, (53 * n) % 256);
  return -1;
}

std::string StripMtextCodes(const std::string &text, bool keepDoubledBackslashes) {
  static constexpr std::string_view codes = "ACFHKLOPQSTWfp";
  std::string out;
  out.reserve(text.size());
  bool skipping = false;
  for (std::size_t i = 0; i < text.size(); ++i) {
    const char c = text[i];
    if (c == '\\' && i + 1 < text.size()) {
      const char code = text[i + 1];
      if (codes.find(code) != std::string_view::npos) {
        skipping = true;
        ++i;
        continue;
      }
      if (code == '\\') {
        out += keepDoubledBackslashes ? "\\\\" : "\\";
        ++i;
        continue;
      }
    }
    if (skipping) {
      if (c == ';' || c == ' ')
        skipping = false;
      continue;
    }
    out += c;
  }
  return out;
}

namespace exchange {
namespace dxf {

std::string_view trimmed(std::string_view s) {
  std::size_t b = 0;
  std::size_t e = s.size();
  while (b < e && isDxfBlank(s[b]))
    ++b;
  while (e > b && isDxfBlank(s[e - 1]))
    --e;
  return s.substr(b, e - b);
}

std::int32_t toLong(std::string_view s) {
  std::size_t i = 0;
  while (i < s.size() && (s[i] == ' ' || (s[i] >= '\t' && s[i] <= '\r')))
    ++i;
  bool negative = false;
  if (i < s.size() && (s[i] == '+' || s[i] == '-'))
    negative = s[i++] == '-';
  // Saturates like a 32-bit strtol; the magnitude stops growing once it is out of range.
  std::int64_t v = 0;
  for (; i < s.size() && s[i] >= '0' && s[i] <= '9'; ++i)
    if (v <= std::int64_t{1} << 32)
      v = v * 10 + (s[i] - '0');
  if (negative)
    v = -v;
  return static_cast<std::int32_t>(std::clamp<std::int64_t>(
      v, std::numeric_limits<std::int32_t>::min(), std::numeric_limits<std::int32_t>::max()));
}

namespace {

// strtod in the classic locale, for what the fast path leaves (hexadecimal, out of range).
double classicStrtod(std::string_view s) {
  static const locale_t classic = newlocale(LC_ALL_MASK, "C", static_cast<locale_t>(nullptr));
  const std::string copy(s);
  return strtod_l(copy.c_str(), nullptr, classic);
}

} // namespace

double toReal(std::string_view s) {
  std::size_t i = 0;
  while (i < s.size() && (s[i] == ' ' || (s[i] >= '\t' && s[i] <= '\r')))
    ++i;
  std::string_view rest = s.substr(i);
  bool plus = false;
  if (!rest.empty() && rest[0] == '+') {
    plus = true;
    rest.remove_prefix(1);
    if (!rest.empty() && (rest[0] == '+' || rest[0] == '-'))
      return 0.0;
  }
  double v = 0.0;
  const auto [end, ec] = std::from_chars(rest.data(), rest.data() + rest.size(), v);
  if (ec == std::errc::invalid_argument)
    return 0.0;
  const bool hex = end < rest.data() + rest.size() && (*end == 'x' || *end == 'X');
  if (ec == std::errc::result_out_of_range || hex)
    return classicStrtod(plus ? rest : s.substr(i));
  return v;
}

int openDxfLayer(DrawingModel &model, const QString &canvasName) {
  const int found = model.LayerFindByName(canvasName);
  if (found >= 0)
    return found;
  const int index = model.LayerOpen(canvasName);
  if (TQLayer *l = model.FindLayer(index))
    l->FromDXF = true;
  return index;
}

// ---- LineReader

LineReader::LineReader(Source &source, std::size_t maxLineBytes, std::size_t chunkBytes)
    : source_(source), maxLine_(std::max<std::size_t>(maxLineBytes, 16)),
      size_(maxLine_ + std::max<std::size_t>(chunkBytes, 16)), buf_(new char[size_]) {}

bool LineReader::fill() {
  if (pos_ > 0) {
    std::memmove(buf_.get(), buf_.get() + pos_, end_ - pos_);
    end_ -= pos_;
    pos_ = 0;
  }
  const long got = source_.read(buf_.get() + end_, size_ - end_);
  if (got < 0) {
    failed_ = true;
    eof_ = true;
    return false;
  }
  if (got == 0) {
    eof_ = true;
    return false;
  }
  end_ += static_cast<std::size_t>(got);
  return true;
}

bool LineReader::start() {
  while (!eof_ && end_ < 3)
    fill();
  if (failed_)
    return false;
  if (end_ >= 3 && static_cast<unsigned char>(buf_[0]) == 0xEF &&
      static_cast<unsigned char>(buf_[1]) == 0xBB && static_cast<unsigned char>(buf_[2]) == 0xBF) {
    dataStart_ = 3;
    pos_ = 3;
  }
  return true;
}

bool LineReader::rewind() {
  pos_ = end_ = 0;
  eof_ = false;
  skippingRest_ = false;
  if (failed_ || !source_.seek(dataStart_)) {
    failed_ = true;
    eof_ = true;
    return false;
  }
  return true;
}

bool LineReader::next(std::string_view &line) {
  for (;;) {
    if (pos_ < end_) {
      const char *from = buf_.get() + pos_;
      const auto *nl = static_cast<const char *>(std::memchr(from, '\n', end_ - pos_));
      if (nl) {
        const std::size_t len = static_cast<std::size_t>(nl - from);
        pos_ += len + 1;
        if (skippingRest_) {
          skippingRest_ = false;
          continue;
        }
        line = trimmed(std::string_view(from, std::min(len, maxLine_)));
        return true;
      }
      if (skippingRest_) {
        pos_ = end_;
      } else if (end_ - pos_ >= maxLine_) {
        // A line longer than the limit keeps its first bytes; the rest up to its line feed goes.
        line = trimmed(std::string_view(from, maxLine_));
        pos_ = end_;
        skippingRest_ = true;
        return true;
      }
    }
    if (eof_) {
      if (pos_ < end_ && !skippingRest_) {
        line = trimmed(std::string_view(buf_.get() + pos_, end_ - pos_));
        pos_ = end_;
        return true;
      }
      return false;
    }
    fill();
  }
}

// ---- Reading records

bool Importer::findSection(std::string_view name, bool header) {
  // The header variables are picked up on the way without reading the header as pairs, so
  // that a header out of step cannot carry the search past the section it looks for.
  std::string version;
  std::string codePage;
  std::string *target = nullptr;
  int linesToValue = 0;
  auto next = [&](std::string_view &line) {
    if (!in_.next(line))
      return false;
    if (!header)
      return true;
    if (linesToValue > 0) {
      if (--linesToValue == 0)
        target->assign(line);
    } else if (line == "$ACADVER" && version.empty()) {
      target = &version;
      linesToValue = 2; // the group code, then the value
    } else if (line == "$DWGCODEPAGE" && codePage.empty()) {
      target = &codePage;
      linesToValue = 2;
    }
    return true;
  };
  std::string_view line;
  bool found = false;
  for (;;) {
    if (!next(line))
      break;
    if (line != "0")
      continue;
    if (!next(line))
      break;
    if (line != "SECTION")
      continue;
    if (!next(line) || !next(line))
      break;
    if (line == name) {
      found = true;
      break;
    }
  }
  if (header)
    coding_ = DxfTextCoding(version, codePage);
  return found;
}

bool Importer::nextRecordName(std::string &name) {
  std::string_view line;
  if (announced_) {
    announced_ = false;
    if (!in_.next(line))
      return false;
    name.assign(line);
    return true;
  }
  // Passed over pair by pair: a value line that reads "0" (a layer named 0, a flag of 0) is
  // never taken for the start of a record.
  for (;;) {
    if (!in_.next(line))
      return false;
    if (line == "0") {
      if (!in_.next(line))
        return false;
      name.assign(line);
      return true;
    }
    if (!in_.next(line))
      return false;
  }
}

// ---- Passes

void Importer::readLayerTable() {
  std::string name;
  while (!stopped_ && nextRecordName(name)) {
    if (name == "ENDSEC")
      return;
    if (name != "LAYER")
      continue;
    std::string layer;
    std::int32_t colour = 7;
    readGroups([&](std::int32_t code, std::string_view value) {
      if (code == 2)
        layer.assign(value);
      else if (code == 62)
        colour = toLong(value);
    });
    if (layer.empty())
      continue;
    const int slot = layerSlot(layer);
    if (slot < 0)
      return;
    const int c = AciToColor(colour);
    if (c >= 0) {
      slots_[static_cast<std::size_t>(slot)].pen = static_cast<TColor>(c);
      slots_[static_cast<std::size_t>(slot)].penFromTable = true;
    }
  }
}

void Importer::readBlocks() {
  std::string name;
  std::unique_ptr<TQBlock> current;
  while (!stopped_ && nextRecordName(name)) {
    if (name == "ENDSEC")
      return;
    if (name == "BLOCK") {
      current = std::make_unique<TQBlock>();
      TQBlock &b = *current;
      std::string blockName;
      readGroups([&](std::int32_t code, std::string_view value) {
        if (code == 2)
          blockName.assign(value);
        else if (code == 10)
          b.BaseX = toReal(value);
        else if (code == 20)
          b.BaseY = toReal(value);
      });
      b.Name = coding_.name(blockName);
      if (!charge(kBlockCost + 2 * static_cast<std::int64_t>(blockName.size())))
        return;
    } else if (name == "ENDBLK") {
      if (current) {
        // A name listed before keeps its first block, as a scan of the block list finds it.
        if (!blockByName_.contains(current->Name))
          blockByName_.insert(current->Name, current.get());
        blocks_.push_back(std::move(current));
      }
    } else if (name == "LINE" && current) {
      double x1 = 0, y1 = 0, x2 = 0, y2 = 0;
      readGroups([&](std::int32_t code, std::string_view value) {
        switch (code) {
        case 10:
          x1 = toReal(value);
          break;
        case 20:
          y1 = toReal(value);
          break;
        case 11:
          x2 = toReal(value);
          break;
        case 21:
          y2 = toReal(value);
          break;
        default:
          break;
        }
      });
      if (!charge(kBlockLineCost))
        return;
      current->Shapes.push_back(std::make_unique<TQLine>(x1, y1, x2, y2, 0));
    }
  }
}

void Importer::readEntities() {
  std::string name;
  while (!stopped_ && nextRecordName(name)) {
    if (name == "ENDSEC")
      return;
    if (name == "LINE")
      readLineEntity();
    else if (name == "CIRCLE")
      readCircle();
    else if (name == "ARC")
      readArc();
    else if (name == "ELLIPSE")
      readEllipse();
    else if (name == "SOLID" || name == "TRACE")
      readSolid();
    else if (name == "POINT")
      readPoint();
    else if (name == "SPLINE")
      readSpline();
    else if (name == "TEXT" || name == "MTEXT")
      readText();
    else if (name == "LWPOLYLINE")
      readLwPolyline();
    else if (name == "POLYLINE")
      readPolyline();
    else if (name == "INSERT")
      readInsert();
  }
}

DxfImportOutcome Importer::run() {
  DxfImportOutcome out;
  out.memoryBudget = limits_.memoryBudget;
  if (!in_.start())
    return out;
  if (in_.head().substr(0, 18) == "AutoCAD Binary DXF") {
    out.status = DxfImportOutcome::Status::Binary;
    return out;
  }
  if (!findSection("ENTITIES", true)) {
    if (!in_.failed())
      out.status = DxfImportOutcome::Status::NoEntitiesSection;
    return out;
  }
  // Blocks that earlier imports listed come first, as a scan of the block list finds them.
  for (const auto &b : model_.Blocks)
    if (!blockByName_.contains(b->Name))
      blockByName_.insert(b->Name, b.get());

  in_.rewind();
  announced_ = false;
  if (findSection("TABLES"))
    readLayerTable();
  in_.rewind();
  announced_ = false;
  if (!stopped_ && findSection("BLOCKS"))
    readBlocks();
  in_.rewind();
  announced_ = false;
  if (!stopped_ && findSection("ENTITIES"))
    readEntities();
  if (in_.failed())
    return out;

  commit();
  out.status = DxfImportOutcome::Status::Imported;
  out.importCount = static_cast<int>(shapes_.size());
  out.stoppedAtBudget = stopped_;
  out.budgetUsed = used_;
  return out;
}

// ---- The memory budget

bool Importer::charge(std::int64_t bytes) {
  if (stopped_ || bytes > limits_.memoryBudget - used_) {
    stopped_ = true;
    return false;
  }
  used_ += bytes;
  return true;
}

bool Importer::roomForPoint(std::size_t count) {
  // The working list of a record's points, grown by doubling, and the points kept of it.
  const auto working = static_cast<std::int64_t>(count + 1) * kWorkingPointBytes;
  if (stopped_ || working > limits_.memoryBudget - used_) {
    stopped_ = true;
    return false;
  }
  return true;
}

void Importer::stage(std::unique_ptr<TQShape> shape) {
  std::int64_t cost = kShapeOverhead;
  switch (shape->ShapeType) {
  case 11:
    cost += sizeof(TQText);
    if (const auto *t = dynamic_cast<const TQText *>(shape.get()))
      cost += 2 * static_cast<std::int64_t>(t->DisplayText.size()) + 32;
    break;
  case 5:
  case 6:
    cost += sizeof(TQPolyline);
    if (const auto *p = dynamic_cast<const TQPolyline *>(shape.get()))
      cost += static_cast<std::int64_t>(p->Points.capacity() * sizeof(TPointF));
    break;
  case 17:
    cost += sizeof(TQPoint);
    break;
  case 19:
    cost += sizeof(TQCircle);
    break;
  default:
    cost += sizeof(TQLine);
    break;
  }
  if (charge(cost))
    shapes_.push_back(std::move(shape));
}

// ---- Staging

int Importer::layerSlot(std::string_view dxfName) {
  if (lastSlot_ >= 0 && dxfName == lastSlotName_)
    return lastSlot_;
  const auto found = slotByName_.find(std::string(dxfName));
  if (found != slotByName_.end()) {
    lastSlotName_.assign(dxfName);
    lastSlot_ = found->second;
    return lastSlot_;
  }
  // The slot, its key, the canvas layer it becomes and the names of both.
  if (!charge(kLayerCost + 8 * static_cast<std::int64_t>(dxfName.size())))
    return -1;
  LayerSlot s;
  s.dxfName.assign(dxfName);
  s.canvasName = QStringLiteral("_dxf_") + coding_.name(dxfName);
  const int existing = model_.LayerFindByName(s.canvasName);
  if (const TQLayer *l = existing >= 0 ? model_.FindLayer(existing) : nullptr) {
    s.existingIndex = existing;
    s.pen = l->PenFg;
    s.penWidth = l->PenWidth;
  }
  lastSlot_ = static_cast<int>(slots_.size());
  slotByName_.emplace(s.dxfName, lastSlot_);
  lastSlotName_ = s.dxfName;
  slots_.push_back(std::move(s));
  return lastSlot_;
}

TColor Importer::entityColour(std::int32_t aci, int slot) const {
  const int c = aci < 0 ? -1 : AciToColor(aci);
  return c >= 0 ? static_cast<TColor>(c) : slots_[static_cast<std::size_t>(slot)].pen;
}

const TQBlock *Importer::findBlock(const QString &name) const {
  return blockByName_.value(name, nullptr);
}

void Importer::commit() {
  // Layers in the order the file named them, so the last one opened is the current layer.
  std::vector<int> index(slots_.size());
  for (std::size_t i = 0; i < slots_.size(); ++i) {
    const LayerSlot &s = slots_[i];
    index[i] = s.existingIndex >= 0 ? s.existingIndex : openDxfLayer(model_, s.canvasName);
    if (s.penFromTable)
      if (TQLayer *l = model_.FindLayer(index[i]))
        l->PenFg = s.pen;
  }
  for (auto &b : blocks_)
    model_.Blocks.push_back(std::move(b));
  model_.Shapes.reserve(static_cast<std::size_t>(model_.Shapes.size()) + shapes_.size());
  for (auto &s : shapes_) {
    s->Layer = index[static_cast<std::size_t>(s->Layer)];
    model_.appendShape(std::move(s));
  }
}

// ---- Sources

namespace {

class MemorySource : public Source {
public:
  explicit MemorySource(std::string_view bytes) : bytes_(bytes) {}
  long read(char *dst, std::size_t n) override {
    const std::size_t k = std::min(n, bytes_.size() - pos_);
    std::memcpy(dst, bytes_.data() + pos_, k);
    pos_ += k;
    return static_cast<long>(k);
  }
  bool seek(std::uint64_t offset) override {
    pos_ = static_cast<std::size_t>(std::min<std::uint64_t>(offset, bytes_.size()));
    return true;
  }

private:
  std::string_view bytes_;
  std::size_t pos_ = 0;
};

class FileSource : public Source {
public:
  explicit FileSource(int fd) : fd_(fd) {}
  ~FileSource() override { ::close(fd_); }
  FileSource(const FileSource &) = delete;
  FileSource &operator=(const FileSource &) = delete;
  long read(char *dst, std::size_t n) override {
    for (;;) {
      const ssize_t got = ::read(fd_, dst, n);
      if (got >= 0 || errno != EINTR)
        return static_cast<long>(got);
    }
  }
  bool seek(std::uint64_t offset) override {
    return ::lseek(fd_, static_cast<off_t>(offset), SEEK_SET) >= 0;
  }

private:
  int fd_;
};

DxfImportOutcome importFrom(DrawingModel &model, Source &source, const DxfReadLimits &limits,
                            std::size_t chunk) {
  LineReader reader(source, limits.maxLineBytes, chunk);
  Importer importer(model, reader, limits);
  return importer.run();
}

} // namespace
} // namespace dxf

int getOrCreateDxfLayer(DrawingModel &model, std::string_view dxfLayerName) {
  return dxf::openDxfLayer(model, QStringLiteral("_dxf_") + platform::fromAnsi(dxfLayerName));
}

DxfImportOutcome importDxfBytes(DrawingModel &model, std::string_view bytes,
                                const DxfReadLimits &limits) {
  dxf::MemorySource source(bytes);
  return dxf::importFrom(model, source, limits, std::min(bytes.size() + 1, std::size_t{256} << 10));
}

DxfImportOutcome importDxfFile(DrawingModel &model, const QString &fileName,
                               const DxfReadLimits &limits) {
  // Only plain files are read: a named pipe or a device would hold the program.
  const int fd = platform::openRegularFileForReading(platform::localPath(fileName));
  if (fd < 0)
    return {};
  dxf::FileSource source(fd);
  return dxf::importFrom(model, source, limits, std::size_t{256} << 10);
}

namespace {

QString budgetNote(const DxfImportOutcome &outcome) {
  return QStringLiteral("The import stopped at its memory limit of %1 MB: the rest of the file "
                        "was left out.")
      .arg(outcome.memoryBudget >> 20);
}

} // namespace

QString dxfLoadSummary(const DrawingModel &model, const DxfImportOutcome &outcome) {
  int lines = 0;
  int circles = 0;
  int texts = 0;
  int polylines = 0;
  const TQText *firstText = nullptr;
  for (const TQShape *s : model.Shapes) {
    switch (s->ShapeType) {
    case 3:
      ++lines;
      break;
    case 19:
      ++circles;
      break;
    case 11:
      ++texts;
      if (!firstText)
        firstText = dynamic_cast<const TQText *>(s);
      break;
    case 5:
    case 6:
      ++polylines;
      break;
    default:
      break;
    }
  }
  QString msg = QStringLiteral("DXF loaded: %1 entities\nLines: %2, Circles: %3, Texts: %4, "
                               "Polylines: %5\nBlocks: %6")
                    .arg(outcome.importCount)
                    .arg(lines)
                    .arg(circles)
                    .arg(texts)
                    .arg(polylines)
                    .arg(model.Blocks.size());
  if (texts > 0) {
    const QString text = firstText ? firstText->DisplayText : QString();
    const double height = firstText ? firstText->Height : 0.0;
    msg += QStringLiteral("\nFirst text: '") + text + QStringLiteral("' FontSize=") +
           QString::fromStdString(platform::FloatToStr(height));
  }
  if (outcome.stoppedAtBudget)
    msg += QStringLiteral("\n") + budgetNote(outcome);
  return msg;
}

QString dxfNothingImportedMessage(const DxfImportOutcome &outcome) {
  QString msg = QStringLiteral("DXF load failed: No entities found");
  if (outcome.stoppedAtBudget)
    msg += QStringLiteral("\n") + budgetNote(outcome);
  return msg;
}

} // namespace exchange
