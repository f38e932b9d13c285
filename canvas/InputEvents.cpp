// Qt's mouse, wheel and key events of the canvas, translated into the control's input handlers
// with the class library's codes and ordering: a left double click runs DblClick and then the
// press it replaces; a left release over the control is a click, reported before the release.
#include "canvas/InputKeys.h"
#include "canvas/InputSupport.h"
#include "canvas/TarvikCanvas.h"
#include "platform/Abort.h"

#include <QKeyEvent>
#include <QMouseEvent>
#include <QWheelEvent>

namespace {

// 0 left, 1 right, 2 middle; -1 for the buttons the control has no code for.
int buttonOf(Qt::MouseButton button) {
  switch (button) {
  case Qt::LeftButton:
    return 0;
  case Qt::RightButton:
    return 1;
  case Qt::MiddleButton:
    return 2;
  default:
    return -1;
  }
}

// Like any message handler of the control: an exception ends the handling of this one event
// and is shown, never passed into Qt.
template <class F> void handle(F f) { platform::guarded(std::move(f))(); }

} // namespace

void TTarvikCanvas::mousePressEvent(QMouseEvent *event) {
  const int button = buttonOf(event->button());
  if (button < 0) {
    QWidget::mousePressEvent(event);
    return;
  }
  event->accept();
  if (button == 0)
    leftClickPending_ = true;
  const QPoint p = event->position().toPoint();
  const int shift = canvas::shiftCodeOf(event->modifiers());
  handle([&] { MouseDown(button, shift, p.x(), p.y()); });
}

void TTarvikCanvas::mouseMoveEvent(QMouseEvent *event) {
  event->accept();
  const QPoint p = event->position().toPoint();
  const int shift = canvas::shiftCodeOf(event->modifiers());
  handle([&] { MouseMove(shift, p.x(), p.y()); });
}

void TTarvikCanvas::mouseReleaseEvent(QMouseEvent *event) {
  const int button = buttonOf(event->button());
  if (button < 0) {
    QWidget::mouseReleaseEvent(event);
    return;
  }
  event->accept();
  const QPoint p = event->position().toPoint();
  const int shift = canvas::shiftCodeOf(event->modifiers());
  const bool click = button == 0 && leftClickPending_ && rect().contains(p);
  if (button == 0)
    leftClickPending_ = false;
  handle([&] {
    if (click)
      canvas::fire(OnClick, this);
    MouseUp(button, shift, p.x(), p.y());
  });
}

void TTarvikCanvas::mouseDoubleClickEvent(QMouseEvent *event) {
  const int button = buttonOf(event->button());
  if (button < 0) {
    QWidget::mouseDoubleClickEvent(event);
    return;
  }
  event->accept();
  const QPoint p = event->position().toPoint();
  const int shift = canvas::shiftCodeOf(event->modifiers());
  if (button != 0) {
    // Only a left double click is one for the control; the others are plain presses.
    handle([&] { MouseDown(button, shift, p.x(), p.y()); });
    return;
  }
  // The press of a double click is no click.
  leftClickPending_ = false;
  handle([&] {
    // The double click happens where the mouse is, whether or not a move reported it.
    LastMouseX = p.x();
    LastMouseY = p.y();
    DblClick();
    MouseDown(0, shift, p.x(), p.y());
  });
}

void TTarvikCanvas::wheelEvent(QWheelEvent *event) {
  // One notch per event in the direction of the vertical turn. Events without a vertical turn
  // (horizontal scrolling, the start and end of a touchpad scroll) were never wheel messages and
  // go on to the parent. Qt reports the wheel turned with Alt held as horizontal; it is the
  // vertical wheel all the same.
  const QPoint turn = event->angleDelta();
  const int dy =
      turn.y() != 0 || !event->modifiers().testFlag(Qt::AltModifier) ? turn.y() : turn.x();
  if (dy == 0) {
    event->ignore();
    return;
  }
  event->accept();
  const QPoint screen = event->globalPosition().toPoint();
  handle([&] { WMMouseWheel(dy > 0 ? 120 : -120, screen.x(), screen.y()); });
}

void TTarvikCanvas::keyPressEvent(QKeyEvent *event) {
  std::uint16_t key = canvas::virtualKeyOf(event->key(), event->modifiers());
  if (key == 0) {
    QWidget::keyPressEvent(event);
    return;
  }
  event->accept();
  KeyDown(key, canvas::shiftCodeOf(event->modifiers()));
}

void TTarvikCanvas::keyReleaseEvent(QKeyEvent *event) {
  std::uint16_t key = canvas::virtualKeyOf(event->key(), event->modifiers());
  // A held key repeats its press only; the release comes once, when it is let go.
  if (key == 0 || event->isAutoRepeat()) {
    QWidget::keyReleaseEvent(event);
    return;
  }
  event->accept();
  const int shift = canvas::shiftCodeOf(event->modifiers());
  handle([&] { canvas::fire(OnKeyUp, this, key, shift); });
}
