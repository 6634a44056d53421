// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QString>
#include <QtGlobal>
#include <optional>

class QKeyEvent;

namespace Commands {

// Character codes of the classic key-press handlers.
inline constexpr qint16 KeyCtrlC = 3;
inline constexpr qint16 KeyBackspace = 8;
inline constexpr qint16 KeyEnter = 13;
inline constexpr qint16 KeyCtrlV = 22;
inline constexpr qint16 KeyEscape = 27;

// What FilterKey screens for.
inline constexpr qint16 FilterFolderName = 1;

// Screens a typed character code by character class; a refused code becomes 0.
void FilterKey(qint16& key, qint16 kind);

// Text that arrives other than by a key press (pasted, from an input method, dropped), screened character by
// character as FilterKey screens typed ones. Control characters never pass, whatever the kind.
QString FilterText(const QString& text, qint16 kind);

// The character code a key press types, as the classic key-press handlers see it: the character's code,
// 8 Backspace, 13 Enter, 27 Escape, Ctrl+letter its control code (Ctrl+C 3, Ctrl+V 22, Ctrl+X 24).
// Nothing for keys that type no character (arrows, Tab, function keys).
std::optional<qint16> KeyCode(const QKeyEvent& event);

}  // namespace Commands
