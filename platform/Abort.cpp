// The exception display behind guarded handlers.
#include "platform/Abort.h"

#include "platform/Dialogs.h"

#include <QCoreApplication>
#include <QGuiApplication>
#include <QMetaObject>
#include <QThread>
#include <cstdio>
#include <mutex>

namespace platform {
namespace {

std::mutex displayMutex;
ExceptionDisplay customDisplay;

void showInMessageBox(const QString &text) {
  QCoreApplication *app = QCoreApplication::instance();
  if (!app) {
    std::fprintf(stderr, "%s\n", text.toLocal8Bit().constData());
    return;
  }
  // Through the dialog seam, so that a test's scripted dialogs see (and fail on) an exception
  // no test expected.
  // Under the application's title, as the class library's exception display shows it.
  auto show = [text] {
    messageBox(text, QGuiApplication::applicationDisplayName(), mtError, mbOK);
  };
  if (QThread::currentThread() == app->thread())
    show();
  else
    QMetaObject::invokeMethod(app, show, Qt::QueuedConnection);
}

} // namespace

void Abort() { throw EAbort(); }

ExceptionDisplay setExceptionDisplay(ExceptionDisplay display) {
  std::lock_guard lock(displayMutex);
  return std::exchange(customDisplay, std::move(display));
}

void showException(const QString &message) {
  QString text = message;
  // The class library ends the shown text with a full stop unless it ends in one already (or in
  // a character that sorts before it).
  if (!text.isEmpty() && text.back() > QLatin1Char('.'))
    text += QLatin1Char('.');
  ExceptionDisplay display;
  {
    std::lock_guard lock(displayMutex);
    display = customDisplay;
  }
  if (display)
    display(text);
  else
    showInMessageBox(text);
}

void handleCurrentException() {
  try {
    throw;
  } catch (const EAbort &) {
  } catch (const std::exception &e) {
    showException(QString::fromUtf8(e.what()));
  } catch (...) {
    showException(QStringLiteral("Unknown exception"));
  }
}

} // namespace platform
