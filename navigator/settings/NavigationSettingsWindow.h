// The navigation settings window: drawing settings of the live plan view. Its controls are the
// live values the main window reads; only the background colour and the update rate are pushed
// to the main window when they change.
#pragma once

#include "navigator/NavigatorWindows.h"
#include "platform/Color.h"

#include <QWidget>
#include <string>

class QCheckBox;
class QComboBox;
class QLineEdit;

// The map timer interval for an update-rate text, in milliseconds: 20 (the rate the window
// itself starts with when nothing is stored, 50 ticks a second) to 5000 (the spinner's top). An
// empty text or one that is not a number gives 1000, the design rate; a number out of range the
// nearest end, so neither a zero-interval timer nor a division by zero can follow.
constexpr int MinMapUpdateInterval = 20;
constexpr int MaxMapUpdateInterval = 5000;
int MapUpdateInterval(const std::string &text);

class TNavset : public QWidget {
public:
  TNavset(QWidget *owner, NavigatorWindows &windows);

  NavigatorWindows &Windows;

  // " Vessel "
  QComboBox *VesselColor = nullptr;
  QLineEdit *VesselWidth = nullptr;
  // " Canvas "
  QComboBox *fcadColor = nullptr;
  // " Tracklines "
  QComboBox *ColorTracklines1 = nullptr;
  QComboBox *ColorTracklines0 = nullptr;
  QLineEdit *TrackWidth = nullptr;
  QLineEdit *TrackInterval = nullptr;
  QLineEdit *eUpdateRate = nullptr;
  QCheckBox *cLineOrDot = nullptr;
  // " Alerts && Grid "
  QLineEdit *edDepthAlert1 = nullptr;
  QComboBox *GridColor = nullptr;

  // The colour a colour box shows, 0x00BBGGRR.
  static TColor colourOf(const QComboBox *box);
  // Selects a colour by code (no change handler runs); a colour outside the list gets its own
  // item.
  static void selectColour(QComboBox *box, TColor colour);
  // A pen width edit as a number: its text, or 2 (the design width) while it is not a number,
  // so a width being typed cannot stop the map timer with an error on every tick.
  static int widthOf(const QLineEdit *edit);

  // ---- Handlers
  void FormShow();
  void FormCloseQuery(bool &CanClose);
  void FormHide();
  void fcadColorChange();
  void eUpdateRateChange();
  void TrackIntervalChange();
  void TrackWidthChange();
  void VesselWidthChange();
  void edDepthAlert1Change();

protected:
  void showEvent(QShowEvent *event) override;
  void hideEvent(QHideEvent *event) override;
  void closeEvent(QCloseEvent *event) override;
};
