// The profile's passes on a real image: rows of heights, the limit lines and their labels, the
// segments, dots and crosses of the points, and the dense drawing of a zoomed-out profile.
#include "editor/Graph.h"

#include "platform/Convert.h"
#include "platform/GdiCanvas.h"

#include <QImage>
#include <cmath>
#include <gtest/gtest.h>

namespace {

struct Surface {
  Surface(int w, int h) : image(w, h, QImage::Format_RGB32) {
    image.fill(Qt::white);
    canvas.begin(image);
  }
  ProfileImage profile(const SoundingList &points, const strCursor &cursor) {
    return ProfileImage{canvas,         image.width(), image.height(), image.width(),
                        image.height(), points,        cursor};
  }
  TColor at(int x, int y) { return canvas.Pixels(x, y); }
  QImage image;
  platform::GdiCanvas canvas;
};

TEST(ProfileDrawing, RowsAndLimitLabelsOfTheVerticalWindow) {
  Surface s(600, 440);
  SoundingList points;
  strCursor cursor;
  clGraph g;
  ProfileImage img = s.profile(points, cursor);
  g.updateScales(img);
  EXPECT_DOUBLE_EQ(g.unitsPerPixel, 0.025);
  EXPECT_DOUBLE_EQ(g.rowOf(0, 440), 440);
  EXPECT_DOUBLE_EQ(g.rowOf(10, 440), 40);
  g.clearProfile(img);
  g.drawLimitLines(img);
  EXPECT_EQ(g.topLineY, 20);
  EXPECT_EQ(g.bottomLineY, 420);
  EXPECT_EQ(platform::FloatToStrF(g.heightAt(g.topLineY, 440), platform::ffFixed, 15, 2,
                                  platform::FormatSettings::classic()),
            "10.50");
  EXPECT_EQ(platform::FloatToStrF(g.heightAt(g.bottomLineY, 440), platform::ffFixed, 15, 2,
                                  platform::FormatSettings::classic()),
            "0.50");
  EXPECT_EQ(s.at(0, 20), g.limitLineColor);
  EXPECT_EQ(s.at(548, 20), g.limitLineColor);
  EXPECT_EQ(s.at(551, 20), clWhite);
  EXPECT_EQ(s.at(300, 420), g.limitLineColor);
  // While the top line is dragged below the middle it is not drawn.
  g.draggingTop = true;
  cursor.mouseY = 300;
  g.clearProfile(img);
  g.drawLimitLines(img);
  EXPECT_EQ(s.at(10, 20), clWhite);
  EXPECT_EQ(s.at(10, 300), clWhite);
  cursor.mouseY = 100;
  g.drawLimitLines(img);
  EXPECT_EQ(s.at(10, 100), g.dragLineColor);
}

// The labels of the limit lines stand whole on the image, however wide the heights make them:
// each leaves as many pixels as the same text written where nothing cuts it.
TEST(ProfileDrawing, LimitLabelsAreNeverCutByTheRightEdge) {
  for (const double top : {10.0, -10.0, 1.1612813e15, -9.87654321e14}) {
    SCOPED_TRACE(top);
    Surface s(600, 440);
    SoundingList points;
    strCursor cursor;
    clGraph g;
    g.top = top;
    g.bottom = top - 100;
    ProfileImage img = s.profile(points, cursor);
    g.updateScales(img);
    g.clearProfile(img);
    g.drawLimitLines(img);
    const QString label = QString::fromStdString(
        platform::FloatToStrF(g.heightAt(g.topLineY, 440), platform::ffFixed, 15, 2));
    // The top label's rows, but for the line's own row.
    const int height = s.canvas.TextHeight(label);
    auto ink = [&](const QImage &image, int top, int skipRow) {
      int n = 0;
      for (int y = top; y < top + height; ++y)
        for (int x = 0; x < image.width() && y != skipRow; ++x)
          n += image.pixel(x, y) != qRgb(255, 255, 255);
      return n;
    };
    QImage whole(s.canvas.TextWidth(label) + 20, height, QImage::Format_RGB32);
    whole.fill(Qt::white);
    platform::GdiCanvas reference(whole);
    reference.Font = s.canvas.Font;
    reference.Brush.Style = bsClear;
    reference.TextOut(10, 0, label);
    reference.end();
    s.canvas.end();
    const int expected = ink(whole, 0, 6);
    ASSERT_GT(expected, 0);
    EXPECT_EQ(ink(s.image, 14, 20), expected);
  }
}

TEST(ProfileDrawing, PointsSegmentsDotsAndCrosses) {
  Surface s(1000, 440);
  SoundingList points;
  for (int i = 0; i < 100; ++i)
    points.push_back({double(i), 0, 5.0});
  points[10].deleted = points[12].deleted = 1; // 11 is a live point between two deleted ones
  points[50].selected = 1;
  strCursor cursor;
  clGraph g;
  g.pixelsPerPoint = 1000.0 / 100;
  ProfileImage img = s.profile(points, cursor);
  g.updateScales(img);
  EXPECT_EQ(g.visibleCount, 100);
  const int row = g.pixelRow(5.0, 440); // 240
  ASSERT_EQ(row, 240);
  g.clearProfile(img);
  g.drawPoints(img);
  EXPECT_EQ(s.at(5, row), clBlack);               // segment 0 -> 1
  EXPECT_EQ(s.at(985, row), clBlack);             // segment 98 -> 99
  EXPECT_EQ(s.at(995, row), clWhite);             // the last point has no segment to its right
  EXPECT_EQ(s.at(95, row), clWhite);              // 9 -> 10: point 10 is deleted
  EXPECT_EQ(s.at(115, row), clWhite);             // 11 -> 12
  EXPECT_EQ(s.at(109, row - 1), clBlack);         // the dot of point 11 at x 110
  EXPECT_EQ(s.at(500, row - 3), g.selectedColor); // the disc of point 50
  EXPECT_EQ(s.at(97, row - 3), clWhite);          // no cross while "Show deleted" is up
  img.showDeleted = true;
  g.drawPoints(img);
  EXPECT_EQ(s.at(97, row - 3), clRed);
}

TEST(ProfileDrawing, DenseProfileCoversWhatEverySegmentCovers) {
  const int W = 400, H = 300;
  SoundingList points;
  for (int i = 0; i < 5000; ++i)
    points.push_back({double(i), 0, std::sin(i * 0.01) * 10 + (i % 13) * 0.3});
  for (int i = 1000; i < 1010; ++i)
    points[static_cast<std::size_t>(i)].deleted = 1;
  strCursor cursor;
  clGraph g;
  g.pixelsPerPoint = double(W) / double(points.size());
  Surface dense(W, H), reference(W, H);
  ProfileImage img = dense.profile(points, cursor);
  g.updateScales(img);
  g.fitVertical(points, g.top, g.bottom);
  g.updateScales(img);
  g.drawPoints(img);
  // The same segments drawn one by one.
  reference.canvas.Pen.Color = clBlack;
  for (int c = 0; c + 1 < static_cast<int>(points.size()); ++c) {
    if (points[c].deleted || points[c + 1].deleted)
      continue;
    reference.canvas.MoveTo(clGraph::pixel(c * g.pixelsPerPoint), g.pixelRow(points[c].Z, H));
    reference.canvas.LineTo(clGraph::pixel((c + 1) * g.pixelsPerPoint),
                            g.pixelRow(points[c + 1].Z, H));
  }
  int missing = 0, painted = 0;
  for (int y = 0; y < H; ++y)
    for (int x = 0; x < W; ++x) {
      if (reference.at(x, y) == clBlack) {
        ++painted;
        missing += dense.at(x, y) != clBlack;
      }
    }
  EXPECT_GT(painted, W);
  EXPECT_EQ(missing, 0);
}

// Zoomed out, a block of points inside one pixel column is drawn from its summary. A deleted
// point right after such a block ends its line there: the picture, read from the summary, has
// exactly the pixels of the segments drawn one by one, none missing and none more.
TEST(ProfileDrawing, ABlockDrawnFromItsSummaryStopsBeforeADeletedPoint) {
  const int W = 400, H = 300;
  SoundingList points;
  for (int i = 0; i < 20000; ++i)
    points.push_back({double(i), 0, std::sin(i * 0.003) * 4 + (i % 7) * 0.1});
  strCursor cursor;
  clGraph g;
  g.pixelsPerPoint = double(W) / double(points.size());
  // Deleted spikes at block boundaries, each right after a block that lies in one column.
  constexpr int B = ProfileBlocks::size;
  int spikes = 0;
  for (int b = 20; b + 1 < static_cast<int>(points.size()) / B && spikes < 12; b += 37) {
    const int after = (b + 1) * B;
    if (clGraph::pixel(b * B * g.pixelsPerPoint) != clGraph::pixel(after * g.pixelsPerPoint))
      continue;
    points[static_cast<std::size_t>(after)].Z = spikes % 2 ? 40 : -40;
    points[static_cast<std::size_t>(after)].deleted = 1;
    ++spikes;
  }
  ASSERT_GE(spikes, 6);
  ProfileBlocks blocks;
  blocks.build(points);
  Surface dense(W, H), reference(W, H);
  ProfileImage img = dense.profile(points, cursor);
  img.blocks = &blocks;
  g.updateScales(img);
  g.top = 45;
  g.bottom = -45;
  g.updateScales(img);
  g.drawPoints(img);
  reference.canvas.Pen.Color = clBlack;
  for (int c = 0; c + 1 < static_cast<int>(points.size()); ++c) {
    if (points[c].deleted || points[c + 1].deleted)
      continue;
    reference.canvas.MoveTo(clGraph::pixel(c * g.pixelsPerPoint), g.pixelRow(points[c].Z, H));
    reference.canvas.LineTo(clGraph::pixel((c + 1) * g.pixelsPerPoint),
                            g.pixelRow(points[c + 1].Z, H));
  }
  int missing = 0, extra = 0, painted = 0;
  for (int y = 0; y < H; ++y)
    for (int x = 0; x < W; ++x) {
      const bool want = reference.at(x, y) == clBlack, got = dense.at(x, y) == clBlack;
      painted += want;
      missing += want && !got;
      extra += got && !want;
    }
  EXPECT_GT(painted, W);
  EXPECT_EQ(missing, 0);
  EXPECT_EQ(extra, 0);
}

TEST(ProfileDrawing, CursorMarkerSnapsToTheNearestColumn) {
  Surface s(1000, 440);
  SoundingList points(100, strPoint{0, 0, 5.0});
  strCursor cursor;
  cursor.snappedX = 120;
  clGraph g;
  g.pixelsPerPoint = 12;
  g.markerOn = true;
  ProfileImage img = s.profile(points, cursor);
  g.updateScales(img);
  g.drawCursorMarker(img);
  EXPECT_DOUBLE_EQ(g.cursorOffset, 10);
  EXPECT_EQ(s.at(114, 240), g.selectedColor); // half size 6 at 12 pixels a point
  EXPECT_EQ(s.at(126, 240), g.selectedColor);
}

TEST(ProfileDrawing, StatusBoxShowsTheCountsAndStaysOnTheImage) {
  Surface s(800, 440);
  SoundingList points(10, strPoint{500000, 4400000, -5});
  strCursor cursor;
  cursor.mouseX = 100;
  cursor.mouseY = 100;
  clGraph g;
  g.pixelsPerPoint = 80;
  ProfileImage img = s.profile(points, cursor);
  img.showStatus = true;
  img.processedPercent = 42.85;
  g.redraw(img, true);
  // Something of the status box's outline is drawn at its right edge, x = W - 40.
  int dark = 0;
  for (int y = 0; y < 440; ++y)
    dark += s.at(760, y) != clWhite;
  EXPECT_GT(dark, 20);
  // Degenerate windows draw nothing out of range.
  g.top = g.bottom = 3;
  g.pixelsPerPoint = 1e-300;
  g.redraw(img, false);
  Surface tiny(10, 10);
  ProfileImage small = tiny.profile(points, cursor);
  g.redraw(small, true);
}

} // namespace

