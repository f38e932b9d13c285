// The silent abort of a command and the application's exception display: handlers run through
// guarded(...) so that no exception crosses Qt; EAbort ends them quietly, anything else is shown.
#pragma once

#include <QString>
#include <exception>
#include <functional>
#include <type_traits>
#include <utility>

namespace platform {

// Thrown to stop a command without a message.
class EAbort : public std::exception {
public:
  const char *what() const noexcept override { return "Operation aborted"; }
};

[[noreturn]] void Abort();

// Shows the text of an exception to the user. The default is an error box under the application's
// name through the dialog seam of Dialogs.h (queued to the GUI thread from other threads).
using ExceptionDisplay = std::function<void(const QString &text)>;
// Replaces the display; an empty function restores the message box. Returns the previous one.
ExceptionDisplay setExceptionDisplay(ExceptionDisplay display);

// Shows `message` in the display, ending it with a full stop as the class library does.
void showException(const QString &message);
// Call inside a catch block: EAbort is ignored, any other exception is shown.
void handleCurrentException();

// Wraps a slot or timer handler: EAbort is swallowed, other exceptions are shown, none escapes.
// The wrapper takes only the leading signal arguments that `fn` accepts, as Qt expects.
template <class F> auto guarded(F fn) {
  return [fn = std::move(fn)](
      auto &&...args) mutable requires std::is_invocable_v<F &, decltype(args)...> {
    try {
      fn(std::forward<decltype(args)>(args)...);
    } catch (...) {
      handleCurrentException();
    }
  };
}

// Wraps a member function as a guarded handler of `object`.
template <class T, class R, class... A> auto guarded(T *object, R (T::*method)(A...)) {
  return guarded([object, method](A... args) { (object->*method)(args...); });
}

} // namespace platform
