// SPDX-License-Identifier: GPL-3.0-or-later
#include "commands/key_filter.h"

#include <gtest/gtest.h>

#include <QKeyEvent>
#include <QString>
#include <optional>

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

// Text that arrives whole keeps what typing would keep, but no control character at all.
TEST(FilterText, LikeTypedKeysWithoutControlCharacters) {
  for (int code = 0; code <= 255; ++code) {
    const bool control = code < 32 || (code >= 127 && code < 160);
    const QString text = QStringLiteral("a") + QChar(code) + QStringLiteral("b");
    EXPECT_EQ(Commands::FilterText(text, 1), ExpectedToPass(code) && !control ? text : QStringLiteral("ab")) << code;
    EXPECT_EQ(Commands::FilterText(text, 0), control ? QStringLiteral("ab") : text) << code;
  }
  EXPECT_EQ(Commands::FilterText(QStringLiteral("Grüße 😀 \x1b[0m"), 1), QStringLiteral("Grüße 😀 0m"));
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

TEST(KeyCode, FromQtKeyEvents) {
  struct Case {
    const char* name;
    int key;
    Qt::KeyboardModifiers modifiers;
    QString text;
    std::optional<qint16> code;
  };
  const Case cases[] = {
      {"letter", Qt::Key_A, {}, QStringLiteral("a"), 97},
      {"capital", Qt::Key_A, Qt::ShiftModifier, QStringLiteral("A"), 65},
      {"umlaut", Qt::Key_Adiaeresis, {}, QStringLiteral("ä"), 228},
      {"slash", Qt::Key_Slash, {}, QStringLiteral("/"), 47},
      {"backslash", Qt::Key_Backslash, {}, QStringLiteral("\\"), 92},
      {"euro sign", Qt::Key_unknown, {}, QStringLiteral("€"), 0x20AC},
      {"beyond 16 signed bits", Qt::Key_unknown, {}, QString(QChar(0xAC00)), 32767},
      {"backspace", Qt::Key_Backspace, {}, QStringLiteral("\b"), 8},
      {"return", Qt::Key_Return, {}, QStringLiteral("\r"), 13},
      {"keypad enter", Qt::Key_Enter, Qt::KeypadModifier, QStringLiteral("\r"), 13},
      {"escape", Qt::Key_Escape, {}, QStringLiteral("\x1b"), 27},
      {"copy", Qt::Key_C, Qt::ControlModifier, QString(), 3},
      {"paste", Qt::Key_V, Qt::ControlModifier, QString(), 22},
      {"cut", Qt::Key_X, Qt::ControlModifier, QString(), 24},
      {"AltGr at sign", Qt::Key_Q, Qt::ControlModifier | Qt::AltModifier, QStringLiteral("@"), 64},
      {"tab", Qt::Key_Tab, {}, QStringLiteral("\t"), std::nullopt},
      {"arrow", Qt::Key_Left, {}, QString(), std::nullopt},
      {"shift alone", Qt::Key_Shift, Qt::ShiftModifier, QString(), std::nullopt},
  };
  for (const Case& c : cases) {
    QKeyEvent event(QEvent::KeyPress, c.key, c.modifiers, c.text);
    EXPECT_EQ(Commands::KeyCode(event), c.code) << c.name;
  }
}

}  // namespace
