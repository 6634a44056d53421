// SPDX-License-Identifier: GPL-3.0-or-later
#include "startup.h"

#include <QApplication>
#include <QDir>
#include <QFileInfo>
#include <QLineEdit>
#include <QPointer>
#include <QScrollBar>
#include <QTimer>
#include <cstdio>
#include <string_view>

#include "commands/app_modul.h"
#include "commands/commands.h"
#include "commands/interval_text.h"
#include "commands/resume_next.h"
#include "commands/run_mode.h"
#include "commands/settings.h"
#include "commands/window_placement.h"
#include "controls/file_list_box.h"
#include "forms/form1.h"
#include "platform/end_program.h"
#include "platform/instance.h"
#include "platform/quit_signals.h"

using namespace Qt::StringLiterals;

namespace Commands {
namespace {

QPointer<Form1>& mainForm() {
  static QPointer<Form1> form;
  return form;
}

// Selects the stored tone in its list without regard to case. When its file cannot be opened (or the list
// is empty), the default name takes its place and nothing is selected. A name found in another case takes
// the file's own spelling: on a case-sensitive file system the stored spelling would name no file.
void SelectStoredTone(Controls::FileListBox* list, QString& toneName, const QString& defaultName,
                      const QString& userToneFolder) {
  if (list->count() == 0) {
    toneName = defaultName;
    return;
  }
  const QString wanted = toneName.toUpper();
  int match = -1;
  for (int i = 0; i < list->count() && match < 0; ++i) {
    if (list->fileName(i).toUpper() == wanted) match = i;
  }
  const QString fileName = match >= 0 ? list->fileName(match) : toneName;
  if (!FileExists(ToneFile(fileName, userToneFolder))) {
    toneName = defaultName;
    return;
  }
  if (match >= 0) {
    list->setCurrentRow(match);
    toneName = fileName;
  }
}

}  // namespace

Form1* MainForm() { return mainForm(); }

std::optional<int> AnswerCommandLine(int argc, const char* const* argv) {
  for (int i = 1; i < argc; ++i) {
    const std::string_view arg(argv[i]);
    if (arg == "--version") {
      std::fputs("foldwarn " FOLDWARN_VERSION "\n", stdout);
      return 0;
    }
    if (arg == "--help") {
      std::fputs(
          "Aufruf: foldwarn [--help | --version]\n"
          "Überwacht einen Ordner und spielt einen Ton, wenn die Zahl der Dateien darin steigt oder fällt.\n"
          "\n"
          "  --help     diese Hilfe zeigen und beenden\n"
          "  --version  die Version zeigen und beenden\n"
          "\n"
          "Einstellungen: foldwarn.ini im Programmordner, wenn er beschreibbar ist, sonst\n"
          "$XDG_CONFIG_HOME/foldwarn/foldwarn.ini; eigene Töne (*.wav) in $XDG_DATA_HOME/foldwarn/.\n",
          stdout);
      return 0;
    }
  }
  return std::nullopt;
}

void Main() {
  // Where the files live, portable or installed: worked out once, and only looked up, not made, yet.
  Places places;
  ResumeNext([&] { places = FindPlaces(ProgramFile()); });

  // One instance per program folder; a second start brings the running window to the front and ends here,
  // leaving no other trace.
  bool firstInstance = true;
  ResumeNext([&] { firstInstance = Platform::ClaimSingleInstance(places.exeName, places.programFolder); });
  if (!firstInstance) {
    ResumeNext([&] { Platform::CallRunningInstance(places.exeName, places.programFolder); });
    Platform::EndProgram(0);
    return;
  }

  // The user's settings folder is made now, so the write at close finds it.
  ResumeNext([&] {
    if (places.mode == RunMode::Installed) QDir().mkpath(QFileInfo(places.settingsWrite).absolutePath());
  });
  // The window takes its caption from the section while it loads.
  ResumeNext([&] {
    AppFolder = places.programFolder;
    ExeName = places.exeName;
    SettingsSection = SettingsSectionName;
    SettingsFile = places.settingsWrite;
  });

  // The window appears with its design values while it is filled.
  ResumeNext([] {
    delete mainForm();  // a previous run in the same process
    mainForm() = new Form1;
    mainForm()->show();
  });
  Form1* const form = mainForm();
  if (!form) return;
  // A logout or `kill` closes the window the normal way, so the settings are saved.
  ResumeNext([] {
    Platform::OnQuitSignal([] {
      if (Form1* f = mainForm()) f->close();
    });
  });
  ResumeNext([] { Platform::OnSecondStart([] { BringToFront(mainForm()); }); });

  // The four settings.
  const Settings defaults = DefaultSettings(places.defaultFolder);
  Settings stored = ReadSettings(places.settingsRead, defaults);
  QString& watchedPath = stored.watchedPath;
  QString& addName = stored.addSound;
  QString& removeName = stored.removeSound;

  // A folder that is gone gives way to the default folder for this run; an existing one stays as stored. The
  // stored one may only be not mounted yet, so closing writes it back unless the user picks another.
  ResumeNext([&] {
    if (watchedPath.isEmpty() || !FolderExists(watchedPath)) {
      if (!watchedPath.isEmpty()) form->KeepStoredFolder(watchedPath);
      watchedPath = places.defaultFolder;
    }
  });
  ResumeNext([&] { form->Text1->setText(watchedPath); });
  // The first count runs on the watch's thread while the window fills; it becomes the base the checks compare with.
  ResumeNext([&] { form->WatchFolder(form->Text1->text()); });

  // Both tone lists show the program folder's wave files, and the user's own when installed.
  for (Controls::FileListBox* list : {form->File2, form->File3}) {
    ResumeNext([&] { list->setExtraFolder(places.userToneFolder); });
    ResumeNext([&] { list->setPath(AppFolder); });
  }

  // Selecting the stored tones must not count as the user's choice: no preview, globals untouched.
  AppModul::StartupFilling = 1;
  ResumeNext([&] { SelectStoredTone(form->File2, addName, defaults.addSound, places.userToneFolder); });
  ResumeNext([&] { SelectStoredTone(form->File3, removeName, defaults.removeSound, places.userToneFolder); });
  // Each tone is resolved to its file here, once: playing it later looks nowhere.
  ResumeNext([&] {
    AppModul::AddSoundFile = ToneFile(addName, places.userToneFolder);
    AppModul::RemoveSoundFile = ToneFile(removeName, places.userToneFolder);
  });
  AppModul::StartupFilling = 0;

  // Let the window repaint with its contents.
  ResumeNext([] { QCoreApplication::processEvents(); });
  if (!mainForm()) return;

  // The interval; a change of value updates the label through the scroll bar's change handling.
  ResumeNext([&] {
    if (const std::optional<qint16> seconds = IntervalFromText(stored.interval)) form->HScroll1->setValue(*seconds);
  });

  // Last of all the watch starts, once the first count is in.
  ResumeNext([&] { form->StartTimerWhenAnswered(); });
}

}  // namespace Commands
