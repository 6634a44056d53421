#pragma once

#include <QMessageBox>
#include <QString>
#include <QtGlobal>
#include <functional>

namespace Commands {

// A message box with only an OK button. Style 1 shows the information icon, style 3 the error icon; an empty
// title becomes SettingsSection.
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
