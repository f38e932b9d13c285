// Helpers for the input tests: a canvas of known size and view, real Qt mouse, wheel and key
// events sent to it, and a recorder of the events the canvas fires.
#pragma once

#include "canvas/TarvikCanvas.h"

#include <QApplication>
#include <QGuiApplication>
#include <QMouseEvent>
#include <QTest>
#include <QWheelEvent>
#include <cstdio>
#include <memory>
#include <string>
#include <vector>

namespace inputtest {

// A 400 x 300 canvas; its pending resize is let through first, so the view set afterwards stays.
// The default view is 0..1000 both ways; `oneToOne` shows x 0..400, y 0..300, so the pixel
// (px, py) is the world point (px, 300 - py).
inline std::unique_ptr<TTarvikCanvas> makeCanvas(bool navigation = false, bool oneToOne = true) {
  auto c = std::make_unique<TTarvikCanvas>(nullptr, navigation);
  c->resize(400, 300);
  (void)c->grab();
  if (oneToOne)
    c->WorldSet(0, 300, 400, 0);
  else
    c->WorldSet(0, 1000, 1000, 0);
  return c;
}

inline void press(TTarvikCanvas &c, QPoint p, Qt::MouseButton b = Qt::LeftButton,
                  Qt::KeyboardModifiers m = {}) {
  QTest::mousePress(&c, b, m, p);
}

inline void release(TTarvikCanvas &c, QPoint p, Qt::MouseButton b = Qt::LeftButton,
                    Qt::KeyboardModifiers m = {}) {
  QTest::mouseRelease(&c, b, m, p);
}

inline void click(TTarvikCanvas &c, QPoint p, Qt::MouseButton b = Qt::LeftButton,
                  Qt::KeyboardModifiers m = {}) {
  press(c, p, b, m);
  release(c, p, b, m);
}

// The second press of a double click, as Qt reports it in place of the press.
inline void doubleClick(TTarvikCanvas &c, QPoint p) {
  QTest::mouseDClick(&c, Qt::LeftButton, {}, p);
  release(c, p);
}

// A mouse move, delivered to the canvas whether or not a button is held.
inline void moveTo(TTarvikCanvas &c, QPoint p, Qt::MouseButtons held = {},
                   Qt::KeyboardModifiers m = {}) {
  QMouseEvent e(QEvent::MouseMove, QPointF(p), QPointF(c.mapToGlobal(p)), Qt::NoButton, held, m);
  QApplication::sendEvent(&c, &e);
}

// A wheel turn over the client pixel p; returns whether the canvas took the event.
inline bool wheel(TTarvikCanvas &c, QPoint p, QPoint angleDelta,
                  Qt::KeyboardModifiers m = Qt::NoModifier) {
  QWheelEvent e(QPointF(p), QPointF(c.mapToGlobal(p)), QPoint(), angleDelta, Qt::NoButton, m,
                Qt::NoScrollPhase, false);
  QApplication::sendEvent(&c, &e);
  return e.isAccepted();
}

// The screen-wide cursor the canvas has set: none (-1), or the shape of the override.
inline int screenCursor() {
  const QCursor *c = QGuiApplication::overrideCursor();
  return c ? static_cast<int>(c->shape()) : -1;
}

inline std::string num(double v) {
  char buf[32];
  std::snprintf(buf, sizeof buf, "%g", v);
  return buf;
}

// Every event of the canvas as one line of text, in firing order.
struct Recorder {
  std::vector<std::string> log;

  explicit Recorder(TTarvikCanvas &c, bool withMoves = false) {
    c.OnWorldMouseDown = [this](QObject *, short button, short shift, short action, double x,
                                double y) {
      log.push_back("down " + std::to_string(button) + " " + std::to_string(shift) + " " +
                    std::to_string(action) + " " + num(x) + " " + num(y));
    };
    c.OnDrawBegin = [this](QObject *, short type, double x, double y) {
      log.push_back("begin " + std::to_string(type) + " " + num(x) + " " + num(y));
    };
    c.OnDrawEnd = [this](QObject *, short type, double x, double y) {
      log.push_back("end " + std::to_string(type) + " " + num(x) + " " + num(y));
    };
    c.OnShapeNumberSelected = [this](QObject *, short type, std::int32_t number) {
      log.push_back("selected " + std::to_string(type) + " " + std::to_string(number));
    };
    if (withMoves)
      c.OnWorldMouseMove = [this](QObject *, short shift, double x, double y, double magnitude,
                                  double angle) {
        log.push_back("move " + std::to_string(shift) + " " + num(x) + " " + num(y) + " " +
                      num(magnitude) + " " + num(angle));
      };
  }
};

} // namespace inputtest
