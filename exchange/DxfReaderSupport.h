// Inside the DXF reader: the line reader, number conversion and the import's working state,
// shared by the frame (DxfReader.cpp) and the entity branches (DxfReaderEntities.cpp).
#pragma once

#include "exchange/DxfCodePage.h"
#include "exchange/DxfReader.h"

#include <QHash>
#include <QString>
#include <cstddef>
#include <cstdint>
#include <memory>
#include <string>
#include <string_view>
#include <unordered_map>
#include <utility>
#include <vector>

namespace exchange::dxf {

// Where the bytes come from: a file or memory. Reads may return fewer bytes than asked.
class Source {
public:
  virtual ~Source() = default;
  // Up to n bytes; 0 at the end, -1 when reading failed.
  virtual long read(char *dst, std::size_t n) = 0;
  virtual bool seek(std::uint64_t offset) = 0;
};

// Trimmed lines, one reusable buffer. A line handed out stays valid until the next call.
class LineReader {
public:
  // chunkBytes: how much one read asks for (small for small inputs).
  LineReader(Source &source, std::size_t maxLineBytes, std::size_t chunkBytes);
  // Skips a UTF-8 byte-order mark; false when the first read failed.
  bool start();
  bool next(std::string_view &line);
  // Back to the first byte after the byte-order mark.
  bool rewind();
  bool failed() const { return failed_; }
  // The bytes at the start of the data, as far as the first read brought them.
  std::string_view head() const { return {buf_.get() + dataStart_, end_ - dataStart_}; }

private:
  bool fill();

  Source &source_;
  std::size_t maxLine_;
  std::size_t size_;
  std::unique_ptr<char[]> buf_; // left uninitialised: only bytes read are looked at
  std::size_t pos_ = 0;
  std::size_t end_ = 0;
  std::uint64_t dataStart_ = 0;
  bool eof_ = false;
  bool failed_ = false;
  bool skippingRest_ = false; // dropping the tail of an over-long line
};

std::string_view trimmed(std::string_view s);
// The C runtime's text-to-long reading (blanks, sign, digits up to the first other character;
// none gives 0), held to 32 bits as the DXF integers are.
std::int32_t toLong(std::string_view s);
// The C runtime's text-to-double reading with "." as the separator, whatever the locale.
double toReal(std::string_view s);

// What the budget counts, in bytes, beside the size of the object itself: the allocation, the
// pointers of the staged and the drawing's shape lists and the entry of its spatial index.
inline constexpr std::int64_t kShapeOverhead = 160;
// A layer: its slot, the key, the canvas layer record and the names.
inline constexpr std::int64_t kLayerCost = 512;
inline constexpr std::int64_t kBlockCost = 128 + sizeof(TQBlock);
inline constexpr std::int64_t kBlockLineCost = 32 + sizeof(TQLine);
// A point of the working list (a pair of doubles) at twice its size, as the list grows.
inline constexpr std::int64_t kWorkingPointBytes = 32;

// The canvas layer of that name, opened and flagged as coming from DXF when missing.
int openDxfLayer(DrawingModel &model, const QString &canvasName);

// A DXF layer met by this import, before it is put on the canvas.
struct LayerSlot {
  std::string dxfName;
  QString canvasName;     // "_dxf_" and the name read in the file's coding
  int existingIndex = -1; // the canvas layer when it was there before the import
  TColor pen = 0;
  int penWidth = 1;
  bool penFromTable = false;
};

// One import: reads the passes into staged layers, blocks and shapes and hands them to the
// model only once the whole file has been read.
class Importer {
public:
  Importer(DrawingModel &model, LineReader &reader, const DxfReadLimits &limits)
      : model_(model), in_(reader), limits_(limits) {}
  DxfImportOutcome run();

private:
  // ---- Reading
  // With header, the $ACADVER and $DWGCODEPAGE met on the way set the file's coding.
  bool findSection(std::string_view name, bool header = false);
  // The next record's name: at once when announced, else after passing over group pairs.
  bool nextRecordName(std::string &name);
  // The attribute loop: store(code, value) for each pair. True when it ended at a group-0 line
  // (the next record is announced), false at the end of the data.
  template <class Store> bool readGroups(Store &&store) {
    std::string_view code;
    std::string_view value;
    for (;;) {
      if (!in_.next(code))
        return false;
      if (code == "0") {
        announced_ = true;
        return true;
      }
      const std::int32_t c = toLong(code);
      if (!in_.next(value))
        return false;
      store(c, value);
    }
  }

  // ---- Passes
  void readLayerTable();
  void readBlocks();
  void readEntities();

  // ---- Entity branches (DxfReaderEntities.cpp)
  void readLineEntity();
  void readCircle();
  void readArc();
  void readEllipse();
  void readSolid();
  void readPoint();
  void readSpline();
  void readText();
  void readLwPolyline();
  void readPolyline();
  void readInsert();

  // ---- The memory budget
  // Takes the bytes from the budget; false (and the import stops) when they do not fit.
  bool charge(std::int64_t bytes);
  // False (and the import stops) when one more value in a working list of count values would
  // not fit.
  bool roomForPoint(std::size_t count);

  // ---- Staging
  int layerSlot(std::string_view dxfName);
  TColor entityColour(std::int32_t aci, int slot) const;
  const TQBlock *findBlock(const QString &name) const;
  // Keeps the shape when the budget holds it.
  void stage(std::unique_ptr<TQShape> shape);
  void stagePolyline(int slot, std::int32_t aci, bool closed);
  void commit();

  DrawingModel &model_;
  LineReader &in_;
  const DxfReadLimits &limits_;
  bool announced_ = false;
  DxfTextCoding coding_;
  std::int64_t used_ = 0;
  bool stopped_ = false;

  std::vector<LayerSlot> slots_;
  std::unordered_map<std::string, int> slotByName_;
  std::string lastSlotName_;
  int lastSlot_ = -1;

  std::vector<std::unique_ptr<TQBlock>> blocks_;
  QHash<QString, const TQBlock *> blockByName_;

  std::vector<std::unique_ptr<TQShape>> shapes_;

  // Reused between entities.
  std::string layerName_;
  std::string text_;
  std::vector<std::pair<double, double>> points_;
  std::vector<double> splineY_;
};

} // namespace exchange::dxf
