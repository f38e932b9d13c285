// What could not be saved while the program closes, gathered so that the surveyor is told once
// and asked whether to exit anyway instead of seeing one error box per failed step.
#pragma once

#include <QStringList>
#include <functional>

class UnsavedOnExit {
public:
  // Runs a saving step; what it raises is noted (a silent abort is not a failure).
  void attempt(const std::function<void()> &step);
  // Runs steps whose handlers show their own failures (a window's close): what the GUI thread
  // would show meanwhile is noted instead; other threads' reports are shown as usual.
  void collectShown(const std::function<void()> &steps);
  // Notes a failure described by the caller; each distinct line is kept once.
  void add(const QString &text);

  bool empty() const { return lines_.isEmpty(); }
  const QStringList &lines() const { return lines_; }

  // True when the program may end: nothing failed, or the surveyor answers Yes to exiting
  // without what is listed.
  bool confirmExit() const;

private:
  QStringList lines_;
};
