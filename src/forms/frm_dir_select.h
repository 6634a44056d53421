// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QWidget>
#include <QtGlobal>
#include <functional>

#include "jobs/background.h"

namespace Commands {
struct ProgramState;
}

class QLineEdit;
class QPushButton;
namespace Controls {
class DirListBox;
class DriveListBox;
class FileListView;
}  // namespace Controls

// The folder picker. Not modal: it keeps itself on top. Reads PickerCaption and PickerPath when created,
// writes PickerPath on apply and clears PickerOpen however it closes; it deletes itself when closed.
class frmDirSelect : public QWidget {
  Q_OBJECT
 public:
  explicit frmDirSelect(Commands::ProgramState& state, QWidget* parent = nullptr);

 signals:
  // The picker is going away, PickerOpen false by now: chosen is the folder applied, ending in the separator,
  // or empty when the picker was cancelled.
  void closed(const QString& chosen);

 protected:
  void closeEvent(QCloseEvent* event) override;
  bool eventFilter(QObject* watched, QEvent* event) override;
  void keyPressEvent(QKeyEvent* event) override;

 private slots:
  void Form_Load();
  void Form_Unload(bool& Cancel);
  void Drive1_Change();
  void Dir1_Change();
  void Command1_Click();
  void Command2_Click();
  void Command3_Click();
  void Text1_KeyPress(qint16& KeyAscii);

 private:
  // Hides the new-folder name entry and shows its button again.
  void closeNameEntry();
  // Names and descriptions for screen readers, Enter on the buttons, the focus sink out of their sight.
  void nameControls();
  // Runs an action's look at the disk off the window's thread; a newer action drops the answer of an older one.
  // `path`: what the job reads, so that a hung one holds one thread however often the picker opens.
  void startLookup(std::function<void(const Jobs::Background::Ticket&)> job, const QString& path = QString());
  // What Enter in the name entry does once the disk has answered.
  enum class Created { Exists, Failed, Made };
  void takeCreated(Created outcome, const QString& path);

  QPushButton* dummy;
  QLineEdit* Text1;
  QPushButton* Command3;
  Controls::DriveListBox* Drive1;
  Controls::DirListBox* Dir1;
  Controls::FileListView* File1;
  QPushButton* Command1;
  QPushButton* Command2;
  Commands::ProgramState& state_;
  QString chosen_;         // the folder applied, if any
  QString startFolder_;    // where the lists stand when the picker is given no folder, or one that is not there
  bool creating_ = false;  // a new folder is being made from the name entry
  Jobs::Background lookup_{this};
};
