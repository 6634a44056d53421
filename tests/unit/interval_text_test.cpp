// SPDX-License-Identifier: GPL-3.0-or-later
#include "commands/interval_text.h"

#include <gtest/gtest.h>

#include <QString>
#include <cmath>
#include <limits>
#include <random>

#include "commands/rounding.h"

using namespace Qt::StringLiterals;

namespace {

TEST(LeadingNumber, ReadsTheNumberATextStartsWith) {
  struct Case {
    const char* name;
    QString text;
    double expected;
  };
  const Case cases[] = {
      {"Plain", u"30"_s, 30},
      {"Fraction", u"30.5"_s, 30.5},
      {"LeadingBlanksTabsLineFeeds", u" \t\n 42"_s, 42},
      {"BlanksBetweenDigits", u" 1 5"_s, 15},
      {"BlanksEverywhere", u"- 1 2 . 5 e 1"_s, -125},
      {"PlusSign", u"+7"_s, 7},
      {"MinusSign", u"-7"_s, -7},
      {"TwoSigns", u"--7"_s, 0},
      {"SignAfterDigits", u"7-1"_s, 7},
      {"StopsAtLetter", u"12abc"_s, 12},
      {"StopsAtSecondPoint", u"1.2.3"_s, 1.2},
      {"Exponent", u"1.5E2"_s, 150},
      {"NegativeExponent", u"25e-1"_s, 2.5},
      {"IncompleteExponent", u"5e"_s, 5},
      {"ExponentSignOnly", u"5e+"_s, 5},
      {"PointOnly", u"."_s, 0},
      {"LeadingPoint", u".5"_s, 0.5},
      {"TrailingPoint", u"5."_s, 5},
      {"NoNumber", u"abc"_s, 0},
      {"Empty", u""_s, 0},
      {"CarriageReturnStops", u"\r5"_s, 0},
      {"CommaIsNoDecimalPoint", u"30,5"_s, 30},
      {"ArabicIndicDigitsAreNotDigits", u"\u0663\u0660"_s, 0},
      {"LongZeroPrefix", QString(5000, u'0') + u"31"_s, 31},
      {"HugeExponentZeroMantissa", u"0e99999999999999999999"_s, 0},
  };
  for (const Case& c : cases) EXPECT_DOUBLE_EQ(Commands::LeadingNumber(c.text), c.expected) << c.name;
}

TEST(LeadingNumber, BeyondDoubleRangeKeepsSignAndSize) {
  EXPECT_EQ(Commands::LeadingNumber(u"1e400"_s), HUGE_VAL);
  EXPECT_EQ(Commands::LeadingNumber(u"-1e400"_s), -HUGE_VAL);
  EXPECT_EQ(Commands::LeadingNumber(QString(400, u'9')), HUGE_VAL);
  EXPECT_EQ(Commands::LeadingNumber(u"1e-400"_s), 0.0);
  EXPECT_EQ(Commands::LeadingNumber(u"0."_s + QString(400, u'0') + u"1"_s), 0.0);
  // A large mantissa with a small negative exponent is still large.
  EXPECT_EQ(Commands::LeadingNumber(u"1"_s + QString(500, u'0') + u"e-1"_s), HUGE_VAL);
  EXPECT_EQ(Commands::LeadingNumber(u"1e99999999999999999999999"_s), HUGE_VAL);
}

TEST(RoundHalfEven, HalvesGoToTheEvenNeighbour) {
  struct Case {
    const char* name;
    double value;
    std::optional<qint16> expected;
  };
  const Case cases[] = {{"Down", 30.5, 30},
                        {"Up", 31.5, 32},
                        {"ToSixty", 59.5, 60},
                        {"Zero", 0.5, 0},
                        {"NegativeHalf", -2.5, -2},
                        {"Below", 30.4999, 30},
                        {"Max", 32767.4, 32767},
                        {"MaxPlusHalf", 32767.5, std::nullopt},
                        {"Min", -32768.5, -32768},
                        {"BelowMin", -32769, std::nullopt},
                        {"Large", 99999, std::nullopt},
                        {"Infinite", HUGE_VAL, std::nullopt},
                        {"NaN", std::numeric_limits<double>::quiet_NaN(), std::nullopt}};
  for (const Case& c : cases) EXPECT_EQ(Commands::RoundHalfEven<qint16>(c.value), c.expected) << c.name;
}

TEST(IntervalFromText, OnlyWholeSecondsFromOneToSixtyApply) {
  struct Case {
    const char* name;
    QString text;
    std::optional<qint16> expected;
  };
  const Case cases[] = {{"Thirty", u"30"_s, 30},
                        {"HalfDown", u"30.5"_s, 30},
                        {"HalfUp", u"31.5"_s, 32},
                        {"RoundsToSixty", u"59.5"_s, 60},
                        {"One", u"1"_s, 1},
                        {"HalfToZero", u"0.5"_s, std::nullopt},
                        {"RoundsToOne", u"1.5"_s, 2},
                        {"Zero", u"0"_s, std::nullopt},
                        {"SixtyOne", u"61"_s, std::nullopt},
                        {"SixtyPointFive", u"60.5"_s, 60},
                        {"TooBigFor16Bits", u"99999"_s, std::nullopt},
                        {"NoDigits", u"abc"_s, std::nullopt},
                        {"BlankInside", u" 1 5"_s, 15},
                        {"Negative", u"-5"_s, std::nullopt},
                        {"Exponent", u"6e1"_s, 60},
                        {"Unit", u"45 Sekunden"_s, 45}};
  for (const Case& c : cases) EXPECT_EQ(Commands::IntervalFromText(c.text), c.expected) << c.name;
}

// The text comes from a file anyone can edit: any input must give an answer, quickly.
TEST(IntervalFromText, AnyTextGivesAnAnswer) {
  std::mt19937 random(20261207);
  // Lone surrogate halves too: the text may be anything.
  const char16_t alphabet[] = {u' ',
                               u'\t',
                               u'\n',
                               u'\r',
                               u'+',
                               u'-',
                               u'.',
                               u'e',
                               u'E',
                               u'0',
                               u'1',
                               u'5',
                               u'9',
                               u'x',
                               u',',
                               u'\u00e9',
                               char16_t(0xD83D),
                               char16_t(0xDE00),
                               u'\0'};
  std::uniform_int_distribution<int> pick(0, int(std::size(alphabet)) - 1);
  std::uniform_int_distribution<int> length(0, 40);
  for (int i = 0; i < 20000; ++i) {
    QString text;
    for (int n = length(random); n > 0; --n) text += QChar(alphabet[pick(random)]);
    const std::optional<qint16> seconds = Commands::IntervalFromText(text);
    if (seconds) {
      EXPECT_TRUE(*seconds >= 1 && *seconds <= 60) << text.toStdString();
    }
  }
  EXPECT_EQ(Commands::IntervalFromText(QString(1'000'000, u'7')), std::nullopt);
  EXPECT_EQ(Commands::IntervalFromText(QString(1'000'000, u' ') + u"12"_s), 12);
}

}  // namespace
