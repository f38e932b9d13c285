// Helpers of the DXF export tests: the lines of an exported file, its entity section, and the two
// reference readers (ezdxf under the system interpreter, GDAL's ogrinfo) run on a file.
#pragma once

#include "canvas/TarvikCanvas.h"
#include "support/ScriptedDialogs.h"
#include "support/TestSupport.h"

#include <QProcess>
#include <QStringList>
#include <string>
#include <string_view>
#include <vector>

namespace dxfexporttest {

// The texts of a drawing of these texts (one layer) after our own export and import, in their
// order; `written`, when given, receives the exported file.
inline std::vector<QString> textsThroughOwnDxf(const std::vector<QString> &texts,
                                               std::string *written = nullptr) {
  testsupport::TempDir dir;
  TTarvikCanvas original;
  const int layer = original.LayerOpen(QStringLiteral("Notes"));
  for (std::size_t k = 0; k < texts.size(); ++k)
    original.TextAdd(layer, texts[k], 100.0 + double(k), 200.0, 0);
  const std::string file = dir.file("texts.dxf");
  if (original.DXFSave(QString::fromStdString(file)) != 1)
    return {};
  if (written)
    *written = testsupport::readFile(file);
  TTarvikCanvas back;
  testsupport::ScriptedDialogs dialogs;
  dialogs.answer(mrOk);
  if (!back.DXFLoad(QString::fromStdString(file)))
    return {};
  std::vector<QString> got;
  for (const TQShape *s : back.Shapes) {
    const auto *t = dynamic_cast<const TQText *>(s);
    got.push_back(t ? t->DisplayText : QStringLiteral("<not a text>"));
  }
  return got;
}

inline std::vector<std::string> splitLines(std::string_view text) {
  std::vector<std::string> lines;
  std::size_t start = 0;
  while (start < text.size()) {
    const std::size_t nl = text.find('\n', start);
    if (nl == std::string_view::npos) {
      lines.emplace_back(text.substr(start));
      break;
    }
    lines.emplace_back(text.substr(start, nl - start));
    start = nl + 1;
  }
  return lines;
}

// The lines between "2 / ENTITIES" and the closing "0 / ENDSEC, 0 / EOF".
inline std::vector<std::string> entityLines(std::string_view text) {
  const auto lines = splitLines(text);
  for (std::size_t i = 1; i < lines.size(); ++i) {
    if (lines[i - 1] == "2" && lines[i] == "ENTITIES" && lines.size() >= i + 5)
      return {lines.begin() + static_cast<std::ptrdiff_t>(i + 1), lines.end() - 4};
  }
  return {};
}

// The lines of the LAYER table, from its "0 / TABLE" to its "0 / ENDTAB".
inline std::vector<std::string> layerTableLines(std::string_view text) {
  const auto lines = splitLines(text);
  std::size_t first = 0;
  for (std::size_t i = 1; i < lines.size(); ++i) {
    if (lines[i - 1] == "0" && lines[i] == "TABLE")
      first = i - 1;
    if (first && lines[i - 1] == "0" && lines[i] == "ENDTAB")
      return {lines.begin() + static_cast<std::ptrdiff_t>(first),
              lines.begin() + static_cast<std::ptrdiff_t>(i + 1)};
  }
  return {};
}

struct ProcessResult {
  bool started = false;
  int exitCode = -1;
  std::string out;
  std::string err;
};

inline ProcessResult runProcess(const QString &program, const QStringList &arguments) {
  QProcess p;
  p.start(program, arguments);
  ProcessResult r;
  r.started = p.waitForStarted(10000);
  if (!r.started)
    return r;
  p.waitForFinished(60000);
  r.exitCode = p.exitStatus() == QProcess::NormalExit ? p.exitCode() : -1;
  r.out = p.readAllStandardOutput().toStdString();
  r.err = p.readAllStandardError().toStdString();
  return r;
}

// ezdxf (the Debian package, under the system interpreter, not whatever python3 the path finds
// first) reads the file in the ANSI code page and audits it. Prints "errors N fixes M", the
// messages of both, then one line per model-space entity: type and layer, and for a TEXT its
// text; finally the names of the layer table (without the two layers ezdxf always adds).
inline ProcessResult ezdxfAudit(const std::string &path) {
  static const char *script = R"(
import sys, ezdxf
sys.stdout.reconfigure(errors="backslashreplace")
doc = ezdxf.readfile(sys.argv[1], encoding="cp1254")
a = doc.audit()
print("errors", len(a.errors), "fixes", len(a.fixes))
for e in list(a.errors) + list(a.fixes):
    print("audit", e.code, e.message)
for e in doc.modelspace():
    line = e.dxftype() + " " + e.dxf.layer
    if e.dxftype() == "TEXT":
        line += " |" + e.dxf.text + "|"
    if e.dxftype() == "POLYLINE":
        line += " " + str(len(e.vertices)) + (" closed" if e.is_closed else " open")
    print(line)
own = {"0", "Defpoints"}  # ezdxf sets these two up whatever the file holds
print("layers", " ".join(sorted(l.dxf.name for l in doc.layers if l.dxf.name not in own)))
)";
  return runProcess(
      QStringLiteral("/usr/bin/python3"),
      {QStringLiteral("-c"), QString::fromUtf8(script), QString::fromStdString(path)});
}

// GDAL's DXF driver reads every entity as a feature.
inline ProcessResult ogrinfo(const std::string &path) {
  return runProcess(QStringLiteral("ogrinfo"),
                    {QStringLiteral("-ro"), QStringLiteral("-al"), QStringLiteral("-q"),
                     QString::fromStdString(path)});
}

inline int countOf(std::string_view text, std::string_view word) {
  int n = 0;
  for (std::size_t at = text.find(word); at != std::string_view::npos;
       at = text.find(word, at + word.size()))
    ++n;
  return n;
}

} // namespace dxfexporttest
