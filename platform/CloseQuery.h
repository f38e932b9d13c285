// A window's close query, as the class library asks it: the handler may refuse the close; a
// handler that fails is shown and the close goes ahead.
#pragma once

#include "platform/Abort.h"

#include <QCloseEvent>

namespace platform {

// Runs `query(bool &CanClose)` guarded, accepts or ignores `event` by its answer and returns it.
template <class F> bool closeQuery(QCloseEvent *event, F query) {
  bool canClose = true;
  guarded([&query, &canClose] { query(canClose); })();
  event->setAccepted(canClose);
  return canClose;
}

} // namespace platform
