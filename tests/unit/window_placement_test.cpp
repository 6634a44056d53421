#include "services/window_placement.h"

#include <gtest/gtest.h>

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

}  // namespace
