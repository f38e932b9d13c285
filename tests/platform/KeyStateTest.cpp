// The key state follows real key and mouse events delivered to a widget through the application.
#include "platform/KeyState.h"

#include <QApplication>
#include <QKeyEvent>
#include <QMouseEvent>
#include <QWidget>
#include <gtest/gtest.h>

using namespace platform;

namespace {

class KeyState : public ::testing::Test {
protected:
  void SetUp() override {
    installKeyState();
    installKeyState(); // twice is harmless
    resetKeyState();
    widget.resize(50, 50);
    widget.show();
  }
  void TearDown() override { resetKeyState(); }

  void key(QEvent::Type type, int k, Qt::KeyboardModifiers mods = Qt::NoModifier,
           bool autoRepeat = false) {
    QKeyEvent event(type, k, mods, QString(), autoRepeat);
    QApplication::sendEvent(&widget, &event);
  }
  void press(int k, Qt::KeyboardModifiers mods = Qt::NoModifier) { key(QEvent::KeyPress, k, mods); }
  void release(int k, Qt::KeyboardModifiers mods = Qt::NoModifier) {
    key(QEvent::KeyRelease, k, mods);
  }
  void mouseMove(Qt::KeyboardModifiers mods) {
    QMouseEvent event(QEvent::MouseMove, QPointF(10, 10), QPointF(10, 10), Qt::NoButton,
                      Qt::NoButton, mods);
    QApplication::sendEvent(&widget, &event);
  }

  QWidget widget;
};

TEST_F(KeyState, ModifiersAreDownBetweenPressAndRelease) {
  const struct {
    int key;
    bool (*down)();
  } cases[] = {{Qt::Key_Control, ctrlDown}, {Qt::Key_Shift, shiftDown}, {Qt::Key_Alt, altDown}};
  for (const auto &c : cases) {
    EXPECT_FALSE(c.down());
    press(c.key);
    EXPECT_TRUE(c.down());
    EXPECT_TRUE(isKeyDown(c.key));
    release(c.key);
    EXPECT_FALSE(c.down());
  }
}

TEST_F(KeyState, LettersAreTrackedByTheirOwnKey) {
  press(Qt::Key_Shift);
  press(Qt::Key_H, Qt::ShiftModifier);
  EXPECT_TRUE(isKeyDown(Qt::Key_H));
  EXPECT_FALSE(isKeyDown(Qt::Key_G));
  release(Qt::Key_Shift);
  EXPECT_TRUE(isKeyDown(Qt::Key_H)) << "other keys stay held";
  EXPECT_FALSE(shiftDown());
  release(Qt::Key_H);
  EXPECT_FALSE(isKeyDown(Qt::Key_H));
}

TEST_F(KeyState, AutoRepeatKeepsTheKeyDown) {
  press(Qt::Key_A);
  key(QEvent::KeyRelease, Qt::Key_A, Qt::NoModifier, true);
  key(QEvent::KeyPress, Qt::Key_A, Qt::NoModifier, true);
  key(QEvent::KeyRelease, Qt::Key_A, Qt::NoModifier, true);
  EXPECT_TRUE(isKeyDown(Qt::Key_A));
  release(Qt::Key_A);
  EXPECT_FALSE(isKeyDown(Qt::Key_A));
}

TEST_F(KeyState, AltGrCountsAsAlt) {
  press(Qt::Key_AltGr);
  EXPECT_TRUE(altDown());
  release(Qt::Key_AltGr);
  EXPECT_FALSE(altDown());
}

TEST_F(KeyState, PointerEventsMendModifiersReleasedElsewhere) {
  press(Qt::Key_Control);
  mouseMove(Qt::NoModifier); // Ctrl was let go while another program had the keyboard
  EXPECT_FALSE(ctrlDown());
  mouseMove(Qt::ShiftModifier | Qt::AltModifier);
  EXPECT_TRUE(shiftDown());
  EXPECT_TRUE(altDown());
  EXPECT_FALSE(ctrlDown());
}

TEST_F(KeyState, LosingTheKeyboardForgetsEveryKey) {
  press(Qt::Key_Control);
  press(Qt::Key_Z);
  QApplicationStateChangeEvent inactive(Qt::ApplicationInactive);
  QApplication::sendEvent(qApp, &inactive);
  EXPECT_FALSE(ctrlDown());
  EXPECT_FALSE(isKeyDown(Qt::Key_Z));
}

} // namespace
