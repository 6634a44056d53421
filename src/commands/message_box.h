// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QMessageBox>
#include <QString>
#include <QtGlobal>
#include <functional>

// Every message box of the program opens through a Messages::Opener: Messages::Open in the program, an answerer in
// a test.
namespace Messages {

struct Request {
  QMessageBox::Icon icon = QMessageBox::NoIcon;
  QString title;
  QString text;
  QMessageBox::StandardButtons buttons = QMessageBox::Ok;
};

using Answered = std::function<void(QMessageBox::StandardButton)>;
using Opener = std::function<void(const Request&, Answered)>;

// Opens the box and returns; answered gets the button once it is closed.
void Open(const Request& request, Answered answered);

}  // namespace Messages

namespace Commands {

// Message box styles: the icon shown.
inline constexpr qint16 StyleInformation = 1;
inline constexpr qint16 StyleCritical = 3;

// A message box with only an OK button and the style's icon, opened by open; an empty title becomes the settings
// section's name. It blocks the windows' input until closed, but returns at once: then runs once the box is closed.
void ShowMessage(const Messages::Opener& open, const QString& text, qint16 style, const QString& title,
                 std::function<void()> then = {});

}  // namespace Commands
