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
#include <cstdlib>
#include <memory>
#include <optional>

#include "commands/commands.h"
#include "commands/interval_text.h"
#include "commands/resume_next.h"
#include "commands/run_mode.h"
#include "commands/settings.h"
#include "commands/window_placement.h"
#include "controls/file_list_box.h"
#include "forms/form1.h"
#include "platform/instance.h"
#include "platform/quit_signals.h"

using namespace Qt::StringLiterals;

namespace Commands {
namespace {

// A stored tone as the disk answers for it: the list's entry it selects, if any, its name and its file.
struct StoredTone {
  int row = -1;
  QString name;
  QString file;
};

// Off the window's thread: the user's tone folder may sit on a network home. The stored tone is found in the list
// without regard to case; a name found in another case takes the file's own spelling (on a case-sensitive file
// system the stored spelling would name no file). When its file cannot be opened (or the list is empty), the
// default name takes its place, with nothing selected.
StoredTone LookUpStoredTone(const QStringList& names, const QString& toneName, const QString& defaultName,
                            const QString& programFolder, const QString& userToneFolder) {
  StoredTone tone{-1, toneName, QString()};
  const QString wanted = toneName.toUpper();
  for (int i = 0; i < names.size() && tone.row < 0; ++i) {
    if (names.at(i).toUpper() == wanted) tone.row = i;
  }
  if (tone.row >= 0) tone.name = names.at(tone.row);
  tone.file = ToneFile(tone.name, programFolder, userToneFolder);
  if (names.isEmpty() || !FileExists(tone.file)) {
    tone = {-1, defaultName, ToneFile(defaultName, programFolder, userToneFolder)};
  }
  return tone;
}

struct ToneAnswer {
  std::optional<QStringList> names;  // the tone lists' entries; nothing when the program folder cannot be read
  StoredTone add, remove;
};

// The start routine from the tone lists on, once their lookups have answered.
void FinishStart(Form1* form, const ToneAnswer& answer, const Settings& stored) {
  ProgramState& state = form->state();
  // Both tone lists show the program folder's wave files, and the user's own when installed.
  for (Controls::FileListBox* list : {form->File2, form->File3}) {
    ResumeNext([&] {
      if (answer.names) list->showNames(state.AppFolder, *answer.names);
    });
  }

  // Selecting the stored tones must not count as the user's choice: no preview, globals untouched.
  state.StartupFilling = true;
  ResumeNext([&] {
    if (answer.add.row >= 0) form->File2->setCurrentRow(answer.add.row);
  });
  ResumeNext([&] {
    if (answer.remove.row >= 0) form->File3->setCurrentRow(answer.remove.row);
  });
  // Each tone was resolved to its file off the window's thread, once: playing it later looks nowhere.
  ResumeNext([&] {
    state.AddSoundFile = answer.add.file;
    state.RemoveSoundFile = answer.remove.file;
  });
  state.StartupFilling = false;

  // The interval; a change of value updates the label through the scroll bar's change handling.
  ResumeNext([&] {
    if (const std::optional<qint16> seconds = IntervalFromText(stored.interval)) form->HScroll1->setValue(*seconds);
  });
  // Everything stored is in the window now: a close from here on saves what it shows.
  ResumeNext([&] { form->releaseStoredSettings(); });

  // Last of all the watch starts, once the first count is in.
  ResumeNext([&] { form->startTimerWhenAnswered(); });
}

}  // namespace

std::unique_ptr<Form1> Main(const QString& programFile) {
  // Where the files live, portable or installed: worked out once, and only looked up, not made, yet.
  Places places;
  ResumeNext([&] { places = FindPlaces(programFile); });

  // One instance per program folder; a second start brings the running window to the front and ends here,
  // leaving no other trace.
  bool firstInstance = true;
  ResumeNext([&] { firstInstance = Platform::ClaimSingleInstance(places.exeName, places.programFolder); });
  if (!firstInstance) {
    ResumeNext([&] { Platform::CallRunningInstance(places.exeName, places.programFolder); });
    return nullptr;
  }

  // The user's settings folder is made now, so the write at close finds it.
  ResumeNext([&] {
    if (places.mode == RunMode::Installed) QDir().mkpath(QFileInfo(places.settingsWrite).absolutePath());
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
  ResumeNext([&] { Platform::OnSecondStart([window = QPointer<Form1>(form)] { BringToFront(window); }); });

  // The four settings.
  const Settings defaults = DefaultSettings(places.defaultFolder);
  const Settings stored = ReadSettings(form->state().settingsRead, defaults);

  // Until the start is done, a close (the close box, a logout, SIGTERM) writes back what was stored.
  ResumeNext([&] { form->holdStoredSettings(stored); });

  // Only an empty stored folder gives way to the default one (ReadSettings saw to that). Any other is shown and
  // watched as stored, from the moment it can be read: a share mounted after login is heard once it is there.
  ResumeNext([&] { form->Text1->setText(stored.watchedPath); });
  // The first count runs on the watch's thread; it becomes the base the checks compare with.
  ResumeNext([&] { form->watchFolder(form->Text1->text()); });

  // The tone lists and the stored tones' files are looked up off the window's thread; the rest of the start
  // follows when they have answered.
  const QString toneFolder = form->state().AppFolder;
  const QString userToneFolder = form->state().userToneFolder;
  for (Controls::FileListBox* list : {form->File2, form->File3})
    ResumeNext([&] { list->setExtraFolder(userToneFolder); });
  const QString pattern = form->File2->pattern();
  form->startLookups().start([=](const Jobs::Background::Ticket& ticket) {
    auto answer = std::make_shared<ToneAnswer>();
    answer->names = Controls::FileListBox::readNames(toneFolder, userToneFolder, pattern);
    const QStringList names = answer->names.value_or(QStringList());
    answer->add = LookUpStoredTone(names, stored.addSound, defaults.addSound, toneFolder, userToneFolder);
    answer->remove = LookUpStoredTone(names, stored.removeSound, defaults.removeSound, toneFolder, userToneFolder);
    ticket.deliver([form, answer, stored] { FinishStart(form, *answer, stored); });
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
