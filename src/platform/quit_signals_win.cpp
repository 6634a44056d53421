#include "quit_signals.h"

#include <QCoreApplication>
#include <QMetaObject>
#include <windows.h>

namespace Platform {
namespace {
std::function<void()> quitHandler;

BOOL WINAPI onConsoleEvent(DWORD) {
  QMetaObject::invokeMethod(QCoreApplication::instance(), [] {
    if (quitHandler) quitHandler();
  }, Qt::QueuedConnection);
  return TRUE;
}
}  // namespace

void OnQuitSignal(std::function<void()> handler) {
  quitHandler = std::move(handler);
  SetConsoleCtrlHandler(onConsoleEvent, TRUE);
}

}  // namespace Platform
