#include "startup.h"

#include <QApplication>
#include <QFileInfo>
#include <QLineEdit>
#include <QPointer>
#include <QScrollBar>
#include <QTimer>

#include "commands/app_modul.h"
#include "commands/commands.h"
#include "commands/guarded.h"
#include "commands/interval_text.h"
#include "commands/settings.h"
#include "controls/file_list_box.h"
#include "forms/form1.h"
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
void SelectStoredTone(Controls::FileListBox* list, QString& toneName, const QString& defaultName) {
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
  if (!FileExists(AppFolder + fileName)) {
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

void Main() {
  // One instance per program folder; a second start ends here without a trace.
  bool firstInstance = true;
  Guarded([&] {
    const QFileInfo program(ProgramFile());
    QString folder = program.absolutePath();
    firstInstance = Platform::ClaimSingleInstance(program.completeBaseName(), AddBackslash(folder));
  });
  if (!firstInstance) {
    Platform::EndProgram(0);
    return;
  }

  // Folders and settings file: the window takes its caption from the section while it loads.
  Guarded([] { InitProgramFolders(); });
  Guarded([] { InitSettingsFile(); });

  // The window appears with its design values while it is filled.
  Guarded([] {
    delete mainForm();  // a previous run in the same process
    mainForm() = new Form1;
    mainForm()->show();
  });
  Form1* const form = mainForm();
  if (!form) return;
  // A logout or `kill` closes the window the normal way, so the settings are saved.
  Guarded([] {
    Platform::OnQuitSignal([] {
      if (Form1* f = mainForm()) f->close();
    });
  });

  // The four settings.
  const Settings defaults = DefaultSettings();
  Settings stored = ReadSettings();
  QString& watchedPath = stored.watchedPath;
  QString& addName = stored.addSound;
  QString& removeName = stored.removeSound;

  // A folder that is gone gives way to the program folder; an existing one stays as stored.
  Guarded([&] {
    if (watchedPath.isEmpty() || !FolderExists(watchedPath)) watchedPath = AppFolder;
  });
  Guarded([&] { form->Text1->setText(watchedPath); });
  // The first count runs on the watch's thread while the window fills; it becomes the base the checks compare with.
  Guarded([&] { form->WatchFolder(form->Text1->text()); });

  // Both tone lists show the program folder's wave files.
  Guarded([&] { form->File2->setPath(AppFolder); });
  Guarded([&] { form->File3->setPath(AppFolder); });

  // Selecting the stored tones must not count as the user's choice: no preview, globals untouched.
  AppModul::StartupFilling = 1;
  Guarded([&] { SelectStoredTone(form->File2, addName, defaults.addSound); });
  Guarded([&] { SelectStoredTone(form->File3, removeName, defaults.removeSound); });
  Guarded([&] {
    AppModul::AddSoundFile = addName;
    AppModul::RemoveSoundFile = removeName;
  });
  AppModul::StartupFilling = 0;

  // Let the window repaint with its contents.
  Guarded([] { QCoreApplication::processEvents(); });
  if (!mainForm()) return;

  // The interval; a change of value updates the label through the scroll bar's change handling.
  Guarded([&] {
    if (const std::optional<qint16> seconds = IntervalFromText(stored.interval)) form->HScroll1->setValue(*seconds);
  });

  // Last of all the watch starts, once the first count is in.
  Guarded([&] { form->StartTimerWhenAnswered(); });
}

}  // namespace Commands
