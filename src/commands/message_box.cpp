// SPDX-License-Identifier: GPL-3.0-or-later
#include "message_box.h"

#include <QApplication>

#include "commands/settings.h"

namespace Messages {

namespace {
Answerer& CurrentAnswerer() {
  static Answerer answerer;
  return answerer;
}
}  // namespace

QMessageBox::StandardButton Show(const Request& request) {
  if (const Answerer& answer = CurrentAnswerer()) return answer(request);
  // Over the active window, so the box is not hidden behind the picker, which stays on top.
  QMessageBox box(request.icon, request.title,
                  QString(request.text).replace(QStringLiteral("\r\n"), QStringLiteral("\n")), request.buttons,
                  QApplication::activeWindow());
  box.setTextFormat(Qt::PlainText);
  return static_cast<QMessageBox::StandardButton>(box.exec());
}

void SetAnswerer(Answerer answerer) { CurrentAnswerer() = std::move(answerer); }

}  // namespace Messages

namespace Commands {

void ShowMessage(const QString& text, qint16 style, const QString& title) {
  Messages::Request request;
  request.text = text;
  request.title = title.isEmpty() ? QString(SettingsSectionName) : title;
  request.icon = style == StyleCritical      ? QMessageBox::Critical
                 : style == StyleInformation ? QMessageBox::Information
                                             : QMessageBox::NoIcon;
  request.buttons = QMessageBox::Ok;
  Messages::Show(request);
}

}  // namespace Commands
