#pragma once

#include <QPointer>
#include <QWidget>
#include <optional>

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

// The main window: the watched folder, the folder button, the check interval and the two tone lists.
// A timer and a hidden file list do the watching. Fixed positions: resizing moves nothing.
class Form1 : public QWidget {
  Q_OBJECT
 public:
  explicit Form1(QWidget* parent = nullptr);

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

  // The stored folder this run does not watch (it could not be read at start): saved back as it was unless
  // the user picks a folder.
  void KeepStoredFolder(const QString& stored) { storedFolder_ = stored; }

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
  void SaveSettings();

  // Takes a folder the picker handed back into the watch at once; the tick count goes on.
  void WatchChosenFolder(const QString& folder);

  QPointer<frmDirSelect> picker_;        // the open folder picker, if any
  bool buildingPicker_ = false;          // the picker is being made: it lets events run meanwhile
  std::optional<QString> storedFolder_;  // see KeepStoredFolder
  qint16 TickCounter = 0;                // ticks since the last check; never above 60
  bool loaded_ = false;
};
