// Open and Save through the profile window: the loaded view, the plan view's labels, the
// messages of a bad file and of a save without data, and the exact bytes of the edited copy.
#include "EditorTestSupport.h"

#include "canvas/TarvikCanvas.h"
#include "support/FileSizeLimit.h"

#include <QDir>
#include <cmath>
#include <sys/stat.h>

#include <QTimer>
#include <QToolButton>
#include <gtest/gtest.h>

using editortest::Editor;

namespace {

TEST(EditorFiles, SimpleXyzFileOpensAndFitsTheWidth) {
  Editor ed;
  const std::string path =
      ed.open("2024-05-01 Simple XYZ.csv", editortest::line(100, [](int i) { return -i; }));
  TfEditing &e = ed.e();
  ASSERT_EQ(e.points.size(), 100u);
  EXPECT_EQ(e.graph.geographic, 0);
  EXPECT_DOUBLE_EQ(e.graph.pixelsPerPoint, 10.0);
  EXPECT_EQ(e.windowTitle(), "VUDE Divovo (\"" + QString::fromStdString(path) + "\")");
  EXPECT_TRUE(e.displayMainLoop->isActive());
  EXPECT_TRUE(e.toolUndo->isEnabled());
  EXPECT_TRUE(e.toolShowStatus->isChecked());
  EXPECT_EQ(e.iMain->PopupMenu, e.popupMenu);
  EXPECT_DOUBLE_EQ(e.graph.top, 0.0);
  EXPECT_DOUBLE_EQ(e.graph.bottom, -99 - 9.9);
  ASSERT_EQ(ed.dialogs.fileDialogs().size(), 1u);
  EXPECT_EQ(ed.dialogs.fileDialogs()[0].filter, "Text files [*.txt]|*.txt|All files [*.*]|*.*");
  // The plan view draws the track and the labels from the list with the "Elevations" layer's
  // pen, not as a shape pair per sounding; the grid on.
  TTarvikCanvas *c = ed.w.fPlanView->qcanvas;
  EXPECT_EQ(c->ShapeCount, 0);
  EXPECT_EQ(c->LayerFindByName("Elevations"), 1);
  EXPECT_TRUE(c->GridVisible);
  EXPECT_GE(c->WorldRight, 500099.0);
  EXPECT_LE(c->WorldLeft, 500000.0);
  EXPECT_LT(c->WorldRight - c->WorldLeft, 1000.0); // the soundings, not the labels' bounds
  EXPECT_TRUE(e.redrawIfChanged());
  EXPECT_FALSE(e.redrawIfChanged()); // nothing changed: no redraw
}

TEST(EditorFiles, TooFewPointsFailWithTheMessage) {
  Editor ed;
  ed.dialogs.answer(mrOk);
  EXPECT_THROW(ed.open("two.txt", "1,2,3\n4,5,6\n"), platform::EAbort);
  TfEditing &e = ed.e();
  ASSERT_EQ(ed.dialogs.messages().size(), 1u);
  EXPECT_EQ(ed.dialogs.messages()[0].text, "Unable to open file. Possible reasons: \n-Wrong data "
                                           "format\n-File too small or data is corrupted");
  EXPECT_EQ(ed.dialogs.messages()[0].caption, "Error");
  EXPECT_EQ(ed.dialogs.messages()[0].type, mtError);
  EXPECT_EQ(e.windowTitle(), "VUDE Divovo");
  EXPECT_EQ(e.points.size(), 2u);
  EXPECT_FALSE(e.displayMainLoop->isActive());
  EXPECT_EQ(e.graph.geographic, 1);
  // Cancelling the dialog keeps everything.
  ed.dialogs.cancelFile();
  e.bFileOpenClick();
  EXPECT_EQ(e.points.size(), 2u);
}

TEST(EditorFiles, GeographicMeanIncludesItsLimits) {
  const std::pair<const char *, int> cases[] = {{"180", 1}, {"-180", 1}, {"180.0001", 0}};
  for (const auto &[x, geographic] : cases) {
    Editor ed;
    const std::string row = std::string(x) + ",40,1\n";
    ed.open("g.txt", row + row + row);
    EXPECT_EQ(ed.e().graph.geographic, geographic) << x;
  }
}

TEST(EditorFiles, SaveWritesTheEditedCopyBesideTheInput) {
  Editor ed;
  const std::string path = ed.open("a.txt", "500000.123,4400000.5,-3.456\n1,2,3\n4,5,6\n");
  TfEditing &e = ed.e();
  e.points[1].deleted = 1;
  e.bSaveEditsClick();
  EXPECT_EQ(testsupport::readFile(path + "_edited.txt"),
            "500000.12\t4400000.50\t-3.46\r\n4.00\t5.00\t6.00\r\n");
  EXPECT_TRUE(e.displayMainLoop->isActive());
  EXPECT_FALSE(ed.w.fWait->isVisible());
  // Geographic: 8 decimals for X and Y.
  Editor geo;
  const std::string g = geo.open("b.txt", "29.1,41.2,-3\n29.2,41.3,-4\n29.3,41.4,-5\n");
  geo.e().bSaveEditsClick();
  EXPECT_EQ(testsupport::readFile(g + "_edited.txt"),
            "29.10000000\t41.20000000\t-3.00\r\n29.20000000\t41.30000000\t-4.00\r\n"
            "29.30000000\t41.40000000\t-5.00\r\n");
}

TEST(EditorFiles, SaveWithoutDataOrWithoutAFolderSaysSo) {
  Editor ed;
  ed.dialogs.answer(mrOk);
  ed.e().bSaveEditsClick();
  ASSERT_EQ(ed.dialogs.messages().size(), 1u);
  EXPECT_EQ(ed.dialogs.messages()[0].text, "No data loaded. Please open a file first.");

  ed.open("c.txt", "1,2,3\n4,5,6\n7,8,9\n");
  ed.e().openDialog.FileName = QString::fromStdString(ed.dir.file("gone/c.txt"));
  ed.dialogs.answer(mrOk);
  EXPECT_THROW(ed.e().bSaveEditsClick(), platform::EAbort);
  ASSERT_EQ(ed.dialogs.messages().size(), 2u);
  // The message's first line, then why, naming the file.
  EXPECT_EQ(ed.dialogs.messages()[1].text.section('\n', 0, 0), "Unable to save to file.");
  EXPECT_TRUE(ed.dialogs.messages()[1].text.contains("gone/c.txt_edited.txt"))
      << ed.dialogs.messages()[1].text.toStdString();
  EXPECT_EQ(ed.dialogs.messages()[1].type, mtError);
  EXPECT_TRUE(ed.e().displayMainLoop->isActive());
}

TEST(EditorFiles, OpeningAnotherFileEmptiesTheUndoHistory) {
  Editor ed;
  ed.open("one.txt", "1,2,3\n4,5,6\n7,8,9\n");
  TfEditing &e = ed.e();
  e.graph.cursorOffset = 1;
  e.DeletePoint2Click();
  ed.open("two.txt", "10,20,30\n40,50,60\n70,80,90\n");
  const SoundingList second = e.points;
  e.toolUndoClick();
  EXPECT_EQ(e.points, second);
}

TEST(EditorFiles, AFileWithoutLineFeedsIsRefusedWithItsName) {
  Editor ed;
  ed.open("one.txt", "1,2,3\n4,5,6\n7,8,9\n");
  std::string text;
  while (text.size() < 200000)
    text += "500000.00,4400000.00,-5.20 ";
  ed.dialogs.answer(mrOk);
  EXPECT_THROW(ed.open("no line feeds.txt", text), platform::EAbort);
  ASSERT_EQ(ed.dialogs.messages().size(), 1u);
  const QString message = ed.dialogs.messages()[0].text;
  EXPECT_TRUE(message.contains("no line feeds.txt\" is not a sounding file"))
      << message.toStdString();
  EXPECT_EQ(ed.dialogs.messages()[0].type, mtError);
  TfEditing &e = ed.e();
  EXPECT_TRUE(e.points.empty());
  EXPECT_FALSE(e.displayMainLoop->isActive());
  EXPECT_EQ(e.windowTitle(), "VUDE Divovo");
}

// Lines of numbers no sounding can hold, skipped, may be what leaves a file too short: the
// refusal says so, naming them, instead of blaming the format alone.
TEST(EditorFiles, TooFewPointsNameTheSkippedLines) {
  const struct {
    const char *text;
    const char *because;
  } cases[] = {
      {"1,2,3\n4,5,6\n7,8,1e308\n9,10,nan\n",
       "2 lines could not be read as soundings and were skipped; the first is line 3. Only 2 "
       "soundings remain; at least 3 are needed."},
      {"Easting,Northing,Elevation\n1,2,3\ninf,5,6\n",
       "1 line could not be read as a sounding and was skipped: line 3. Only 1 sounding remains; "
       "at least 3 are needed."},
  };
  for (const auto &c : cases) {
    Editor ed;
    ed.dialogs.answer(mrOk);
    EXPECT_THROW(ed.open("bad numbers.txt", c.text), platform::EAbort);
    ASSERT_EQ(ed.dialogs.messages().size(), 1u) << c.text;
    EXPECT_EQ(ed.dialogs.messages()[0].text,
              QStringLiteral("Unable to open file. Possible reasons: \n-Wrong data format\n-File "
                             "too small or data is corrupted\n\n") +
                  QString::fromUtf8(c.because));
    EXPECT_EQ(ed.dialogs.messages()[0].type, mtError);
    EXPECT_FALSE(ed.e().displayMainLoop->isActive());
  }
}

TEST(EditorFiles, SkippedLinesAreReportedOnceAfterOpening) {
  Editor ed;
  std::string text = "Easting,Northing,Elevation\r\n";
  for (int i = 0; i < 10; ++i)
    text += i % 3 == 0 ? "50000" + std::to_string(i) + ",00;4400000,00;-5,20\r\n"
                       : "50000" + std::to_string(i) + ".00,4400000.00,-5.20\r\n";
  text += "\r\n";
  ed.dialogs.answer(mrOk);
  ed.open("decimal commas.txt", text);
  TfEditing &e = ed.e();
  EXPECT_EQ(e.points.size(), 6u);
  EXPECT_TRUE(e.displayMainLoop->isActive());
  ASSERT_EQ(ed.dialogs.messages().size(), 1u);
  EXPECT_EQ(ed.dialogs.messages()[0].text,
            "4 lines could not be read as soundings and were skipped; the first is line 2.");
  EXPECT_EQ(ed.dialogs.messages()[0].type, mtWarning);
  // A clean file says nothing.
  ed.open("clean.txt", "1,2,3\n4,5,6\n7,8,9\n");
  EXPECT_EQ(ed.dialogs.messages().size(), 1u);
}

TEST(EditorFiles, AFailedSaveKeepsTheEarlierEditedCopyAndSaysWhy) {
  Editor ed;
  const std::string path = ed.open("day.txt", editortest::line(2000, [](int i) { return -i; }));
  TfEditing &e = ed.e();
  e.bSaveEditsClick();
  const std::string edited = path + "_edited.txt";
  const std::string earlier = testsupport::readFile(edited);
  ASSERT_GT(earlier.size(), 50000u);
  e.graph.cursorOffset = 5;
  e.DeletePoint2Click();
  e.points.push_back({1, 2, 3}); // longer than before, so the limit is met before the end
  e.points.push_back({1, 2, 3});
  ed.dialogs.answer(mrOk);
  bool aborted = false;
  {
    const testsupport::FileSizeLimit limit(32 * 1024);
    try {
      e.bSaveEditsClick();
    } catch (const platform::EAbort &) {
      aborted = true;
    }
  }
  EXPECT_TRUE(aborted);
  ASSERT_EQ(ed.dialogs.messages().size(), 1u);
  const QString message = ed.dialogs.messages()[0].text;
  EXPECT_EQ(message.section('\n', 0, 0), "Unable to save to file.");
  EXPECT_TRUE(message.contains(QString::fromStdString(edited))) << message.toStdString();
  EXPECT_TRUE(testsupport::readFile(edited) == earlier) << "the earlier edited copy was changed";
  EXPECT_EQ(QDir(QString::fromStdString(ed.dir.path())).entryList(QDir::Files).size(), 2);
  EXPECT_FALSE(ed.w.fWait->isVisible());
  EXPECT_TRUE(e.displayMainLoop->isActive());
  // With room again the same command writes the new copy.
  e.bSaveEditsClick();
  EXPECT_NE(testsupport::readFile(edited), earlier);
}

} // namespace

