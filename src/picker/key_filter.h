#pragma once

#include <QtGlobal>
#include <optional>

class QKeyEvent;

namespace Commands {

// Screens a typed character code by character class; a refused code becomes 0. Kind 1: folder-name characters.
void FilterKey(qint16& key, qint16 kind);

// The character code a key press types, as the classic key-press handlers see it: the character's code,
// 8 Backspace, 13 Enter, 27 Escape, Ctrl+letter its control code (Ctrl+C 3, Ctrl+V 22, Ctrl+X 24).
// Nothing for keys that type no character (arrows, Tab, function keys).
std::optional<qint16> KeyCode(const QKeyEvent& event);

}  // namespace Commands
