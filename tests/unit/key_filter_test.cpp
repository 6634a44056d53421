#include "picker/key_filter.h"

#include <gtest/gtest.h>

#include <QString>

namespace {

// The characters a folder name must not get from the keyboard, written out rather than as ranges.
const QString RefusedPrintable = QStringLiteral(R"("#$%()*,./:;<=>[\]^)");

bool ExpectedToPass(int code) {
  if (code == 3 || code == 8 || code == 13 || code == 22) return true;  // copy, Backspace, Enter, paste
  if (code < 32) return false;                                          // every other control code
  return !RefusedPrintable.contains(QChar(code));
}

TEST(FilterKey, FolderNameCharactersOverEveryByteCode) {
  for (int code = 0; code <= 255; ++code) {
    qint16 key = static_cast<qint16>(code);
    Commands::FilterKey(key, 1);
    EXPECT_EQ(key, ExpectedToPass(code) ? code : 0) << "code " << code;
  }
}

TEST(FilterKey, CodesOutsideTheByteRange) {
  struct Case {
    const char* name;
    qint16 code;
    qint16 expected;
  };
  const Case cases[] = {
      {"euro sign", 0x20AC, 0x20AC}, {"cjk letter", 0x6C34, 0x6C34}, {"largest code", 32767, 32767},
      {"minus one", -1, 0},          {"most negative", -32768, 0},
  };
  for (const Case& c : cases) {
    qint16 key = c.code;
    Commands::FilterKey(key, 1);
    EXPECT_EQ(key, c.expected) << c.name;
  }
}

TEST(FilterKey, OtherKindsOnlyKeepTheEditingKeys) {
  // Kinds other than 1 have no class of their own: nothing is refused.
  for (qint16 kind : {qint16(0), qint16(2), qint16(-1)}) {
    for (int code : {0, 27, 46, 47, 92, 200}) {
      qint16 key = static_cast<qint16>(code);
      Commands::FilterKey(key, kind);
      EXPECT_EQ(key, code) << "kind " << kind << " code " << code;
    }
  }
}

}  // namespace
