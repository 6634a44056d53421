// SPDX-License-Identifier: GPL-3.0-or-later
#include "message_box.h"

#include <QApplication>

#include "commands/settings.h"

namespace Messages {

void Open(const Request& request, Answered answered) {
  // Over the active window, so the box is not hidden behind the picker, which stays on top. Modal for the whole
  // program, as a box that waited would be, while the event loop runs on.
  auto* box = new QMessageBox(request.icon, request.title,
                              QString(request.text).replace(QStringLiteral("\r\n"), QStringLiteral("\n")),
                              request.buttons, QApplication::activeWindow());
  box->setTextFormat(Qt::PlainText);
  box->setAttribute(Qt::WA_DeleteOnClose);
  box->setWindowModality(Qt::ApplicationModal);
  QObject::connect(box, &QMessageBox::finished, box, [answered = std::move(answered)](int result) {
    if (answered) answered(static_cast<QMessageBox::StandardButton>(result));
  });
  box->show();
}

}  // namespace Messages

namespace Commands {

void ShowMessage(const Messages::Opener& open, const QString& text, qint16 style, const QString& title,
                 std::function<void()> then) {
  Messages::Request request;
  request.text = text;
  request.title = title.isEmpty() ? QString(SettingsSectionName) : title;
  request.icon = style == StyleCritical      ? QMessageBox::Critical
                 : style == StyleInformation ? QMessageBox::Information
                                             : QMessageBox::NoIcon;
  request.buttons = QMessageBox::Ok;
  open(request, [then = std::move(then)](QMessageBox::StandardButton) {
    if (then) then();
  });
}

}  // namespace Commands
