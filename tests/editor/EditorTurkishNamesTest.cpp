// The editor's open and save under a folder and a name with Turkish letters: the chosen name
// reaches the file as the system's bytes, and the edited copy lands beside it.
#include "EditorTestSupport.h"

#include <QDir>
#include <gtest/gtest.h>

using editortest::Editor;

namespace {

TEST(EditorTurkishNames, OpenAndSaveKeepTheChosenName) {
  Editor ed;
  const QString folder = QString::fromStdString(ed.dir.path()) + QString::fromUtf8("/ölçüm İzmir");
  ASSERT_TRUE(QDir().mkpath(folder));
  const QString name = folder + QString::fromUtf8("/gökhan ağustos.txt");
  const std::string path = QFile::encodeName(name).toStdString();
  testsupport::writeFile(path, "500000.123,4400000.5,-3.456\n1,2,3\n4,5,6\n");
  ed.dialogs.chooseFile(name);
  ed.e().bFileOpenClick();
  ASSERT_EQ(ed.e().points.size(), 3u);
  EXPECT_EQ(ed.e().windowTitle(), QStringLiteral("VUDE Divovo (\"") + name + QStringLiteral("\")"));

  ed.e().bSaveEditsClick();
  EXPECT_TRUE(ed.dialogs.messages().empty());
  EXPECT_EQ(testsupport::readFile(path + "_edited.txt"),
            "500000.12\t4400000.50\t-3.46\r\n1.00\t2.00\t3.00\r\n4.00\t5.00\t6.00\r\n");
}

} // namespace
