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
void ShowMessage(const QString& text, qint16 style, const QString& title);

}  // namespace Commands

// Every message box of the program opens through Messages::Show, so tests can answer it without a modal loop.
namespace Messages {

struct Request {
  QMessageBox::Icon icon = QMessageBox::NoIcon;
  QString title;
  QString text;
  QMessageBox::StandardButtons buttons = QMessageBox::Ok;
};

using Answerer = std::function<QMessageBox::StandardButton(const Request&)>;

QMessageBox::StandardButton Show(const Request& request);

// While an answerer is set, Show hands each request to it and opens no box. An empty one restores the boxes.
void SetAnswerer(Answerer answerer);

}  // namespace Messages
