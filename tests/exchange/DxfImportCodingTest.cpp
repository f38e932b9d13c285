// Names and texts that are not ASCII: UTF-8 in files from AutoCAD 2007 on, the code page the
// header names in older ones, this system's ANSI code page when it names none; a drawing
// written by ezdxf as R2018 and a drawing of our own export come back with the same letters.
#include "DxfExportSupport.h"
#include "DxfImportTestSupport.h"
#include "canvas/TarvikCanvas.h"
#include "support/ScriptedDialogs.h"
#include "support/TestSupport.h"

#include <gtest/gtest.h>

namespace {

using namespace dxftest;
using testsupport::TempDir;

std::string header(std::string_view version, std::string_view codePage) {
  std::string body;
  if (!version.empty())
    body += "9\n$ACADVER\n1\n" + std::string(version) + "\n";
  body += "9\n$INSUNITS\n70\n0\n"; // a value line of "0" must not end the header early
  if (!codePage.empty())
    body += "9\n$DWGCODEPAGE\n3\n" + std::string(codePage) + "\n";
  return section("HEADER", body);
}

TEST(DxfImportCoding, NamesAndTextsFollowTheFilesVersionAndCodePage) {
  const struct Case {
    const char *version;
    const char *codePage;
    std::string layer; // bytes in the file
    std::string text;
    QString wantLayer;
    QString wantText;
  } cases[] = {
      {"AC1032", "ANSI_1252",
       "Gr\xC3\xB6\xC3\x9F"
       "e",
       "\xC3\xA7"
       "ay",
       QString::fromUtf8("Größe"), QString::fromUtf8("çay")},
      {"AC1021", "",
       "\xC5\x9E"
       "amand\xC4\xB1ra",
       "\xC4\xB0\xC5\x9E", QString::fromUtf8("Şamandıra"), QString::fromUtf8("İŞ")},
      {"AC1015", "ANSI_1252",
       "Gr\xF6\xDF"
       "e",
       "\xE9t\xE9", QString::fromUtf8("Größe"), QString::fromUtf8("été")},
      {"AC1015", "ansi_1251", "\xCF\xF0\xE8", "\xEC\xEE\xF0\xE5", QString::fromUtf8("При"),
       QString::fromUtf8("море")},
      {"AC1009", "ANSI_1254", "K\xDD\xDE", "\xF0\xFE\xFD", QString::fromUtf8("KİŞ"),
       QString::fromUtf8("ğşı")},
      // No header, and a code page not known here: the ANSI code page.
      {"", "", "K\xDD\xDE", "\xF0\xFE\xFD", QString::fromUtf8("KİŞ"), QString::fromUtf8("ğşı")},
      {"AC1015", "ANSI_9999", "K\xDD\xDE", "\xF0\xFE\xFD", QString::fromUtf8("KİŞ"),
       QString::fromUtf8("ğşı")},
      // Letters outside the code page written as escapes, in names and texts; in a text a
      // doubled backslash is one backslash and starts no escape.
      {"AC1015", "ANSI_1254", "Katman_\\U+011f\xFC", "\\U+0130stanbul \\\\U+00E7 \\U+00e7",
       QString::fromUtf8("Katman_ğü"), QString::fromUtf8("İstanbul \\U+00E7 ç")},
      {"AC1032", "", "\\U+015Eamand\\U+0131ra", "\\U+D83D\\U+DE00 \\U+D83D",
       QString::fromUtf8("Şamandıra"), QString::fromUtf8("😀 \\U+D83D")},
      // UTF-8 texts in an old file, as many writers put them, stay UTF-8.
      {"AC1015", "ANSI_1252", "A",
       "\xC3\xA7"
       "ay",
       QStringLiteral("A"), QString::fromUtf8("çay")},
  };
  for (const Case &c : cases) {
    const std::string file =
        header(c.version, c.codePage) +
        section("BLOCKS", "0\nBLOCK\n2\n" + c.layer + "\n0\nLINE\n11\n1\n0\nENDBLK\n") +
        entitiesFile("0\nTEXT\n8\n" + c.layer + "\n1\n" + c.text + "\n0\nINSERT\n2\n" + c.layer +
                     "\n8\n" + c.layer + "\n");
    DrawingModel m;
    const auto r = import(m, file);
    const std::string what = std::string(c.version) + " " + c.codePage;
    ASSERT_EQ(r.importCount, 2) << what;
    EXPECT_EQ(m.FindLayer(m.Shapes[0]->Layer)->Name, QStringLiteral("_dxf_") + c.wantLayer) << what;
    EXPECT_EQ(m.Shapes[1]->Layer, m.Shapes[0]->Layer) << what;
    EXPECT_EQ(shapeAt<TQText>(m, 0)->DisplayText, c.wantText) << what;
    ASSERT_EQ(m.Blocks.size(), 1u);
    EXPECT_EQ(m.Blocks[0]->Name, c.wantLayer) << what;
  }
}

TEST(DxfImportCoding, AHeaderOutOfStepStillGivesItsVersionAndTheEntities) {
  // A stray line puts every pair after it out of step: the "0" before ENDSEC and SECTION now
  // stands where a value would.
  const std::string file = section("HEADER", "9\n$ACADVER\n1\nAC1027\nstray\n9\n$X\n") +
                           entitiesFile("0\nLINE\n8\nGr\xC3\xB6\xC3\x9F"
                                        "e\n");
  DrawingModel m;
  ASSERT_EQ(import(m, file).importCount, 1);
  EXPECT_EQ(m.FindLayer(m.Shapes[0]->Layer)->Name, QString::fromUtf8("_dxf_Größe"));
}

TEST(DxfImportCoding, AnEzdxfR2018DrawingKeepsItsLayerAndBlockNames) {
  TempDir dir;
  const std::string path = dir.file("names.dxf");
  static const char *script = R"(
import sys, ezdxf
doc = ezdxf.new("R2018")
doc.layers.add("Größe", color=1)
doc.layers.add("Şamandıra_İğne")
block = doc.blocks.new("Çıpa")
block.add_line((0, 0), (1, 0))
msp = doc.modelspace()
msp.add_line((0, 0), (5, 5), dxfattribs={"layer": "Größe"})
msp.add_blockref("Çıpa", (10, 10), dxfattribs={"layer": "Şamandıra_İğne"})
msp.add_text("Ölçü ğşı", dxfattribs={"layer": "Şamandıra_İğne"})
doc.saveas(sys.argv[1])
)";
  const auto made = dxfexporttest::runProcess(
      QStringLiteral("/usr/bin/python3"),
      {QStringLiteral("-c"), QString::fromUtf8(script), QString::fromStdString(path)});
  ASSERT_TRUE(made.started && made.exitCode == 0) << made.err;

