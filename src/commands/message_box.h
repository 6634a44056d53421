// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QMessageBox>
#include <QString>
#include <QtGlobal>
#include <functional>

namespace Commands {

// Message box styles: the icon shown.
inline constexpr qint16 StyleInformation = 1;
inline constexpr qint16 StyleCritical = 3;

// A message box with only an OK button and the style's icon; an empty title becomes the settings section's name.
// It blocks the windows' input until closed, but returns at once: then runs once the box is closed.
void ShowMessage(const QString& text, qint16 style, const QString& title, std::function<void()> then = {});

}  // namespace Commands

// Every message box of the program opens through Messages::Show, so tests can answer it without a box.
namespace Messages {

struct Request {
  QMessageBox::Icon icon = QMessageBox::NoIcon;
  QString title;
  QString text;
  QMessageBox::StandardButtons buttons = QMessageBox::Ok;
};

using Answerer = std::function<QMessageBox::StandardButton(const Request&)>;

// Opens the box and returns; answered gets the button once it is closed.
void Show(const Request& request, std::function<void(QMessageBox::StandardButton)> answered);

// While an answerer is set, Show hands each request to it, at once, and opens no box. An empty one restores the
// boxes.
void SetAnswerer(Answerer answerer);

}  // namespace Messages