namespace {

TEST(ProfileDrawing, DenseMarksArePixelForPixelTheDrawnOnes) {
  const int W = 400, H = 300;
  SoundingList points;
  for (int i = 0; i < 3000; ++i)
    points.push_back({double(i), 0, i * 0.01, std::uint8_t(i % 500 == 7), 0, 1});
  strCursor cursor;
  clGraph g;
  g.pixelsPerPoint = double(W) / double(points.size());
  Surface dense(W, H), reference(W, H);
  ProfileImage img = dense.profile(points, cursor);
  img.showDeleted = true;
  g.updateScales(img);
  g.fitVertical(points, g.top, g.bottom);
  g.updateScales(img);
  g.drawPoints(img);
  platform::GdiCanvas &r = reference.canvas;
  for (int c = 0; c < static_cast<int>(points.size()); ++c) {
    const int x = clGraph::pixel(c * g.pixelsPerPoint), y = g.pixelRow(points[c].Z, H);
    if (points[c].selected) {
      r.Pen.Width = 1;
      r.Pen.Color = g.selectedColor;
      r.Brush.Color = g.selectedColor;
      r.Brush.Style = bsSolid;
      r.Ellipse(x - 3, y - 3, x + 3, y + 3);
    }
    r.Pen.Color = clRed;
    r.Pen.Width = 2;
    r.MoveTo(x - 3, y - 3);
    r.LineTo(x + 3, y + 3);
    r.MoveTo(x - 3, y + 3);
    r.LineTo(x + 3, y - 3);
  }
  int differ = 0;
  for (int y = 0; y < H; ++y)
    for (int x = 0; x < W; ++x)
      differ += dense.at(x, y) != reference.at(x, y);
  EXPECT_EQ(differ, 0);
}

} // namespace