  TTarvikCanvas canvas;
  testsupport::ScriptedDialogs dialogs;
  dialogs.answer(mrOk);
  ASSERT_TRUE(canvas.DXFLoad(QString::fromStdString(path)));
  const int size = canvas.LayerFindByName(QString::fromUtf8("_dxf_Größe"));
  const int buoy = canvas.LayerFindByName(QString::fromUtf8("_dxf_Şamandıra_İğne"));
  ASSERT_GE(size, 0);
  ASSERT_GE(buoy, 0);
  EXPECT_EQ(canvas.GetLayerPenFg(size), rgb(255, 0, 0));
  ASSERT_NE(canvas.FindBlock(QString::fromUtf8("Çıpa")), nullptr);
  ASSERT_EQ(canvas.ShapeCount, 3);
  EXPECT_EQ(canvas.Shapes[0]->Layer, size);
  EXPECT_EQ(canvas.Shapes[1]->Layer, buoy); // the block's line
  EXPECT_EQ(shapeAt<TQText>(canvas, 2)->DisplayText, QString::fromUtf8("Ölçü ğşı"));
}

TEST(DxfImportCoding, OurOwnExportComesBackWithTheSameLetters) {
  const QString text = QString::fromUtf8("Çağrı şamandırası İĞNE ÖÜ");
  EXPECT_EQ(dxfexporttest::textsThroughOwnDxf({text}), std::vector<QString>{text});
}

} // namespace
