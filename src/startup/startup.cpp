// SPDX-License-Identifier: GPL-3.0-or-later
#include "startup.h"

#include <QPointer>
#include <cstdio>
#include <cstdlib>
#include <memory>

#include "commands/commands.h"
#include "commands/resume_next.h"
#include "commands/run_mode.h"
#include "commands/settings.h"
#include "commands/window_placement.h"
#include "controls/file_list_box.h"
#include "forms/form1.h"
#include "platform/folder_create.h"
#include "platform/instance.h"
#include "platform/quit_signals.h"

using namespace Qt::StringLiterals;

namespace Commands {
namespace {

// Off the window's thread: the user's tone folder may sit on a network home. The stored tone is found in the list
// without regard to case; a name found in another case takes the file's own spelling (on a case-sensitive file
// system the stored spelling would name no file). When its file cannot be opened (or the list is empty), the
// default takes its place, selected where the list has it: the list shows the tone that plays.
Form1::StoredTone LookUpStoredTone(const QStringList& names, const QString& toneName, const QString& defaultName,
                                   const QString& programFolder, const QString& userToneFolder) {
  const auto find = [&](const QString& name) {
    // The very name first: case folding makes every kept byte one replacement character.
    Form1::StoredTone tone{int(names.indexOf(name)), QString()};
    const QString wanted = name.toUpper();
    for (int i = 0; i < names.size() && tone.row < 0; ++i) {
      if (names.at(i).toUpper() == wanted) tone.row = i;
    }
    tone.file = ToneFile(tone.row >= 0 ? names.at(tone.row) : name, programFolder, userToneFolder);
    return tone;
  };
  const Form1::StoredTone stored = find(toneName);
  if (!names.isEmpty() && FileExists(stored.file)) return stored;
  return find(defaultName);
}

}  // namespace

std::unique_ptr<Form1> Main(const QString& programFile, const QString& folder, int* secondStartExit) {
  // Where the files live, portable or installed: worked out once, and only looked up, not made, yet.
  Places places;
  ResumeNext([&] { places = FindPlaces(programFile); });

  // One instance per program folder; a second start hands its folder over, brings the running window to the
  // front and ends here, leaving no other trace.
  bool firstInstance = true;
  ResumeNext([&] { firstInstance = Platform::ClaimSingleInstance(places.exeName, places.programFolder); });
  if (!firstInstance) {
    bool reached = false;
    ResumeNext([&] { reached = Platform::CallRunningInstance(places.exeName, places.programFolder, folder); });
    if (secondStartExit) *secondStartExit = reached ? 0 : 1;
    return nullptr;
  }

  // The user's settings folder is made now, so the write at close finds it.
  ResumeNext([&] {
    if (places.mode == RunMode::Installed)
      Platform::MakeFolders(places.settingsWrite.left(places.settingsWrite.lastIndexOf(u'/')));
  });
  // The window takes its caption from the section while it loads.
  ProgramState state;
  state.mode = places.mode;
  state.AppFolder = places.programFolder;
  state.ExeName = places.exeName;
  state.SettingsSection = SettingsSectionName;
  state.SettingsFile = places.settingsWrite;
  state.settingsRead = places.settingsRead;
  state.userToneFolder = places.userToneFolder;

  // The window appears with its design values while it is filled.
  std::unique_ptr<Form1> made;
  ResumeNext([&] {
    made = std::make_unique<Form1>(std::move(state));
    made->show();
  });
  Form1* const form = made.get();
  if (!form) return made;
  // A logout or `kill` closes the window the normal way, so the settings are saved.
  ResumeNext([&] {
    Platform::OnQuitSignal([window = QPointer<Form1>(form)] {
      if (window) window->close();
    });
  });
  ResumeNext([&] {
    Platform::OnSecondStart([window = QPointer<Form1>(form)](const QString& handed) {
      if (window && !handed.isEmpty()) window->applyPickedFolder(handed);
      BringToFront(window);
    });
  });

  // The four settings, handed to the window with the lookup of the tone lists and the stored tones' files.
  const Settings defaults = DefaultSettings(places.defaultFolder);
  Settings stored = ReadSettings(places.settingsRead, defaults);
  // A folder given on the command line is watched, and saved at close, as one picked in the picker is.
  if (!folder.isEmpty()) stored.watchedPath = folder;
  const QString programFolder = places.programFolder;
  const QString userToneFolder = places.userToneFolder;
  const QString pattern = form->File2->pattern();
  ResumeNext([&] {
    form->applySettings(stored, [=] {
      Form1::StoredTones tones;
      tones.names = Controls::FileListBox::readNames(programFolder, userToneFolder, pattern);
      const QStringList names = tones.names.value_or(QStringList());
      tones.add = LookUpStoredTone(names, stored.addSound, defaults.addSound, programFolder, userToneFolder);
      tones.remove = LookUpStoredTone(names, stored.removeSound, defaults.removeSound, programFolder, userToneFolder);
      return tones;
    });
  });
  return made;
}

void EndProcess(int exitCode) {
  Platform::ReleaseSingleInstance();
  std::fflush(nullptr);
  // A reading thread may wait in a hung share for minutes. Nothing it could wake up into may be torn down
  // under it, and nothing is left to save: the process ends without the teardown.
  std::_Exit(exitCode);
}

}  // namespace Commands
