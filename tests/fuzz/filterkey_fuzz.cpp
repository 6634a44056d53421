// SPDX-License-Identifier: GPL-3.0-or-later
// Key codes and key events from random bytes: no crash, and the filter only ever passes a code unchanged
// or refuses it, the same way every time, never letting a separator into a folder name.
#include <QKeyEvent>
#include <QString>
#include <cstdint>
#include <cstdlib>
#include <cstring>

#include "commands/key_filter.h"

namespace {

template <typename T>
T take(const uint8_t*& data, size_t& size) {
  T value{};
  const size_t n = std::min(sizeof(T), size);
  std::memcpy(&value, data, n);
  data += n;
  size -= n;
  return value;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  while (size > 0) {
    const qint16 original = take<qint16>(data, size);
    const qint16 kind = take<qint16>(data, size);
    qint16 key = original;
    Commands::FilterKey(key, kind);
    if (key != original && key != 0) std::abort();
    qint16 again = key;
    Commands::FilterKey(again, kind);
    if (again != key) std::abort();
    if (kind == 1 && (original == u'/' || original == u'\\' || original == 27 || original == 24) && key != 0)
      std::abort();

    // A key event as the entry receives it.
    const int qtKey = take<int32_t>(data, size);
    const auto modifiers = Qt::KeyboardModifiers(take<uint32_t>(data, size) & Qt::KeyboardModifierMask);
    const char16_t ch = take<char16_t>(data, size);
    const QString text = ch ? QString(QChar(ch)) : QString();
    const QKeyEvent event(QEvent::KeyPress, qtKey, modifiers, text);
    if (const std::optional<qint16> code = Commands::KeyCode(event)) {
      qint16 filtered = *code;
      Commands::FilterKey(filtered, 1);
      const bool typesSeparator = (text == u"/" || text == u"\\") && !(modifiers & Qt::ControlModifier) &&
                                  qtKey != Qt::Key_Escape && qtKey != Qt::Key_Return && qtKey != Qt::Key_Enter &&
                                  qtKey != Qt::Key_Backspace;
      if (typesSeparator && filtered != 0) std::abort();
    }
  }
  return 0;
}
