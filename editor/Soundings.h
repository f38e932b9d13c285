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

// Reads one line as three numbers by the first of the patterns "%lf,%lf,%lf", "%lf;%lf;%lf",
// "%lf\t%lf\t%lf", "%lf %lf %lf" that converts all three, with the C library's scanning rules
// and "." decimals whatever the locale. Text after the third number is ignored. A number that is
// not finite (nan, inf, out of range) or written in hexadecimal makes the pattern fail, so such
// a line is as unreadable as a header.
bool parseSoundingLine(std::string_view line, strPoint &point);

// Appends every accepted line of the bytes (lines end at LF; a CR before it is trailing text).
void readSoundings(std::string_view bytes, SoundingList &points);

// Appends every accepted line of the file; a file that cannot be opened adds nothing.
void readXyzFile(const QString &fileName, SoundingList &points);

// The name of the edited copy: the opened name with "_edited.txt" after its extension.
QString editedFileName(const QString &fileName);

// One output line: X, a tab, Y, a tab, Z in fixed notation ("." decimals; X and Y with 8
// decimals for a geographic file, else 2; Z with 2), then CR LF. Appended to `out`.
void appendSoundingLine(std::string &out, const strPoint &point, bool geographic);

// Writes the live (not deleted) soundings to the file, created or replaced. `progress`, when
// set, is called now and then with the index reached (a bounded number of times, whatever the
// size). Returns false when the file cannot be created; a later write failure is reported too.
bool writeSoundings(const QString &fileName, const SoundingList &points, bool geographic,
                    const std::function<void(std::size_t)> &progress = {});
