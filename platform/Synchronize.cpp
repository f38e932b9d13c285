// Worker-to-GUI calls that wait for the GUI thread but can be given up when the worker stops.
#include "platform/Synchronize.h"

#include <QCoreApplication>
#include <QMetaObject>
#include <QThread>
#include <condition_variable>
#include <deque>
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
  std::shared_ptr<SyncStop::State> state;
  const std::function<void()> *work = nullptr; // touched only while its caller waits
  CallStatus status = CallStatus::Pending;     // guarded by state->mutex
  std::exception_ptr error;
};

// Calls go to the GUI thread through this queue rather than inside Qt's event, so that every
// hand-over between the threads passes a lock of ours.
std::mutex queueMutex;
std::deque<std::shared_ptr<Call>> queue;

void runNextCall() {
  std::shared_ptr<Call> call;
  {
    std::lock_guard lock(queueMutex);
    if (queue.empty())
      return;
    call = std::move(queue.front());
    queue.pop_front();
  }
  {
    std::lock_guard lock(call->state->mutex);
    if (call->status != CallStatus::Pending)
      return;
    call->status = CallStatus::Running;
  }
  try {
    (*call->work)();
  } catch (...) {
    call->error = std::current_exception();
  }
  {
    std::lock_guard lock(call->state->mutex);
    call->status = CallStatus::Done;
  }
  call->state->changed.notify_all();
}

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
  // A call given up stays queued until the GUI thread drops it, so it shares its state.
  auto call = std::make_shared<Call>();
  call->state = stop ? stop->state_ : std::make_shared<SyncStop::State>();
  call->work = &fn;
  auto &state = call->state;
  {
    std::lock_guard lock(state->mutex);
    if (state->stop)
      return false;
  }
  {
    std::lock_guard lock(queueMutex);
    queue.push_back(call);
  }
  if (!QMetaObject::invokeMethod(app, &runNextCall, Qt::QueuedConnection)) {
    std::lock_guard lock(queueMutex);
    std::erase(queue, call);
    return false;
  }
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
