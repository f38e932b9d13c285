// TformAbout: the About window both programs show modally from their Help menu, each in its
// own layout and texts.
#pragma once

#include <QDialog>

class QLabel;
class QPushButton;

class TformAbout : public QDialog {
public:
  enum class Layout {
    Navigation, // "About Tarvik Sondrel": white, 340 x 375, centred on the main window
    Editor      // "About Tarvik Trimsel": banded, 380 x 400, centred on the screen
  };

  explicit TformAbout(QWidget *owner = nullptr, Layout layout = Layout::Navigation);

  const Layout FormLayout;
  QLabel *SoftName = nullptr;
  QLabel *Version = nullptr;
  QLabel *MakerLine = nullptr;
  QLabel *WebLine = nullptr;
  QPushButton *BitBtn2 = nullptr; // OK: closes with the OK result

  // Centres the navigation layout on the application's main window when shown.
  void showEvent(QShowEvent *event) override;

private:
  void buildNavigation();
  void buildEditor();
};
