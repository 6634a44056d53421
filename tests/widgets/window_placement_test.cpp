// SPDX-License-Identifier: GPL-3.0-or-later
#include "commands/window_placement.h"

#include <gtest/gtest.h>

#include <QCoreApplication>
#include <QGuiApplication>
#include <QScreen>
#include <QWidget>
#include <QWindow>

#include "commands/twips.h"

namespace {

TEST(CenteredPosition, CentresAcrossAndWithinTheUpperPartOfTheScreen) {
  struct Case {
    const char* name;
    double screenWidth, screenHeight, windowWidth, windowHeight;
    int left, top;
  };
  const Case cases[] = {
      // R(600 * 0.85) = 510, halved 255; 400 - 150.
      {"Typical", 800, 600, 300, 200, 250, 155},
      // Each half truncated on its own: 400 - 150, not (800 - 301) / 2 = 249.
      {"OddWidth", 800, 600, 301, 200, 250, 155},
      {"OddHeight", 800, 600, 300, 201, 250, 155},
      {"TallerThanUpperPart", 800, 600, 300, 520, 250, 0},
      {"WiderThanScreen", 800, 600, 900, 200, 0, 155},
      {"Both", 800, 600, 2000, 2000, 0, 0},
      // R() rounds halves to even: 300.5 -> 300, 301.5 -> 302.
      {"HalfWindowToEven", 1000, 600, 300.5, 200, 350, 155},
      {"HalfWindowUp", 1000, 600, 301.5, 200, 349, 155},
      // 0.85 * 1001 = 850.85 -> 851, halved 425.
      {"FactorRounds", 800, 1001, 300, 200, 250, 325},
      {"FullHd", 1920.0 * 15, 1080.0 * 15, 381.0 * 15, 264.0 * 15, 11543, 4905},
      {"Empty", 0, 0, 0, 0, 0, 0},
      {"Huge", 1e12, 1e12, 100, 100, 1073741773, 1073741773},
  };
  for (const Case& c : cases) {
    const QPoint p = Commands::CenteredPosition(c.screenWidth, c.screenHeight, c.windowWidth, c.windowHeight);
    EXPECT_EQ(p.x(), c.left) << c.name;
    EXPECT_EQ(p.y(), c.top) << c.name;
  }
}

TEST(WindowPlacement, CenterFormMovesWithoutResizing) {
  const QRect area = QGuiApplication::primaryScreen()->availableGeometry();
  struct Case {
    const char* name;
    QSize size;
  };
  const Case cases[] = {
      {"Small", {300, 200}}, {"Odd", {301, 201}}, {"Oversized", {area.width() + 50, area.height() + 50}}};
  for (const Case& c : cases) {
    QWidget window;
    window.resize(c.size);
    Commands::CenterForm(&window);
    const QPoint twips = Commands::CenteredPosition(area.width() * 15.0, area.height() * 15.0, c.size.width() * 15.0,
                                                    c.size.height() * 15.0);
    EXPECT_EQ(window.pos(), area.topLeft() + QPoint(Px(twips.x()), Px(twips.y()))) << c.name;
    EXPECT_EQ(window.size(), c.size) << c.name;
    EXPECT_GE(window.x(), area.x()) << c.name;
    EXPECT_GE(window.y(), area.y()) << c.name;
  }
}

TEST(WindowPlacement, SetTopmostKeepsPlaceAndSize) {
  QWidget window;
  window.setGeometry(40, 50, 300, 200);
  window.show();
  QCoreApplication::processEvents();
  const QRect before = window.geometry();
  Commands::SetTopmost(&window);
  EXPECT_TRUE(window.windowFlags() & Qt::WindowStaysOnTopHint);
  EXPECT_TRUE(window.windowHandle()->flags() & Qt::WindowStaysOnTopHint);
  EXPECT_TRUE(window.isVisible());
  EXPECT_EQ(window.geometry(), before);
}

// The folder picker places itself from its load handler, while it is being shown.
TEST(WindowPlacement, PlacingFromTheFirstShowing) {
  class Loading : public QWidget {
   public:
    int loads = 0;

   protected:
    void showEvent(QShowEvent* event) override {
      ++loads;
      Commands::CenterForm(this);
      Commands::SetTopmost(this);
      QWidget::showEvent(event);
    }
  } window;
  window.resize(300, 200);
  window.show();
  QCoreApplication::processEvents();
  EXPECT_EQ(window.loads, 1);
  EXPECT_TRUE(window.isVisible());
  EXPECT_TRUE(window.windowHandle()->flags() & Qt::WindowStaysOnTopHint);
  EXPECT_EQ(window.size(), QSize(300, 200));
}

TEST(WindowPlacement, SetTopmostBeforeTheFirstShowing) {
  QWidget window;
  window.resize(300, 200);
  Commands::SetTopmost(&window);
  EXPECT_FALSE(window.isVisible());
  window.show();
  EXPECT_TRUE(window.windowHandle()->flags() & Qt::WindowStaysOnTopHint);
  EXPECT_EQ(window.size(), QSize(300, 200));
}

}  // namespace
