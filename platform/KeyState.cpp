#include "platform/KeyState.h"

#include <QCoreApplication>
#include <QEvent>
#include <QKeyEvent>
#include <QObject>
#include <QPointer>
#include <set>

namespace platform {

namespace {

std::set<int> held; // GUI thread only, like every event

int canonical(int key) { return key == Qt::Key_AltGr ? Qt::Key_Alt : key; }

void setHeld(int key, bool down) {
  if (down)
    held.insert(canonical(key));
  else
    held.erase(canonical(key));
}

class KeyStateFilter : public QObject {
public:
  using QObject::QObject;

protected:
  bool eventFilter(QObject *watched, QEvent *event) override {
    switch (event->type()) {
    case QEvent::KeyPress:
      setHeld(static_cast<QKeyEvent *>(event)->key(), true);
      break;
    case QEvent::KeyRelease: {
      const auto *key = static_cast<QKeyEvent *>(event);
      if (!key->isAutoRepeat()) // a held key repeats as release/press pairs
        setHeld(key->key(), false);
      break;
    }
    case QEvent::MouseButtonPress:
    case QEvent::MouseButtonRelease:
    case QEvent::MouseMove:
    case QEvent::Wheel: {
      // The modifiers of pointer events are exact; they mend a modifier released elsewhere.
      const Qt::KeyboardModifiers mods = static_cast<QInputEvent *>(event)->modifiers();
      setHeld(Qt::Key_Control, mods.testFlag(Qt::ControlModifier));
      setHeld(Qt::Key_Shift, mods.testFlag(Qt::ShiftModifier));
      setHeld(Qt::Key_Alt, mods.testFlag(Qt::AltModifier));
      break;
    }
    case QEvent::ApplicationDeactivate:
      resetKeyState();
      break;
    case QEvent::ApplicationStateChange:
      if (static_cast<QApplicationStateChangeEvent *>(event)->applicationState() !=
          Qt::ApplicationActive)
        resetKeyState();
      break;
    default:
      break;
    }
    return QObject::eventFilter(watched, event);
  }
};

QPointer<KeyStateFilter> filter;

} // namespace

void installKeyState() {
  QCoreApplication *app = QCoreApplication::instance();
  if (!app || filter)
    return;
  filter = new KeyStateFilter(app); // owned by the application
  app->installEventFilter(filter);
}

bool isKeyDown(int qtKey) { return held.count(canonical(qtKey)) != 0; }
bool ctrlDown() { return isKeyDown(Qt::Key_Control); }
bool shiftDown() { return isKeyDown(Qt::Key_Shift); }
bool altDown() { return isKeyDown(Qt::Key_Alt); }

void resetKeyState() { held.clear(); }

} // namespace platform
