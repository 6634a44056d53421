// SPDX-License-Identifier: GPL-3.0-or-later
#include "key_filter.h"

#include <QKeyEvent>
#include <algorithm>

namespace Commands {

void FilterKey(qint16& key, qint16 kind) {
  // Copy, Backspace, Enter and paste always pass.
  if (key == KeyCtrlC || key == KeyBackspace || key == KeyEnter || key == KeyCtrlV) return;
  if (kind != FilterFolderName) return;
  switch (key) {
    case 32:  // space
    case 33:  // !
    case 38:  // &
    case 39:  // '
    case 43:  // +
    case 45:  // -
      return;
    default:
      break;
  }
  // Control codes, the other punctuation below the digits, the separators and the characters that names
  // must not hold or that shells treat specially.
  if (key < 48 || (key >= 58 && key <= 62) || (key >= 91 && key <= 94)) key = 0;
}

QString FilterText(const QString& text, qint16 kind) {
  QString kept;
  kept.reserve(text.size());
  for (const QChar c : text) {
    if (c.category() == QChar::Other_Control) continue;  // also the codes FilterKey lets through as editing keys
    qint16 code = qint16(std::min<uint>(c.unicode(), 0x7FFF));
    FilterKey(code, kind);
    if (code != 0) kept += c;
  }
  return kept;
}

std::optional<qint16> KeyCode(const QKeyEvent& event) {
  switch (event.key()) {
    case Qt::Key_Escape:
      return KeyEscape;
    case Qt::Key_Return:
    case Qt::Key_Enter:
      return KeyEnter;
    case Qt::Key_Backspace:
      return KeyBackspace;
    case Qt::Key_Tab:
    case Qt::Key_Backtab:
      return std::nullopt;  // moves the focus; types nothing
    default:
      break;
  }
  const Qt::KeyboardModifiers modifiers = event.modifiers();
  // Ctrl+Alt is AltGr on many layouts: that types the character in text().
  if ((modifiers & Qt::ControlModifier) && !(modifiers & Qt::AltModifier) && event.key() >= Qt::Key_A &&
      event.key() <= Qt::Key_Z)
    return qint16(event.key() - Qt::Key_A + 1);
  const QString text = event.text();
  if (text.isEmpty()) return std::nullopt;
  // Codes live in 16 signed bits; characters beyond that range pass the filter like every code from 127 up.
  return qint16(std::min<uint>(text.at(0).unicode(), 0x7FFF));
}

}  // namespace Commands