namespace {

// A pipe, a device or a folder chosen in the open dialog is refused with the reason the reader
// found, naming it; nothing waits for a writer, and the file open before stays closed as after
// any refusal.
TEST(EditorFiles, AFileThatIsNoRegularFileIsRefusedWithTheReason) {
  Editor ed;
  const std::string fifo = ed.dir.file("pipe.txt");
  ASSERT_EQ(::mkfifo(fifo.c_str(), 0600), 0);
  const std::string folder = ed.dir.file("folder.txt");
  ASSERT_TRUE(QDir().mkpath(QString::fromStdString(folder)));
  for (const std::string &path : {fifo, std::string("/dev/null"), folder}) {
    ed.open("one.txt", "1,2,3\n4,5,6\n7,8,9\n");
    const std::size_t before = ed.dialogs.messages().size();
    ed.dialogs.chooseFile(QString::fromStdString(path));
    ed.dialogs.answer(mrOk);
    EXPECT_THROW(ed.e().bFileOpenClick(), platform::EAbort) << path;
    ASSERT_EQ(ed.dialogs.messages().size(), before + 1) << path;
    const auto &message = ed.dialogs.messages()[before];
    EXPECT_EQ(message.text, "The file \"" + QString::fromStdString(path) +
                                "\" could not be opened: Not a regular file");
    EXPECT_EQ(message.type, mtError);
    EXPECT_TRUE(ed.e().points.empty());
    EXPECT_FALSE(ed.e().displayMainLoop->isActive());
    EXPECT_EQ(ed.e().windowTitle(), "VUDE Divovo");
  }
}

// Numbers near the limits of a double would make the plan's extent infinite and its cells
// undefined: a line holding a coordinate or height beyond +-1e15 is no sounding. It is skipped
// and named like any unreadable line; the rest of the file opens, and the plan and the profile
// are drawn (the sanitizer build stops at any undefined arithmetic on the way).
TEST(EditorFiles, NumbersNearTheDoubleRangeAreSkippedAndNamed) {
  const struct {
    const char *line;
    bool read;
  } cases[] = {
      {"-1e308,4400000,-5", false},    {"1e308,4400000,-5", false},
      {"500000,-1e308,-5", false},     {"500000,1.7976931348623157e308,-5", false},
      {"500000,4400000,1e308", false}, {"500000,4400000,-1e308", false},
      {"1e16,4400000,-5", false},      {"500000,4400000,-1e15", true},
      {"-1e15,1e15,-5", true},
  };
  for (const auto &c : cases) {
    Editor ed;
    std::string text = "Easting,Northing,Elevation\n";
    for (int i = 0; i < 5; ++i)
      text += std::to_string(500000 + i) + ",4400000,-5\n";
    text += std::string(c.line) + "\n";
    for (int i = 5; i < 10; ++i)
      text += std::to_string(500000 + i) + ",4400000,-5\n";
    if (!c.read)
      ed.dialogs.answer(mrOk);
    ed.open("extreme.txt", text);
    TfEditing &e = ed.e();
    EXPECT_EQ(e.points.size(), c.read ? 11u : 10u) << c.line;
    if (!c.read) {
      ASSERT_EQ(ed.dialogs.messages().size(), 1u) << c.line;
      EXPECT_EQ(ed.dialogs.messages()[0].text,
                "1 line could not be read as a sounding and was skipped: line 7.");
    } else {
      EXPECT_TRUE(ed.dialogs.messages().empty()) << c.line;
    }
    e.redrawIfChanged();
    ed.w.fPlanView->qcanvas->grab();
    for (const double *v : {&e.graph.top, &e.graph.bottom})
      EXPECT_TRUE(std::isfinite(*v)) << c.line;
  }
  // A table of nothing but the two ends of the range: no sounding, the usual message.
  Editor ed;
  ed.dialogs.answer(mrOk);
  EXPECT_THROW(ed.open("ends.txt", "-1e308,-1e308,-1e308\n1e308,1e308,1e308\n"
                                   "-1e308,1e308,0\n1e308,-1e308,0\n"),
               platform::EAbort);
  EXPECT_TRUE(ed.e().points.empty());
}

} // namespace
