// Worker-to-GUI calls that wait for the GUI thread but can be given up when the worker stops.
#include "platform/Synchronize.h"

#include <QCoreApplication>
#include <QMetaObject>
#include <QThread>
#include <condition_variable>
#include <exception>
#include <mutex>

namespace platform {

struct SyncStop::State {
  std::mutex mutex;
  std::condition_variable changed;
  bool stop = false;
};

namespace {

enum class CallStatus { Pending, Running, Done, Cancelled };

struct Call {
  CallStatus status = CallStatus::Pending; // guarded by State::mutex
  std::exception_ptr error;
};

} // namespace

SyncStop::SyncStop() : state_(std::make_shared<State>()) {}

void SyncStop::requestStop() {
  {
    std::lock_guard lock(state_->mutex);
    state_->stop = true;
  }
  state_->changed.notify_all();
}

bool SyncStop::stopRequested() const {
  std::lock_guard lock(state_->mutex);
  return state_->stop;
}

bool synchronize(const std::function<void()> &fn, const SyncStop *stop) {
  QCoreApplication *app = QCoreApplication::instance();
  if (!app)
    return false;
  if (QThread::currentThread() == app->thread()) {
    fn();
    return true;
  }
  // The queued call may outlive this frame when it is given up, so it shares its state; it only
  // touches fn after taking the call up, while this thread still waits.
  auto state = stop ? stop->state_ : std::make_shared<SyncStop::State>();
  auto call = std::make_shared<Call>();
  {
    std::lock_guard lock(state->mutex);
    if (state->stop)
      return false;
  }
  const std::function<void()> *work = &fn;
  const bool posted = QMetaObject::invokeMethod(
      app,
      [state, call, work] {
        {
          std::lock_guard lock(state->mutex);
          if (call->status != CallStatus::Pending)
            return;
          call->status = CallStatus::Running;
        }
        try {
          (*work)();
        } catch (...) {
          call->error = std::current_exception();
        }
        {
          std::lock_guard lock(state->mutex);
          call->status = CallStatus::Done;
        }
        state->changed.notify_all();
      },
      Qt::QueuedConnection);
  if (!posted)
    return false;
  std::unique_lock lock(state->mutex);
  state->changed.wait(lock, [&] {
    return call->status == CallStatus::Done || (state->stop && call->status == CallStatus::Pending);
  });
  if (call->status != CallStatus::Done) {
    call->status = CallStatus::Cancelled;
    return false;
  }
  if (call->error)
    std::rethrow_exception(call->error);
  return true;
}

} // namespace platform
