// SPDX-License-Identifier: GPL-3.0-or-later
// The floor the program's memory is measured against: an empty Qt Widgets window and nothing else.
#include <QApplication>
#include <QWidget>

int main(int argc, char** argv) {
  QApplication app(argc, argv);
  QWidget window;
  window.setWindowTitle(QStringLiteral("Bare Qt Widgets window"));
  window.resize(381, 264);
  window.show();
  return app.exec();
}
