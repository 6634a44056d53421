// SPDX-License-Identifier: GPL-3.0-or-later
// Plays tones through the real sound output: play_tones FILE [PAUSE_MS FILE]...
// Used by the end-to-end test of the audio path; waits for the last tone to finish before it ends.
#include <QCoreApplication>
#include <QThread>
#include <cstdio>
#include <cstdlib>

#include "sound/sound.h"

int main(int argc, char** argv) {
  QCoreApplication app(argc, argv);
  const QStringList args = app.arguments().mid(1);
  if (args.isEmpty() || args.size() % 2 == 0) {
    std::fprintf(stderr, "usage: play_tones FILE [PAUSE_MS FILE]...\n");
    return 2;
  }
  for (int i = 0; i < args.size(); i += 2) {
    if (i > 0) QThread::msleep(args[i - 1].toUInt());
    Sound::PlaySoundFile(args[i]);
  }
  QThread::msleep(3000);
  // Ends as the program does: no exit handlers, no teardown of threads still running.
  std::fflush(nullptr);
  std::_Exit(0);
}
