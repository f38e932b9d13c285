// Qt's mouse, wheel and key events of the canvas, translated into the control's input handlers.
#include "canvas/TarvikCanvas.h"

#include <QKeyEvent>
#include <QMouseEvent>
#include <QWheelEvent>

void TTarvikCanvas::mousePressEvent(QMouseEvent *event) { QWidget::mousePressEvent(event); }

void TTarvikCanvas::mouseMoveEvent(QMouseEvent *event) { QWidget::mouseMoveEvent(event); }

void TTarvikCanvas::mouseReleaseEvent(QMouseEvent *event) { QWidget::mouseReleaseEvent(event); }

void TTarvikCanvas::mouseDoubleClickEvent(QMouseEvent *event) {
  QWidget::mouseDoubleClickEvent(event);
}

void TTarvikCanvas::wheelEvent(QWheelEvent *event) { QWidget::wheelEvent(event); }

void TTarvikCanvas::keyPressEvent(QKeyEvent *event) { QWidget::keyPressEvent(event); }

void TTarvikCanvas::keyReleaseEvent(QKeyEvent *event) { QWidget::keyReleaseEvent(event); }
