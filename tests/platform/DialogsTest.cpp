// The dialog seam: captions and buttons of the class library's boxes, the scripted responder that
// tests rely on, file dialog objects and the conversion of filter strings.
#include "platform/Dialogs.h"
#include "support/ScriptedDialogs.h"

#include "support/TestSupport.h"

#include <QAbstractButton>
#include <QApplication>
#include <QFile>
#include <QFileDialog>
#include <QKeyEvent>
#include <QMessageBox>
#include <QTimer>
#include <functional>
#include <gtest/gtest-spi.h>
#include <gtest/gtest.h>

#include <ostream>

QT_BEGIN_NAMESPACE
static void PrintTo(const QString &s, std::ostream *os) { *os << '"' << s.toStdString() << '"'; }
QT_END_NAMESPACE

using namespace platform;

namespace {

// A responder whose failures are collected instead of failing the test.
struct Recorded {
  QStringList failures;
  ScriptedDialogs dialogs{[this](const QString &f) { failures << f; }};
};

// Acts on the next modal dialog of type W as soon as it is shown (the user's part).
template <class W> void whenShown(std::function<void(W *)> act) {
  auto *timer = new QTimer;
  timer->setInterval(5);
  QObject::connect(timer, &QTimer::timeout, [timer, act] {
    if (auto *dialog = qobject_cast<W *>(QApplication::activeModalWidget())) {
      timer->stop();
      timer->deleteLater();
      act(dialog);
    }
  });
  timer->start();
}

QAbstractButton *buttonNamed(QMessageBox *box, const QString &text) {
  for (QAbstractButton *b : box->buttons())
    if (b->text().remove('&') == text)
      return b;
  return nullptr;
}

TEST(Dialogs, ButtonSetsAreTheClassLibrarys) {
  EXPECT_EQ(mbYesNo.list(), (std::vector<TMsgDlgBtn>{mbYes, mbNo}));
  EXPECT_EQ(mbOKCancel.list(), (std::vector<TMsgDlgBtn>{mbOK, mbCancel}));
  EXPECT_EQ(mbYesNoCancel.list(), (std::vector<TMsgDlgBtn>{mbYes, mbNo, mbCancel}));
  EXPECT_EQ((mbCancel | mbOK).list(), (std::vector<TMsgDlgBtn>{mbOK, mbCancel}))
      << "laid out in order";
  EXPECT_EQ(TMsgDlgButtons(mbOK).list(), std::vector<TMsgDlgBtn>{mbOK});
  EXPECT_EQ(mrOk, 1);
  EXPECT_EQ(mrCancel, 2);
  EXPECT_EQ(mrAbort, 3);
  EXPECT_EQ(mrRetry, 4);
  EXPECT_EQ(mrIgnore, 5);
  EXPECT_EQ(mrYes, 6);
  EXPECT_EQ(mrNo, 7);
}

TEST(Dialogs, EscapingABoxAnswersCancelThenNoThenOk) {
  EXPECT_EQ(escapeResult(mbYesNoCancel), mrCancel);
  EXPECT_EQ(escapeResult(mbOKCancel), mrCancel);
  EXPECT_EQ(escapeResult(mbYesNo), mrNo);
  EXPECT_EQ(escapeResult(mbOK), mrOk);
  EXPECT_EQ(escapeResult(mbAbortRetryIgnore), mrCancel) << "closed, not a button it lacks";
}

TEST(Dialogs, MessageDlgRecordsTextCaptionTypeAndButtons) {
  testsupport::ScriptedDialogs dialogs;
  dialogs.answer(mrYes);
  dialogs.answer(mrCancel);
  dialogs.answer(mrOk);
  EXPECT_EQ(MessageDlg("Entire layout will be cleared! Continue?", mtWarning, mbYesNo), mrYes);
  EXPECT_EQ(MessageDlg("Value exceeds SV range!", mtWarning, mbOKCancel), mrCancel);
  EXPECT_EQ(MessageDlg("Unable to save to file.", mtError, mbOK), mrOk);
  ASSERT_EQ(dialogs.messages().size(), 3u);
  const MessageRequest &first = dialogs.messages()[0];
  EXPECT_EQ(first.text, "Entire layout will be cleared! Continue?");
  EXPECT_EQ(first.caption, "Warning");
  EXPECT_EQ(first.type, mtWarning);
  EXPECT_EQ(first.buttons, mbYesNo);
  EXPECT_EQ(dialogs.messages()[2].caption, "Error");
  EXPECT_EQ(dialogs.pendingAnswers(), 0u);
}

TEST(Dialogs, CaptionsByType) {
  const struct {
    TMsgDlgType type;
    const char *caption;
  } cases[] = {{mtWarning, "Warning"},
               {mtError, "Error"},
               {mtInformation, "Information"},
               {mtConfirmation, "Confirm"}};
  for (const auto &c : cases)
    EXPECT_EQ(messageCaption(c.type), c.caption);
}

TEST(Dialogs, ShowMessageIsAnOkBoxUnderTheApplicationTitle) {
  const QString before = QGuiApplication::applicationDisplayName();
  QGuiApplication::setApplicationDisplayName("Tarvik Sondrel");
  testsupport::ScriptedDialogs dialogs;
  dialogs.answer(mrOk);
  ShowMessage("Please draw a route first.");
  QGuiApplication::setApplicationDisplayName(before);
  ASSERT_EQ(dialogs.messages().size(), 1u);
  EXPECT_EQ(dialogs.messages()[0].caption, "Tarvik Sondrel");
  EXPECT_EQ(dialogs.messages()[0].type, mtCustom);
  EXPECT_EQ(dialogs.messages()[0].buttons, TMsgDlgButtons(mbOK));
}

TEST(Dialogs, AnUnexpectedBoxIsReportedWithItsTextAndEscaped) {
  Recorded r;
  EXPECT_EQ(MessageDlg("Closing! Are you sure?\nKapaniyor! Emin misiniz?", mtWarning, mbYesNo),
            mrNo);
  ASSERT_EQ(r.failures.size(), 1);
  EXPECT_TRUE(r.failures[0].contains("Closing! Are you sure?")) << r.failures[0].toStdString();
  EXPECT_EQ(r.dialogs.messages().size(), 1u) << "still recorded";
}

TEST(Dialogs, AnAnswerThatFitsNoButtonIsReported) {
  Recorded r;
  r.dialogs.answer(mrYes);
  EXPECT_EQ(MessageDlg("Select points first!", mtCustom, mbOK), mrOk);
  ASSERT_EQ(r.failures.size(), 1);
  EXPECT_TRUE(r.failures[0].contains("mrYes"));
  EXPECT_TRUE(r.failures[0].contains("Select points first!"));
}

TEST(Dialogs, AnswersNeverAskedForAreReportedAtTheEnd) {
  QStringList failures;
  {
    ScriptedDialogs dialogs([&](const QString &f) { failures << f; });
    dialogs.answer(mrYes);
    dialogs.chooseFile("/tmp/a.zrv");
  }
  EXPECT_EQ(failures.size(), 2);
}

TEST(Dialogs, ResponderIsInstalledOnlyWhileItLives) {
  DialogResponder *before = &dialogResponder();
  {
    testsupport::ScriptedDialogs outer;
    EXPECT_EQ(&dialogResponder(), &outer);
    {
      testsupport::ScriptedDialogs inner;
      EXPECT_EQ(&dialogResponder(), &inner);
    }
    EXPECT_EQ(&dialogResponder(), &outer);
  }
  EXPECT_EQ(&dialogResponder(), before);
}

TEST(Dialogs, TheListenerFailsATestThatMeetsAnUnscriptedDialog) {
  testsupport::UnscriptedDialogsFail listener;
  const ::testing::TestInfo &info = *::testing::UnitTest::GetInstance()->current_test_info();
  listener.OnTestStart(info);
  EXPECT_NONFATAL_FAILURE(MessageDlg("Select points first!", mtCustom, mbOK),
                          "Select points first!");
  listener.OnTestEnd(info);
}

TEST(Dialogs, WithoutAScreenTheRealBoxIsEscapedInsteadOfHanging) {
  ASSERT_EQ(QGuiApplication::platformName(), "offscreen");
  // The test main scripts every test's dialogs; this one needs Qt's own.
  DialogResponder *scripted = setDialogResponder(nullptr);
  EXPECT_EQ(MessageDlg("nobody can answer this", mtConfirmation, mbYesNoCancel), mrCancel);
  FileDialog open(FileDialogKind::Open);
  EXPECT_FALSE(open.Execute());
  setDialogResponder(scripted);
}

TEST(QtDialogs, MessageBoxShowsTextCaptionIconAndButtonsAndAnswersTheClick) {
  QString title, text;
  QMessageBox::Icon icon = QMessageBox::NoIcon;
  QStringList buttons;
  whenShown<QMessageBox>([&](QMessageBox *box) {
    title = box->windowTitle();
    text = box->text();
    icon = box->icon();
    for (QAbstractButton *b : box->buttons())
      buttons << b->text().remove('&');
    buttonNamed(box, "No")->click();
  });
  const TModalResult result = showQtMessageBox(
      {"User added shapes to be deleted! Continue?", "Warning", mtWarning, mbYesNo});
  EXPECT_EQ(result, mrNo);
  EXPECT_EQ(title, "Warning");
  EXPECT_EQ(text, "User added shapes to be deleted! Continue?");
  EXPECT_EQ(icon, QMessageBox::Warning);
  buttons.sort();
  EXPECT_EQ(buttons, QStringList({"No", "Yes"}));
}

TEST(Dialogs, EnterPressesOkThenYesThenRetry) {
  EXPECT_EQ(defaultButton(mbOKCancel), mbOK);
  EXPECT_EQ(defaultButton(mbYesNoCancel), mbYes);
  EXPECT_EQ(defaultButton(mbAbortRetryIgnore), mbRetry);
  EXPECT_EQ(defaultButton(mbAbortIgnore), std::nullopt);
}

TEST(QtDialogs, EnterAnswersTheDefaultButton) {
  const struct {
    TMsgDlgButtons buttons;
    TModalResult result;
  } cases[] = {{mbYesNo, mrYes}, {mbOKCancel, mrOk}, {mbAbortRetryIgnore, mrRetry}};
  for (const auto &c : cases) {
    whenShown<QMessageBox>([](QMessageBox *box) {
      QKeyEvent enter(QEvent::KeyPress, Qt::Key_Return, Qt::NoModifier);
      QApplication::sendEvent(box, &enter);
    });
    EXPECT_EQ(showQtMessageBox(
                  {"Entire layout will be cleared! Continue?", "Warning", mtWarning, c.buttons}),
              c.result);
  }
}

TEST(QtDialogs, EscapeAnswersCancel) {
  whenShown<QMessageBox>([](QMessageBox *box) {
    QKeyEvent escape(QEvent::KeyPress, Qt::Key_Escape, Qt::NoModifier);
    QApplication::sendEvent(box, &escape);
  });
  EXPECT_EQ(showQtMessageBox({"Value exceeds SV range!", "Warning", mtWarning, mbOKCancel}),
            mrCancel);
}

TEST(QtDialogs, OpenDialogFiltersAndReturnsTheChosenFile) {
  testsupport::TempDir dir;
  QFile file(QString::fromStdString(dir.file("site.dxf")));
  ASSERT_TRUE(file.open(QIODevice::WriteOnly));
  file.close();
  QStringList filters;
  QString title;
  whenShown<QFileDialog>([&](QFileDialog *dialog) {
    filters = dialog->nameFilters();
    title = dialog->windowTitle();
    dialog->selectFile(file.fileName());
    static_cast<QDialog *>(dialog)->accept(); // as the Open button does
  });
  FileDialogRequest request;
  request.title = "Dialog Open";
  request.filter = "AutoCAD R12 DXF [*.dxf]|*.dxf|All Files [*.*]|*.*";
  request.initialDir = QString::fromStdString(dir.path());
  request.fileMustExist = true;
  EXPECT_EQ(showQtFileDialog(request), std::optional<QString>(file.fileName()));
  EXPECT_EQ(title, "Dialog Open");
  EXPECT_EQ(filters, QStringList({"AutoCAD R12 DXF [*.dxf] (*.dxf)", "All Files [*.*] (*)"}));

  whenShown<QFileDialog>([](QFileDialog *dialog) { dialog->reject(); });
  EXPECT_EQ(showQtFileDialog(request), std::nullopt);
}

TEST(QtDialogs, SaveDialogAddsAPlainDefaultExtension) {
  testsupport::TempDir dir;
  whenShown<QFileDialog>([&](QFileDialog *dialog) {
    dialog->selectFile(QString::fromStdString(dir.file("survey")));
    static_cast<QDialog *>(dialog)->accept(); // as the Open button does
  });
  FileDialogRequest request;
  request.kind = FileDialogKind::Save;
  request.filter = "Tarvik Pelmora [*.zrv]|*.zrv";
  request.defaultExt = "*.zrv";
  request.initialDir = QString::fromStdString(dir.path());
  EXPECT_EQ(showQtFileDialog(request),
            std::optional<QString>(QString::fromStdString(dir.file("survey.zrv"))));
}

TEST(Dialogs, FileDialogSendsItsSettingsAndKeepsTheChosenName) {
  testsupport::ScriptedDialogs dialogs;
  FileDialog open(FileDialogKind::Open);
  open.Title = "Dialog Open";
  open.Filter = "Tarvik Pelmora [*.zrv]|*.zrv|All Files [*.*]|*.*";
  open.FileMustExist = true;
  dialogs.chooseFile("/data/day1.zrv");
  dialogs.cancelFile();
  ASSERT_TRUE(open.Execute());
  EXPECT_EQ(open.FileName, "/data/day1.zrv");
  EXPECT_FALSE(open.Execute()) << "cancelled";
  EXPECT_EQ(open.FileName, "/data/day1.zrv") << "a cancel keeps the last name";
  ASSERT_EQ(dialogs.fileDialogs().size(), 2u);
  const FileDialogRequest &first = dialogs.fileDialogs()[0];
  EXPECT_EQ(first.kind, FileDialogKind::Open);
  EXPECT_EQ(first.title, "Dialog Open");
  EXPECT_EQ(first.filter, "Tarvik Pelmora [*.zrv]|*.zrv|All Files [*.*]|*.*");
  EXPECT_TRUE(first.fileMustExist);
  EXPECT_TRUE(first.fileName.isEmpty());
  EXPECT_EQ(dialogs.fileDialogs()[1].fileName, "/data/day1.zrv") << "proposed again";
}

TEST(Dialogs, AnUnexpectedFileDialogIsReportedAndCancelled) {
  Recorded r;
  FileDialog save(FileDialogKind::Save);
  save.Title = "Dialog Save";
  EXPECT_FALSE(save.Execute());
  ASSERT_EQ(r.failures.size(), 1);
  EXPECT_TRUE(r.failures[0].contains("Dialog Save"));
}

TEST(Dialogs, VclFiltersBecomeQtFilters) {
  const struct {
    const char *vcl, *qt;
  } cases[] = {
      {"AutoCAD R12 DXF [*.dxf]|*.dxf|All Files [*.*]|*.*",
       "AutoCAD R12 DXF [*.dxf] (*.dxf);;All Files [*.*] (*)"},
      {"Drawings|*.zrv;*.dxf", "Drawings (*.zrv *.dxf)"},
      {"Sound Velocity File [*.*]", "Sound Velocity File [*.*] (*)"},
      {"Text|*.txt|", "Text (*.txt)"},
      {"|*.csv", "*.csv"},
      {"", ""},
  };
  for (const auto &c : cases)
    EXPECT_EQ(qtFileFilter(c.vcl), c.qt) << c.vcl;
}

} // namespace
