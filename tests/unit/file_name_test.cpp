// SPDX-License-Identifier: GPL-3.0-or-later
#include "platform/file_name.h"

#include <gtest/gtest.h>

#include "support/qt_printers.h"

using namespace Qt::StringLiterals;

namespace {

struct NameRow {
  const char* name;
  QByteArray bytes;
  QString shown;  // what the screen shows
};

class FileNameTest : public ::testing::TestWithParam<NameRow> {};

TEST_P(FileNameTest, KeepsEveryByteAndShowsTheRest) {
  const NameRow& row = GetParam();
  const QString text = Platform::DecodeName(row.bytes);
  EXPECT_EQ(Platform::EncodeName(text), row.bytes);
  EXPECT_EQ(Platform::DisplayName(text), row.shown);
}

const QString Replacement(QChar::ReplacementCharacter);

INSTANTIATE_TEST_SUITE_P(
    Names, FileNameTest,
    ::testing::Values(NameRow{"Utf8",
                              "M\xc3\xa4rz/Gl\xc3\xb6"
                              "ckchen.wav",
                              u"März/Glöckchen.wav"_s},
                      NameRow{"Latin1", "M\xe4rz", u"M"_s + Replacement + u"rz"_s},
                      NameRow{"LoneFF", "\xff", Replacement}, NameRow{"Newline", "a\nb", u"a\nb"_s},
                      NameRow{"FourByteCharacter", "\xf0\x9f\x94\x94", u"\U0001F514"_s},
                      NameRow{"Overlong", "\xc0\xaf", Replacement + Replacement},
                      NameRow{"EncodedSurrogate", "\xed\xb2\x80", Replacement + Replacement + Replacement},
                      NameRow{"CutSequence", "a\xe2\x82", u"a"_s + Replacement + Replacement}),
    [](const auto& info) { return std::string(info.param.name); });

TEST(FileNameTest, TextThatNamesNoFileIsRefused) {
  for (const QString& text : {QString(), u"a"_s + QChar(0) + u"b"_s, QString(QChar(0xD800)), QString(QChar(0xDC10))})
    EXPECT_EQ(Platform::EncodeName(text), std::nullopt) << text.toStdString();
}

}  // namespace
