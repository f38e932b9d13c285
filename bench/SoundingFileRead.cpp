// Reading sounding files whose lines are not what they should be: time and memory must grow at
// most with the size (linear), never with its square. A file without any line feed (refused at
// its first overlong line, whatever its size) and files of lines as long as the reader takes,
// read from memory in the file reader's pieces and from a real file.
#include "BenchSupport.h"
#include "editor/Soundings.h"

#include <QString>
#include <benchmark/benchmark.h>
#include <cstdio>
#include <fstream>
#include <map>
#include <string>

namespace {

constexpr std::size_t MiB = std::size_t(1) << 20;

// `size` bytes of soundings written without a line feed, as a file with the wrong line ends or
// a binary file gives them.
std::string withoutLineFeeds(std::size_t size) {
  std::string text;
  text.reserve(size);
  while (text.size() < size)
    text += "500000.00,4400000.00,-5.20\r";
  text.resize(size);
  return text;
}

// Lines as long as the reader takes: a sounding followed by a long trailing text.
std::string longestLines(std::size_t size) {
  std::string line = "500000.00,4400000.00,-5.20,";
  line.resize(maxSoundingLineLength, 'x');
  line += '\n';
  std::string text;
  text.reserve(size + line.size());
  while (text.size() < size)
    text += line;
  return text;
}

// The files written for the run, removed at its end (they are large).
struct ScratchFiles {
  std::string folder = benchsupport::scratchFolder("SoundingFileRead");
  std::map<std::string, std::string> files;
  ~ScratchFiles() {
    for (const auto &[key, path] : files)
      std::remove(path.c_str());
    std::remove(folder.c_str());
  }
};

std::string fileOf(const std::string &kind, std::size_t size) {
  static ScratchFiles scratch;
  std::map<std::string, std::string> &files = scratch.files;
  const std::string key = kind + std::to_string(size);
  auto it = files.find(key);
  if (it != files.end())
    return it->second;
  const std::string path = scratch.folder + "/" + key + ".txt";
  const std::string text = kind == "nolf" ? withoutLineFeeds(size) : longestLines(size);
  std::ofstream(path, std::ios::binary).write(text.data(), std::streamsize(text.size()));
  files[key] = path;
  return path;
}

// From memory, in the file reader's 1 MiB pieces: the reader alone.
void feedInPieces(benchmark::State &state, const std::string &text) {
  for (auto _ : state) {
    SoundingList points;
    SoundingReader reader(points);
    for (std::size_t at = 0; at < text.size(); at += MiB)
      if (!reader.feed(std::string_view(text).substr(at, MiB)))
        break;
    reader.finish();
    benchmark::DoNotOptimize(points.data());
  }
  state.SetBytesProcessed(std::int64_t(state.iterations()) * std::int64_t(text.size()));
}

void BM_ReaderWithoutLineFeeds(benchmark::State &state) {
  feedInPieces(state, withoutLineFeeds(std::size_t(state.range(0)) * MiB));
}
BENCHMARK(BM_ReaderWithoutLineFeeds)->Arg(16)->Arg(64)->Arg(256)->ArgName("MiB");

void BM_ReaderLongestLines(benchmark::State &state) {
  feedInPieces(state, longestLines(std::size_t(state.range(0)) * MiB));
}
BENCHMARK(BM_ReaderLongestLines)
    ->Arg(16)
    ->Arg(64)
    ->Arg(256)
    ->ArgName("MiB")
    ->Unit(benchmark::kMillisecond);

// The whole file reader on a real file, with the memory it adds at its peak.
void readFile(benchmark::State &state, const std::string &kind) {
  const std::size_t size = std::size_t(state.range(0)) * MiB;
  const QString path = QString::fromStdString(fileOf(kind, size));
  // The memory from a run of its own: the hand-back before it would be timed with the run.
  const auto added = benchsupport::PeakMemory::measure([&] {
    SoundingList points;
    readXyzFile(path, points);
    benchmark::DoNotOptimize(points.data());
  });
  for (auto _ : state) {
    SoundingList points;
    const SoundingReadSummary read = readXyzFile(path, points);
    benchmark::DoNotOptimize(points.data());
    if (read.refused != (kind == "nolf"))
      state.SkipWithError("unexpected verdict");
  }
  state.counters["peak_added_MiB"] = double(added.peakKib) / 1024.0;
  state.SetBytesProcessed(std::int64_t(state.iterations()) * std::int64_t(size));
}

void BM_FileWithoutLineFeeds(benchmark::State &state) { readFile(state, "nolf"); }
BENCHMARK(BM_FileWithoutLineFeeds)->Arg(16)->Arg(256)->ArgName("MiB");

void BM_FileOfLongestLines(benchmark::State &state) { readFile(state, "long"); }
BENCHMARK(BM_FileOfLongestLines)->Arg(16)->Arg(256)->ArgName("MiB")->Unit(benchmark::kMillisecond);

} // namespace

int main(int argc, char **argv) { return benchsupport::runBenchmarks(argc, argv); }