namespace {

// The dense profile writes its lines straight into an RGB32 image; on an image of another
// format it draws them through the canvas. Both give the same pixels, lines cut at the edges
// included (heights far outside the vertical window).
TEST(ProfileDrawing, DenseLinesAreTheCanvasLinesOnEveryImageFormat) {
  const int W = 300, H = 200;
  SoundingList points;
  for (int i = 0; i < 40000; ++i) {
    const double z = std::sin(i * 0.0013) * 12 + (i % 29 == 0 ? 400 : 0) - (i % 31 == 0 ? 400 : 0);
    points.push_back({double(i), 0, z, std::uint8_t(i % 211 == 3), 0, std::uint8_t(i % 97 == 5)});
  }
  strCursor cursor;
  clGraph g;
  g.pixelsPerPoint = double(W) / 30000; // blocks of 16 points mostly share a column
  g.firstIndex = 700;
  g.top = 14;
  g.bottom = -14;
  ProfileBlocks blocks;
  blocks.build(points);
  auto draw = [&](QImage::Format format, const ProfileBlocks *summary) {
    QImage image(W, H, format);
    image.fill(Qt::white);
    {
      platform::GdiCanvas canvas(image);
      ProfileImage img{canvas, W, H, W, H, points, cursor, true, false, 1, 0.0, summary};
      g.updateScales(img);
      g.drawPoints(img);
    }
    return image.convertToFormat(QImage::Format_RGB32);
  };
  const QImage direct = draw(QImage::Format_RGB32, &blocks);
  EXPECT_TRUE(direct == draw(QImage::Format_RGB888, &blocks));
  // The block summary changes the work, not the picture.
  EXPECT_TRUE(direct == draw(QImage::Format_RGB32, nullptr));
  int inked = 0;
  for (int y = 0; y < H; ++y)
    for (int x = 0; x < W; ++x)
      inked += direct.pixel(x, y) != qRgb(255, 255, 255);
  EXPECT_GT(inked, W);
}

} // namespace
