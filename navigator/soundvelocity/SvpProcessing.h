// The sound velocity profile's processing, free of widgets: a cast's text rows become extracted
// samples, per-metre averages and the column of mean sound velocities from the surface down,
// which the depth correction reads through an immutable snapshot.
#pragma once

#include "navigator/acquisition/SoundVelocityLookup.h"

#include <QString>
#include <cstddef>
#include <memory>
#include <optional>
#include <string>
#include <vector>

namespace svp {

using Rows = std::vector<std::string>;

inline constexpr const char *DefaultSearchString = "%*23s %lf,%lf";
inline constexpr const char *DefaultMaxDepth = "200";
// The deepest MaxDepth accepted, in metres: deeper than any sea, and small enough that the
// per-metre lists stay small (a typed 2000000000 would otherwise ask for two billion rows).
inline constexpr int MaxDepthLimit = 11000;

// The largest source file or memo file the window reads, in bytes: a cast of tens of thousands
// of samples fits many times over, while a wrong pick (a disk image, a log of days) is refused
// before it fills memory and the window.
inline constexpr std::size_t SourceSizeLimit = 4u * 1024u * 1024u;

// Why the lines of a picked file cannot be a sound velocity source, or nothing when they can:
// they must be text (no control bytes but tab, form feed and the DOS end-of-file mark) and at
// least one line must hold two numbers, a sound velocity and a depth.
enum class SourceProblem { None, Empty, NotText, NoSamples };
SourceProblem checkSourceRows(const Rows &rows);
// The reason as the end of a sentence, in the language chosen ("it is not a text file.").
QString sourceProblemText(bool turkish, SourceProblem problem);

// A raw sample's velocity when 1350 <= sv <= 1600, else 0.
double ValidRawSoundVelocity(double sv);

// The Turkish text while `turkish`, the English one otherwise (both UTF-8).
QString languageText(bool turkish, const char *english, const char *turkishText);

// The column and its look-up are the road's (acquisition/): the profile builds what it reads.
using survey::lookupSoundVelocity;
using survey::PlausibleSoundVelocity;
using survey::SvColumn;
using survey::SvLookup;
using survey::ValidColumnValue;

struct DetectedFormat {
  std::string SearchString;
  bool SVFirst = true;
};

// The four row lists and the steps between them. Messages go through the dialog seam; a step
// that stops after its message returns (the class library's silent abort has nothing to add).
class SvpProcessing {
public:
  Rows mRawSVData;        // "Source SVP Data"
  Rows mRawSVExtracted;   // "Raw SV values": depth,sv (12,1512.345)
  Rows mSortedAveragedSV; // "Averaged SV Values": row d = d,mean,hits or empty
  Rows mSVPColumn;        // "SV Column": row d = cumulative mean, 2 decimals

  // Show the Turkish text of the messages that have one.
  bool Turkish = false;

  // Extraction. A pattern that checkScanFormat refuses for two values is reported before
  // anything is emptied; false then.
  bool RawToSVV(const std::string &searchString, bool svFirst);
  // Per-metre averaging. A MaxDepth that is not an integer raises EConvertError after the lists
  // are emptied; one outside 0..MaxDepthLimit, or no usable sample, gives a message.
  void SVVtoAveragedSV(const QString &maxDepthText);
  // The column; true when it reached row MaxDepth (and was published).
  bool AveragedSVtoSVP(const QString &maxDepthText);
  // Source format detection on mRawSVData; the report is shown, nothing is changed here.
  std::optional<DetectedFormat> AutoDetect();

  // The column published last; null while it is empty or being rebuilt.
  std::shared_ptr<const SvColumn> column() const { return column_; }
  // Publishes mSVPColumn as it stands (after loading it, or when it was edited by hand); an
  // empty or blank list withdraws the column instead.
  void publishColumn();
  void withdrawColumn() { column_.reset(); }

private:
  // MaxDepth from its text: EConvertError when not an integer, nullopt (after a message) when
  // outside the accepted range.
  static std::optional<int> maxDepth(const QString &text);

  std::shared_ptr<const SvColumn> column_;
};

// True when the list has no row with text other than blanks.
bool blankRows(const Rows &rows);

} // namespace svp
