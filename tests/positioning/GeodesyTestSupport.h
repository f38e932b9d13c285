// Helpers of the geodesy tests: reading the toolkit's number texts back, and running the
// reference programs (PROJ, GeographicLib) on a table of points.
#pragma once

#include <QProcess>
#include <QStringList>
#include <locale>
#include <sstream>
#include <string>
#include <vector>

namespace geodesytest {

// The numbers of a text, read in the classic locale whatever the process's locale.
inline std::vector<long double> numbersOf(const std::string &text) {
  std::istringstream in(text);
  in.imbue(std::locale::classic());
  std::vector<long double> values;
  long double v;
  while (in >> v)
    values.push_back(v);
  return values;
}

// Runs a program with the given lines on its standard input; returns one vector of numbers
// per output line, or nothing when the program cannot run.
inline std::vector<std::vector<long double>> runReference(const QString &program,
                                                          const QStringList &arguments,
                                                          const std::vector<std::string> &lines) {
  QProcess process;
  process.start(program, arguments);
  if (!process.waitForStarted(10000))
    return {};
  std::string input;
  for (const std::string &line : lines)
    input += line + "\n";
  process.write(input.data(), static_cast<qint64>(input.size()));
  process.closeWriteChannel();
  if (!process.waitForFinished(60000) || process.exitCode() != 0)
    return {};
  std::vector<std::vector<long double>> rows;
  std::istringstream out(process.readAllStandardOutput().toStdString());
  std::string line;
  while (std::getline(out, line))
    rows.push_back(numbersOf(line));
  return rows;
}

} // namespace geodesytest
