// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QCoreApplication>
#include <QString>
#include <QtGlobal>
#include <functional>

#include "commands/message_box.h"
#include "commands/run_mode.h"

namespace Commands {

// What the program shares between the start routine and its windows: made by the start routine, handed to the
// main window and by it to the picker. A fresh one is what a program has before its start.
struct ProgramState {
  // Where the files live, worked out once at start.
  RunMode mode = RunMode::Portable;
  QString AppFolder;        // the program file's folder, ending in the separator
  QString ExeName;          // the program file's name without folder and extension
  QString SettingsSection;  // settings section, window caption
  QString SettingsFile;     // the settings file written
  QString settingsRead;     // the settings file read at start
  QString userToneFolder;   // the user's own tones, listed with the program folder's; empty when portable

  // The picker's hand-over: what it shows when it opens, and on apply the folder chosen, ending in a separator.
  bool PickerOpen = false;
  QString PickerCaption;
  QString PickerPath;

  qint64 LastFileCount = 0;     // files seen at the previous check (64-bit: folders can hold more than 32767)
  QString AddSoundFile;         // tone file for a rising count, resolved where it is chosen (start, a list)
  QString RemoveSoundFile;      // tone file for a falling count, likewise
  bool StartupFilling = false;  // the start routine selects the stored tones, which keeps that selection silent

  // How the program ends: its event loop returns exitCode. A test puts a recorder here.
  std::function<void(int exitCode)> endProgram = [](int exitCode) { QCoreApplication::exit(exitCode); };
  // How a message box opens. A test puts an answerer here.
  Messages::Opener openMessage = Messages::Open;
};

}  // namespace Commands
