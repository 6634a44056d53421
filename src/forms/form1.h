// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QPointer>
#include <QStringList>
#include <QWidget>
#include <functional>
#include <optional>

#include "commands/program_state.h"
#include "commands/settings.h"
#include "jobs/background.h"

class QGroupBox;
class QLabel;
class QLineEdit;
class QPushButton;
class QScrollBar;
class QTimer;
class frmDirSelect;
namespace Controls {
class FileListBox;
}
namespace Watch {
class FolderWatch;
struct Answer;
}  // namespace Watch

// The main window: the watched folder, the folder button, the check interval and the two tone lists.
// A timer asks, and a reading thread counts the watched folder. Fixed positions: resizing moves nothing.
class Form1 : public QWidget {
  Q_OBJECT
 public:
  // The window works with state, which the start routine made; a fresh one is a program before its start.
  explicit Form1(Commands::ProgramState state = {}, QWidget* parent = nullptr);
  ~Form1() override;

  Commands::ProgramState& state() { return state_; }
  const Commands::ProgramState& state() const { return state_; }

  // Controls in the order they are created; each carries its name as objectName.
  QGroupBox* Frame1;
  Controls::FileListBox* File3;
  Controls::FileListBox* File2;
  QLabel* Label2;
  QLineEdit* dummy;
  QScrollBar* HScroll1;
  Controls::FileListBox* File1;
  QPushButton* Command1;
  QLineEdit* Text1;
  QTimer* Timer1;
  QLabel* Label3;
  QLabel* Label1;

  // A stored tone as the disk answers for it: the list's entry it selects (-1: none) and its file.
  struct StoredTone {
    int row = -1;
    QString file;
  };
  // The tone lists' entries (nothing when the program folder cannot be read) and the stored tones in them.
  struct StoredTones {
    std::optional<QStringList> names;
    StoredTone add, remove;
  };
  // The stored settings the start routine read. The folder is shown and watched at once; lookUp runs off the
  // window's thread, and once its tones are in, they and the interval are applied and the checks start. Until
  // then a close writes back the interval and tones as stored: a close meanwhile must not lose them.
  void applySettings(const Commands::Settings& stored, std::function<StoredTones()> lookUp);
  // Watches folder from now on. Its first readable count is the base the checks compare with, without a tone;
  // until the folder can be read, every tick tries again.
  void watchFolder(const QString& folder);
  Watch::FolderWatch* folderWatch() const { return watch_; }
  // Shows path in Text1: a byte of the name that is no character reads as the replacement character there, while
  // the path itself, every byte kept, is what the picker gets and what is saved.
  void showWatchedPath(const QString& path);
  QString watchedPath() const;
  // Applies folder as one applied in the picker: shown, the focus parked, watched from its first readable count
  // without a tone for the switch, and saved on close.
  void applyPickedFolder(const QString& folder);

 protected:
  void showEvent(QShowEvent* event) override;
  void closeEvent(QCloseEvent* event) override;

 private slots:
  void Form_Load();
  void Form_Unload();
  void Timer1_Timer();
  void HScroll1_Change();
  void HScroll1_Scroll();
  void File2_Click();
  void File3_Click();
  void Command1_Click();

 private:
  // The four settings from the controls, in the order the file has them.
  void saveSettings();
  // The rest of applySettings, once the tones are looked up.
  void applyTones(const StoredTones& tones);
  // Starts Timer1 as soon as the watched folder has answered once.
  void startTimerWhenAnswered();

  // The picker closed: chosen is the folder applied there, or empty when it was cancelled.
  void pickerClosed(const QString& chosen);
  // Takes a folder the picker handed back into the watch at once; the tick count goes on.
  void watchChosenFolder(const QString& folder);
  // A count came back: the comparison with the last count, and its tone.
  void takeAnswer(const Watch::Answer& answer);

  // A tone picked in a list: its file is found off the window's thread when the user's tone folder must be asked.
  void pickTone(const Controls::FileListBox* list, QString Commands::ProgramState::*tone, Jobs::Background& lookup);

  Commands::ProgramState state_;
  QString shownPath_;                       // the path Text1 shows, every byte kept
  QPointer<frmDirSelect> picker_;           // the open folder picker, if any
  bool buildingPicker_ = false;             // the picker is being made: it lets events run meanwhile
  std::optional<Commands::Settings> held_;  // stored, not yet applied: see applySettings
  Jobs::Background settingsLookup_{this};
  Jobs::Background addToneLookup_{this};
  Jobs::Background removeToneLookup_{this};
  Watch::FolderWatch* watch_;
  bool haveBase_ = false;  // LastFileCount holds a count of the folder watched now
  bool answered_ = false;  // the folder watched now has answered at least once
  bool startTimerWhenAnswered_ = false;
  qint16 TickCounter = 0;  // ticks since the last check; never above 60
  bool loaded_ = false;
};
