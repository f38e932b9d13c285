#include "navigator/mainwindow/UnsavedOnExit.h"

#include "platform/Abort.h"
#include "platform/Dialogs.h"

#include <QCoreApplication>
#include <QMetaObject>
#include <QThread>
#include <exception>

void UnsavedOnExit::add(const QString &text) {
  for (const QString &line : text.split(QLatin1Char('\n'), Qt::SkipEmptyParts))
    if (!lines_.contains(line))
      lines_ << line;
}

void UnsavedOnExit::attempt(const std::function<void()> &step) {
  try {
    step();
  } catch (const platform::EAbort &) {
  } catch (const std::exception &e) {
    add(QString::fromUtf8(e.what()));
  } catch (...) {
    add(QStringLiteral("Unknown exception"));
  }
}

void UnsavedOnExit::collectShown(const std::function<void()> &steps) {
  QThread *gui = QCoreApplication::instance() ? QCoreApplication::instance()->thread() : nullptr;
  platform::ExceptionDisplay previous;
  previous = platform::setExceptionDisplay([this, gui](const QString &text) {
    if (QThread::currentThread() == gui) {
      add(text);
      return;
    }
    // Another thread's report is no part of the closing: the GUI thread shows it once this is over.
    QMetaObject::invokeMethod(
        QCoreApplication::instance(), [text] { platform::showException(text); },
        Qt::QueuedConnection);
  });
  struct Restore {
    platform::ExceptionDisplay &display;
    ~Restore() { platform::setExceptionDisplay(display); }
  } restore{previous};
  attempt(steps);
}

bool UnsavedOnExit::confirmExit() const {
  if (lines_.isEmpty())
    return true;
  const QString text = lines_.join(QLatin1Char('\n')) +
                       QStringLiteral("\n\nExit anyway? What was not saved will be lost.");
  return platform::MessageDlg(text, mtWarning, mbYesNo) == mrYes;
}
