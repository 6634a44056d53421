#include <QApplication>

#include "startup/startup.h"

int main(int argc, char* argv[]) {
  QApplication app(argc, argv);
  Commands::Main();
  return app.exec();
}
