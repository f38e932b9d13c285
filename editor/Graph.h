// The profile of the soundings: clGraph keeps the view state (visible points, vertical window,
// selection band, limit lines, cursor column, colours), draws the profile in its fixed passes
// through a GdiCanvas, and holds the computations on the sounding list. No widget here.
#pragma once

#include "editor/ProfileBlocks.h"
#include "editor/Soundings.h"
#include "editor/UndoHistory.h"
#include "platform/Color.h"

#include <cstdint>

namespace platform {
class GdiCanvas;
}

// The last mouse position over the profile image, and its x moved down to the left edge of the
// column under it.
struct strCursor {
  float mouseX = 0.0f;
  float mouseY = 0.0f;
  float snappedX = 0.0f;
};

// What one redraw draws on and reads: the image's canvas and size (W, H), the client size of
// the editor window (the background pass fills it), the soundings and the window's switches.
struct ProfileImage {
  platform::GdiCanvas &Canvas;
  int W = 0;
  int H = 0;
  int ClientWidth = 0;
  int ClientHeight = 0;
  const SoundingList &points;
  const strCursor &cursor;
  bool showDeleted = false; // toolShowDeleted down
  bool showStatus = false;  // toolShowStatus down
  int lineThickness = 1;    // sLineThickness
  double processedPercent = 0.0;
  // A summary of the points made for this list as it stands, or none: it only saves work.
  const ProfileBlocks *blocks = nullptr;
};

class clGraph {
public:
  clGraph();
  virtual ~clGraph();

  int visibleCount = 200;
  int firstIndex = 0;
  int selStart = 0;
  int selEnd = 0;
  int geographic = 0;
  int selectedCount = 0;
  int deletedCount = 0;
  double top = 10.0;
  double bottom = 0.0;
  double bandY1 = 0.0;
  double bandY2 = 0.0;
  double unitsPerPixel = 0.0;
  double topLineY = 0.0;
  double bottomLineY = 0.0;
  double pixelsPerPoint = 1.0;
  double cursorOffset = 0.0;
  bool draggingTop = false;
  bool draggingBottom = false;
  bool selecting = false;
  bool hasSelection = false;
  bool markerOn = false;

  TColor backgroundColor = RGB(255, 255, 255);
  TColor dragLineColor;
  TColor lineColor = RGB(0, 0, 0);
  TColor selectionColor = RGB(255, 255, 145);
  TColor selectedColor = RGB(255, 0, 0);
  TColor limitLineColor = RGB(192, 192, 192);
  TColor textColor = RGB(0, 0, 0);

  // ---- Pixel rows and heights (H is the image height)
  double rowOf(double z, int H) const { return H - (z - bottom) / unitsPerPixel; }
  double heightAt(double y, int H) const { return (H - y) * unitsPerPixel + bottom; }
  // rowOf as a whole pixel: truncated, and kept within a range any drawing call can take.
  int pixelRow(double z, int H) const { return pixel(rowOf(z, H)); }
  // A pixel coordinate truncated toward zero and kept within +-2^20 (NaN gives 0). Inline: the
  // dense profile takes two a point.
  static int pixel(double v) {
    constexpr double limit = 1 << 20;
    if (!(v == v))
      return 0;
    return static_cast<int>(v >= limit ? limit : v <= -limit ? -limit : v);
  }

  // ---- The passes, and the redraw that runs them in order
  void updateScales(ProfileImage &image);
  void clearProfile(ProfileImage &image);
  void drawSelection(ProfileImage &image);
  void drawLimitLines(ProfileImage &image);
  void drawPoints(ProfileImage &image);
  void drawStatus(ProfileImage &image);
  void drawCursorMarker(ProfileImage &image);
  void drawRectangle(ProfileImage &image, int x1, int y1, int x2, int y2);
  void redraw(ProfileImage &image, bool fitToScreen);
  // The redraw in its two parts: the passes that a mouse move alone leaves as they were
  // (background, selection, fit, limit lines, points), then those that follow the mouse (the
  // status texts and the cursor marker).
  void redrawBelowCursor(ProfileImage &image, bool fitToScreen);
  void redrawCursor(ProfileImage &image);
  // Puts cursorOffset on the column under the mouse as the marker pass does; false when that
  // column lies past the last point (the marker is then not drawn).
  bool placeCursor(const ProfileImage &image);

  // ---- Computations on the list
  static double planDistance(const strPoint &a, const strPoint &b);
  static double truncate2(double v);
  static double truncate8(double v);
  double maxHeight(const SoundingList &points) const;
  double minHeight(const SoundingList &points) const;
  void fitVertical(const SoundingList &points, double &fitTop, double &fitBottom,
                   const ProfileBlocks *blocks = nullptr) const;
  // `limit` is the settings' maximum smoothing distance.
  void smoothPoint(SoundingList &points, int i, int n, double limit) const;
  void selectNearest(double x, double y, SoundingList &points, int imageWidth);
  static double processedPercent(const SoundingList &points);
  static int countDeleted(const SoundingList &points);
  static void pushState(UndoHistory &undoStack, const SoundingList &points) {
    undoStack.push(points);
  }

  // The index of the cursor point, firstIndex + cursorOffset truncated; may lie outside the list.
  int cursorIndex() const;
  // The same, limited to 0 .. count - 1 (count > 0).
  int cursorIndexClamped(int count) const;

private:
  // The columns of drawPoints when many points share one pixel column.
  void drawDensePoints(ProfileImage &image, int n);
};
