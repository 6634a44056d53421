// SPDX-License-Identifier: GPL-3.0-or-later
#include "commands/profile_text.h"

#include <gtest/gtest.h>

#include "platform/file_name.h"
#include "support/qt_printers.h"

using namespace Qt::StringLiterals;

namespace {

struct ReadCase {
  const char* name;
  QByteArray file;
  const char* section;
  const char* key;
  std::optional<QString> expected;
};

void PrintTo(const ReadCase& c, std::ostream* os) { *os << c.name; }

class ProfileRead : public ::testing::TestWithParam<ReadCase> {};

TEST_P(ProfileRead, FindsValue) {
  EXPECT_EQ(Commands::ProfileValue(GetParam().file, GetParam().section, GetParam().key), GetParam().expected);
}

INSTANTIATE_TEST_SUITE_P(
    Cases, ProfileRead,
    ::testing::Values(
        ReadCase{"Plain", "[Divuvadi Foldwarn]\nZeit=30\n", "Divuvadi Foldwarn", "Zeit", u"30"_s},
        ReadCase{"SectionAndKeyInCapitals", "[DIVUVADI FOLDWARN]\nZEIT=30\n", "Divuvadi Foldwarn", "Zeit", u"30"_s},
        ReadCase{"FirstOfTwoKeysWins", "[S]\nk=1\nK=2\n", "S", "k", u"1"_s},
        ReadCase{"OnlyFirstSectionOfThatName", "[S]\na=1\n[s]\nk=2\n", "S", "k", std::nullopt},
        ReadCase{"BlanksTrimmed", "[S]\n \t k  =  v  x \t\n", "S", "k", u"v  x"_s},
        ReadCase{"SectionNameBlanksTrimmed", "  [ S ]  \nk=v\n", "S", "k", u"v"_s},
        ReadCase{"DoubleQuotesRemoved", "[S]\nk=\"  v  \"\n", "S", "k", u"  v  "_s},
        ReadCase{"SingleQuotesRemoved", "[S]\nk='v'\n", "S", "k", u"v"_s},
        ReadCase{"UnmatchedQuotesKept", "[S]\nk=\"v'\n", "S", "k", u"\"v'"_s},
        ReadCase{"LoneQuoteKept", "[S]\nk=\"\n", "S", "k", u"\""_s},
        ReadCase{"CommentedKeySkipped", "[S]\n;k=1\n  ; k=3\nk=2\n", "S", "k", u"2"_s},
        ReadCase{"KeyOfOtherSection", "[A]\nk=1\n[S]\nj=2\n", "S", "k", std::nullopt},
        ReadCase{"NoSectionHeader", "k=1\n", "S", "k", std::nullopt},
        ReadCase{"CrLf", "[S]\r\nk=v\r\n", "S", "k", u"v"_s},
        ReadCase{"NoFinalLineEnding", "[S]\nk=v", "S", "k", u"v"_s},
        ReadCase{"ByteOrderMark", "\xEF\xBB\xBF[S]\nk=v\n", "S", "k", u"v"_s},
        ReadCase{"EmptyValue", "[S]\nk=\n", "S", "k", u""_s},
        ReadCase{"EqualsInValue", "[S]\nk=a=b\n", "S", "k", u"a=b"_s},
        ReadCase{"Utf8Value", "[S]\nk=Grüße/Ordner\n", "S", "k", u"Grüße/Ordner"_s},
        ReadCase{"Utf8KeyCaseInsensitive", "[S]\nÄRGER=1\n", "S", "ärger", u"1"_s},
        ReadCase{"Latin1BytesKept", "[S]\nk=/srv/M\xe4rz/\n", "S", "k", Platform::DecodeName("/srv/M\xe4rz/")},
        ReadCase{"InvalidUtf8Elsewhere", "\xff\xfe\x80\n[S]\nk=v\n", "S", "k", u"v"_s},
        ReadCase{"NulBytesElsewhere", QByteArray("\0\0[x\0\n[S]\nk=v\n", 14), "S", "k", u"v"_s},
        ReadCase{"LineWithoutEquals", "[S]\nk\nk=v\n", "S", "k", u"v"_s},
        ReadCase{"UnclosedSectionHeader", "[S\nk=v\n", "S", "k", u"v"_s},
        ReadCase{"EmptyFile", "", "S", "k", std::nullopt}),
    [](const auto& info) { return std::string(info.param.name); });

struct WriteCase {
  const char* name;
  QByteArray before;
  const char* key;
  const char* value;
  QByteArray after;
};

void PrintTo(const WriteCase& c, std::ostream* os) { *os << c.name; }

class ProfileWrite : public ::testing::TestWithParam<WriteCase> {};

TEST_P(ProfileWrite, KeepsEveryOtherByte) {
  const std::optional<QByteArray> after =
      Commands::WithProfileValue(GetParam().before, "S", GetParam().key, Platform::DecodeName(GetParam().value));
  ASSERT_TRUE(after);
  EXPECT_EQ(*after, GetParam().after);
  EXPECT_EQ(Commands::ProfileValue(*after, "S", GetParam().key), Platform::DecodeName(GetParam().value).trimmed());
}

INSTANTIATE_TEST_SUITE_P(
    Cases, ProfileWrite,
    ::testing::Values(WriteCase{"EmptyFile", "", "k", "v", "[S]\nk=v\n"},
                      WriteCase{"ReplacesInPlace", "; top\n[A]\nk=1\n[S]\nk=old\n; tail\nx y z\n[B]\nk=2\n", "k", "v",
                                "; top\n[A]\nk=1\n[S]\nk=v\n; tail\nx y z\n[B]\nk=2\n"},
                      WriteCase{"KeepsKeySpellingAndBlanks", "[s]\n  ZEIT = 30  \n", "Zeit", "60", "[s]\n  ZEIT =60\n"},
                      WriteCase{"CrLfStaysCrLf", "[S]\r\nk=old\r\n", "k", "v", "[S]\r\nk=v\r\n"},
                      WriteCase{"NewKeyInCrLfFile", "[S]\r\na=1\r\n", "k", "v", "[S]\r\na=1\r\nk=v\r\n"},
                      WriteCase{"NewKeyAtEndOfItsSection", "[S]\na=1\n; about B\n\n[B]\nb=2\n", "k", "v",
                                "[S]\na=1\nk=v\n; about B\n\n[B]\nb=2\n"},
                      WriteCase{"NewKeyInEmptySection", "[S]\n[B]\nb=2\n", "k", "v", "[S]\nk=v\n[B]\nb=2\n"},
                      WriteCase{"NewKeyAfterLinesWithoutEquals", "[S]\nk /home/x\n\n[B]\nb=2\n", "k", "v",
                                "[S]\nk /home/x\nk=v\n\n[B]\nb=2\n"},
                      WriteCase{"NewKeyAfterLastLineWithoutEnding", "[S]\na=1", "k", "v", "[S]\na=1\nk=v\n"},
                      WriteCase{"NewSectionAtEnd", "[A]\nx=1", "k", "v", "[A]\nx=1\n[S]\nk=v\n"},
                      WriteCase{"NewSectionAfterGarbage", QByteArray("\x01\xff\0\n", 4), "k", "v",
                                QByteArray("\x01\xff\0\n[S]\nk=v\n", 12)},
                      WriteCase{"ByteOrderMarkKept", "\xEF\xBB\xBF[S]\nk=1\n", "k", "2", "\xEF\xBB\xBF[S]\nk=2\n"},
                      WriteCase{"EmptyValue", "[S]\nk=old\n", "k", "", "[S]\nk=\n"},
                      WriteCase{"Utf8Value", "[S]\nk=\n", "k", "/home/jörg/Eingang/", "[S]\nk=/home/jörg/Eingang/\n"},
                      WriteCase{"Latin1ValueAsItsBytes", "[S]\nk=x\n", "k", "/srv/M\xe4rz/", "[S]\nk=/srv/M\xe4rz/\n"}),
    [](const auto& info) { return std::string(info.param.name); });

}  // namespace
