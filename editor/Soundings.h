// The editor's soundings: one record per accepted line of a sounding file, the reader of those
// files (the navigation program's simple XYZ file or any three-column text) and the writer of
// the edited copy. No widget here, so tests and benchmarks use it alone.
#pragma once

#include <QString>
#include <cstddef>
#include <cstdint>
#include <functional>
#include <string>
#include <string_view>
#include <vector>

// One sounding. A record read from a file has all three flags clear; deleting only sets
// `deleted`, so a point's index is its identity for as long as its file is open.
struct strPoint {
  double X = 0.0;
  double Y = 0.0;
  double Z = 0.0;
  std::uint8_t selected = 0;
  std::uint8_t processed = 0;
  std::uint8_t deleted = 0;

  bool operator==(const strPoint &) const = default;
};

using SoundingList = std::vector<strPoint>;

// No coordinate or height of a sounding lies further from 0 than this. Numbers near the limits
// of a double would make the extent of a plan infinite (and its pixels undefined); no survey
// comes anywhere near it.
constexpr double maxSoundingMagnitude = 1e15;

// Reads one line as three numbers by the first of the patterns "%lf,%lf,%lf", "%lf;%lf;%lf",
// "%lf\t%lf\t%lf", "%lf %lf %lf" that converts all three, with the C library's scanning rules
// and "." decimals whatever the locale. Text after the third number is ignored. A number that is
// not finite (nan, inf, out of range) or written in hexadecimal makes the pattern fail, so such
// a line is as unreadable as a header; so does a line whose numbers convert but one of them lies
// beyond maxSoundingMagnitude.
bool parseSoundingLine(std::string_view line, strPoint &point);

// The longest line a sounding file may hold, in bytes without its line feed. Three numbers and
// whatever columns follow them fit many times over; a longer line means the file is not a
// sounding file (a binary file, or text without line feeds), and reading stops there, so that
// time and memory stay bounded whatever the file holds.
constexpr std::size_t maxSoundingLineLength = 64 * 1024;

// What a read found besides the soundings.
struct SoundingReadSummary {
  std::size_t lines = 0;            // lines seen (up to the refusal)
  std::size_t accepted = 0;         // soundings appended
  std::size_t skippedLines = 0;     // lines with text that no pattern reads
  std::size_t firstSkippedLine = 0; // 1-based; 0 when none was skipped
  // Blank lines, and lines without any digit above the first sounding (column titles such as
  // "Easting,Northing,Elevation"), are not counted as skipped.
  bool opened = true;          // false: the file could not be opened (or is no regular file)
  bool refused = false;        // not read after all (a line too long, a read error): nothing
                               // was appended
  std::size_t refusedLine = 0; // 1-based number of the line that was too long, if that was it
  std::string error;           // why the file could not be opened or read, when it could not
};

// Reads soundings from bytes that arrive in pieces, in time linear in their size, holding at
// most one line besides the piece given. Lines end at LF; a CR before it is trailing text.
class SoundingReader {
public:
  explicit SoundingReader(SoundingList &points);
  // Takes the next bytes; false once the input was refused (what came after it is ignored).
  bool feed(std::string_view bytes);
  // The last line, when it has no line feed. Call once after the last feed.
  void finish();
  // The input could not be read to its end: what was appended is taken back.
  void abandon(std::string error);
  const SoundingReadSummary &summary() const { return summary_; }

private:
  void takeLine(std::string_view line);
  void dropAppended();

  SoundingList &points_;
  std::size_t firstNew_;
  std::string partial_; // the unfinished last line, never over maxSoundingLineLength
  SoundingReadSummary summary_;
};

// Appends every accepted line of the bytes. A refused input appends nothing.
SoundingReadSummary readSoundings(std::string_view bytes, SoundingList &points);

// Appends every accepted line of the file; a file that cannot be opened adds nothing (nor does
// one that is refused).
SoundingReadSummary readXyzFile(const QString &fileName, SoundingList &points);

// The messages of the Open command: why a file could not be opened or was not read (empty when
// it was), and how many of its lines were skipped (empty when none was).
QString refusalMessage(const QString &fileName, const SoundingReadSummary &read);
QString skippedLinesMessage(const SoundingReadSummary &read);
// The message of a file that leaves fewer than three soundings: the possible reasons, and when
// lines were skipped, which they were and how few soundings remain, so that a file of bad
// numbers is not taken for a short one.
QString tooFewSoundingsMessage(const SoundingReadSummary &read, std::size_t soundings);

// The name of the edited copy: the opened name with "_edited.txt" after its extension.
QString editedFileName(const QString &fileName);

// One output line: X, a tab, Y, a tab, Z in fixed notation ("." decimals; X and Y with 8
// decimals for a geographic file, else 2; Z with 2), then CR LF. Appended to `out`.
void appendSoundingLine(std::string &out, const strPoint &point, bool geographic);

// Whether a save wrote its file, and if not, why (naming the file).
struct SoundingWriteResult {
  bool written = false;
  std::string error;
  operator bool() const { return written; } // callers that only ask whether it worked
};

// Writes the live (not deleted) soundings to the file, created or replaced. The new content is
// written beside the file and takes its place only when all of it was written, so a failure
// leaves an earlier file as it was. `progress`, when set, is called now and then with the index
// reached (a bounded number of times, whatever the size).
SoundingWriteResult writeSoundings(const QString &fileName, const SoundingList &points,
                                   bool geographic,
                                   const std::function<void(std::size_t)> &progress = {});
