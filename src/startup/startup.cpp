#include "app_modul.h"
#include "commands.h"
#include "interval_text.h"

#include "platform/file_list_box.h"
#include "platform/instance.h"
#include "platform/quit_signals.h"
#include "watcher/form1.h"

#include <QApplication>
#include <QFileInfo>
#include <QIcon>
#include <QPointer>
#include <QLineEdit>
#include <QScrollBar>
#include <QTimer>

using namespace Qt::StringLiterals;

namespace Commands {
namespace {

QPointer<Form1>& mainForm() {
  static QPointer<Form1> form;
  return form;
}

QString& programFileOverride() {
  static QString file;
  return file;
}

QString ProgramFile() {
  if (!programFileOverride().isEmpty()) return programFileOverride();
  return QCoreApplication::instance() ? QCoreApplication::applicationFilePath() : QString();
}

// Every step is skipped when it fails; start-up goes on with the next one.
template <typename F>
void Step(F&& step) noexcept {
  try {
    step();
  } catch (...) {
  }
}

// Selects the stored tone in its list without regard to case. When its file cannot be opened (or the list
// is empty), the default name takes its place and nothing is selected. A name found in another case takes
// the file's own spelling: on a case-sensitive file system the stored spelling would name no file.
void SelectStoredTone(Platform::FileListBox* list, QString& toneName, const QString& defaultName) {
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

void SetProgramFileForTesting(const QString& programFile) { programFileOverride() = programFile; }

Form1* MainForm() { return mainForm(); }

void InitProgramFolders() {
  const QFileInfo program(ProgramFile());
  Step([&] {
    AppFolder = program.absolutePath();
    AddBackslash(AppFolder);
  });
  Step([&] { ExeName = program.completeBaseName(); });
}

void Main() {
  // One instance per program folder; a second start ends here without a trace.
  bool firstInstance = true;
  Step([&] {
    const QFileInfo program(ProgramFile());
    QString folder = program.absolutePath();
    firstInstance = Platform::ClaimSingleInstance(program.completeBaseName(), AddBackslash(folder));
  });
  if (!firstInstance) {
    Platform::EndProgram(0);
    return;
  }

  // Folders and settings file: the window takes its caption from the section while it loads.
  Step([] { InitProgramFolders(); });
  Step([] { InitSettingsFile(); });

  // The window appears with its design values while it is filled.
  Step([] {
    delete mainForm();  // a previous run in the same process
    QApplication::setWindowIcon(QIcon(u":/foldwarn.png"_s));
    mainForm() = new Form1;
    mainForm()->show();
  });
  Form1* const form = mainForm();
  if (!form) return;
  // A logout or `kill` closes the window the normal way, so the settings are saved.
  Step([] {
    Platform::OnQuitSignal([] {
      if (Form1* f = mainForm()) f->close();
    });
  });

  // The four settings.
  QString watchedPath, intervalText, addName, removeName;
  Step([&] { watchedPath = ReadSetting(SettingsSection, u"LetzterPfad"_s, SettingsFile, AppFolder); });
  Step([&] { intervalText = ReadSetting(SettingsSection, u"Zeit"_s, SettingsFile, u"60"_s); });
  Step([&] { addName = ReadSetting(SettingsSection, u"addSound"_s, SettingsFile, u"add.wav"_s); });
  Step([&] { removeName = ReadSetting(SettingsSection, u"removeSound"_s, SettingsFile, u"remove.wav"_s); });

  // A folder that is gone gives way to the program folder; an existing one stays as stored.
  Step([&] {
    if (watchedPath.isEmpty() || !FolderExists(watchedPath)) watchedPath = AppFolder;
  });
  Step([&] { form->Text1->setText(watchedPath); });
  Step([&] { form->File1->setPath(form->Text1->text()); });

  // Both tone lists show the program folder's wave files.
  Step([&] { form->File2->setPath(AppFolder); });
  Step([&] { form->File3->setPath(AppFolder); });

  // Selecting the stored tones must not count as the user's choice: no preview, globals untouched.
  AppModul::StartupFilling = 1;
  Step([&] { SelectStoredTone(form->File2, addName, u"add.wav"_s); });
  Step([&] { SelectStoredTone(form->File3, removeName, u"remove.wav"_s); });
  Step([&] {
    AppModul::AddSoundFile = addName;
    AppModul::RemoveSoundFile = removeName;
  });
  AppModul::StartupFilling = 0;

  // Let the window repaint with its contents.
  Step([] { QCoreApplication::processEvents(); });
  if (!mainForm()) return;

  // The base the first check compares with.
  Step([&] { AppModul::LastFileCount = form->File1->listCount(); });

  // The interval; a change of value updates the label through the scroll bar's change handling.
  Step([&] {
    if (const std::optional<qint16> seconds = IntervalFromText(intervalText)) form->HScroll1->setValue(*seconds);
  });

  // Last of all the watch starts.
  Step([&] { form->Timer1->start(); });
}

}  // namespace Commands
