// Lets a worker thread run work on the GUI thread and wait for it, the way a thread class's
// synchronise call does, and lets whoever stops the worker release it from that wait.
#pragma once

#include <functional>
#include <memory>

namespace platform {

// One per worker thread. Once stopped, the worker's waiting and later synchronize calls give up,
// so a GUI thread that waits for the worker to end cannot lock up with it.
class SyncStop {
public:
  SyncStop();
  // Any thread.
  void requestStop();
  bool stopRequested() const;

  struct State;

private:
  std::shared_ptr<State> state_;
  friend bool synchronize(const std::function<void()> &fn, const SyncStop *stop);
};

// Runs fn on the GUI thread, through the application's event queue, and waits until it has run;
// an exception that fn throws is rethrown here. Returns false without running fn when the stop is
// requested before the GUI thread takes the call up (or when there is no application); a call
// that has begun is always waited for. Meant for worker threads: on the GUI thread fn just runs.
bool synchronize(const std::function<void()> &fn, const SyncStop *stop = nullptr);

} // namespace platform
