#include "startup/commands.h"

#include <QApplication>

int main(int argc, char* argv[]) {
  QApplication app(argc, argv);
  Commands::Main();
  return app.exec();
}
