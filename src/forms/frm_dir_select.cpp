// SPDX-License-Identifier: GPL-3.0-or-later
#include "frm_dir_select.h"

#include <QCloseEvent>
#include <QDir>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QPixmap>
#include <QPointer>
#include <QPushButton>

#include "commands/commands.h"
#include "commands/dialog_font.h"
#include "commands/folder_path.h"
#include "commands/key_filter.h"
#include "commands/message_box.h"
#include "commands/program_state.h"
#include "commands/twips.h"
#include "commands/window_placement.h"
#include "controls/dir_list_box.h"
#include "controls/drive_list_box.h"
#include "controls/file_list_view.h"
#include "forms/accessibility.h"
#include "forms/make_control.h"
#include "platform/file_name.h"
#include "platform/paths.h"

namespace {
const QString NewFolderName = QStringLiteral("Neuer Ordner");
}

frmDirSelect::frmDirSelect(Commands::ProgramState& state, QWidget* parent)
    : QWidget(parent, Qt::Tool | Qt::CustomizeWindowHint | Qt::WindowTitleHint | Qt::WindowCloseButtonHint),
      state_(state) {
  setObjectName(QStringLiteral("frmDirSelect"));
  setAttribute(Qt::WA_DeleteOnClose);
  // Closing the picker never ends the program; only the main window does.
  setAttribute(Qt::WA_QuitOnClose, false);
  setWindowTitle(QStringLiteral("Pfad auswählen..."));
  // An empty icon would inherit the program's; a blank one shows none.
  QPixmap blank(16, 16);
  blank.fill(Qt::transparent);
  setWindowIcon(QIcon(blank));
  setFixedSize(Px(5235), Px(4965));
  setFont(Commands::DialogFont());

  auto button = [this](const char* name, const QString& caption, const QRect& place) {
    auto* created = Forms::MakeControl<QPushButton>(this, name, place, caption);
    created->setAutoDefault(false);
    return created;
  };

  // In the design's order; the last created lies on top where controls overlap (Text1 under Command3 is hidden).
  dummy = button("dummy", QString(), TwipRect(7560, 420, 195, 195));

  Text1 = Forms::MakeControl<QLineEdit>(this, "Text1", TwipRect(2520, 3270, 2685, 315), NewFolderName);
  Text1->hide();
  Text1->installEventFilter(this);
  // Pasted, dropped and input-method text bypasses the key filter: it is screened once it has arrived.
  connect(Text1, &QLineEdit::textEdited, this, [this](const QString& text) {
    const QString kept = Commands::FilterText(text, Commands::FilterFolderName);
    if (kept == text) return;
    const int cursor = int(Commands::FilterText(text.left(Text1->cursorPosition()), Commands::FilterFolderName).size());
    Text1->setText(kept);
    Text1->setCursorPosition(cursor);
  });

  Command3 = button("Command3", QStringLiteral("N e u e r  O r d n e r"), TwipRect(2520, 3240, 2715, 375));

  Drive1 = Forms::MakeControl<Controls::DriveListBox>(this, "Drive1", TwipRect(0, 0, 2475, 315));
  Dir1 = Forms::MakeControl<Controls::DirListBox>(this, "Dir1", TwipRect(0, 360, 2475, 4590));
  File1 = Forms::MakeControl<Controls::FileListView>(this, "File1", TwipRect(2520, 0, 2715, 3210));
  File1->setEnabled(false);  // for information only: greyed, no focus, no selection

  Command1 = button("Command1", QStringLiteral("Ü B E R N E H M E N"), TwipRect(2520, 4320, 2715, 615));
  QFont applyFont(QStringLiteral("Arial"));
  applyFont.setPointSizeF(11.25);
  applyFont.setWeight(QFont::Bold);
  Command1->setFont(applyFont);

  Command2 = button("Command2", QStringLiteral("A B B R E C H E N"), TwipRect(2520, 3660, 2715, 615));

  QWidget::setTabOrder(Command2, Command1);
  QWidget::setTabOrder(Command1, File1);
  QWidget::setTabOrder(File1, Dir1);
  QWidget::setTabOrder(Dir1, Drive1);
  QWidget::setTabOrder(Drive1, Command3);
  QWidget::setTabOrder(Command3, Text1);
  QWidget::setTabOrder(Text1, dummy);
  nameControls();

  // The lists start where the process stands; Form_Load points them there unless it is given a folder. The
  // name alone: the folder is read off the window's thread.
  startFolder_ = Platform::CurrentFolder();
  if (!QDir::isAbsolutePath(startFolder_)) startFolder_ = QDir::rootPath();

  connect(Drive1, &Controls::DriveListBox::changed, this, &frmDirSelect::Drive1_Change);
  connect(Dir1, &Controls::DirListBox::changed, this, &frmDirSelect::Dir1_Change);
  connect(Command1, &QPushButton::clicked, this, &frmDirSelect::Command1_Click);
  connect(Command2, &QPushButton::clicked, this, &frmDirSelect::Command2_Click);
  connect(Command3, &QPushButton::clicked, this, &frmDirSelect::Command3_Click);

  Form_Load();
}

void frmDirSelect::nameControls() {
  // The captions are letter-spaced; a screen reader gets the words.
  Command1->setAccessibleName(QStringLiteral("Übernehmen"));
  Command1->setAccessibleDescription(QStringLiteral("Übernimmt den gezeigten Ordner und schließt das Fenster."));
  Command2->setAccessibleName(QStringLiteral("Abbrechen"));
  Command2->setAccessibleDescription(QStringLiteral("Schließt das Fenster, ohne einen Ordner zu übernehmen."));
  Command3->setAccessibleName(NewFolderName);
  Command3->setAccessibleDescription(QStringLiteral("Legt im gezeigten Ordner einen neuen Ordner an."));
  Text1->setAccessibleName(QStringLiteral("Name des neuen Ordners"));
  Text1->setAccessibleDescription(QStringLiteral("Enter legt den Ordner an, Escape bricht ab."));
  // On Linux a combo box reads as its entry and takes its name from a label; the window shows none.
  auto* driveLabel = new QLabel(QStringLiteral("Laufwerk"), this);
  driveLabel->setObjectName(QStringLiteral("Drive1Label"));
  driveLabel->setBuddy(Drive1);
  driveLabel->hide();
  Drive1->setAccessibleDescription(QStringLiteral("Öffnet den zuletzt auf dem Laufwerk geöffneten Ordner."));
  Dir1->setAccessibleName(QStringLiteral("Ordner"));
  Dir1->setAccessibleDescription(QStringLiteral("Enter oder Doppelklick öffnet den markierten Ordner."));
  File1->setAccessibleName(QStringLiteral("Dateien im Ordner"));
  File1->setAccessibleDescription(QStringLiteral("Nur zur Ansicht: die Dateien des gezeigten Ordners."));
  for (QPushButton* pressed : {Command1, Command2, Command3}) Forms::PressOnEnter(pressed);
  Forms::ParkFocusOutOfSight(dummy);
}

void frmDirSelect::keyPressEvent(QKeyEvent* event) {
  // Escape that no control took (the name entry takes its own) cancels like the close box.
  if (event->key() == Qt::Key_Escape && event->modifiers() == Qt::NoModifier) {
    close();
    return;
  }
  QWidget::keyPressEvent(event);
}

void frmDirSelect::Form_Load() {
  Commands::CenterForm(this);
  Commands::SetTopmost(this);
  raise();
  setWindowTitle(state_.PickerCaption);
  const QString start = state_.PickerPath;
  // The lists show the folder given at once; whether it exists is asked off the window's thread, and one that is
  // not there gives way to the starting point when the answer comes.
  Dir1->setPath(start.isEmpty() ? startFolder_ : start);
  if (File1->path() != QDir::cleanPath(Dir1->path())) File1->setPath(Dir1->path());
  if (!start.isEmpty()) {
    startLookup(
        [this, start, fallback = startFolder_](const Jobs::Background::Ticket& ticket) {
          if (!Commands::FolderExists(start)) ticket.deliver([this, fallback] { Dir1->setPath(fallback); });
        },
        start);
  }
  dummy->setFocus();
}

void frmDirSelect::startLookup(std::function<void(const Jobs::Background::Ticket&)> job, const QString& path) {
  // An Enter still waiting for its answer is dropped with it.
  creating_ = false;
  lookup_.start(path, std::move(job));
}

void frmDirSelect::Form_Unload(bool& /*Cancel*/) { state_.PickerOpen = false; }

void frmDirSelect::closeEvent(QCloseEvent* event) {
  bool cancel = false;
  Form_Unload(cancel);
  event->accept();
  emit closed(chosen_);
}

void frmDirSelect::Drive1_Change() {
  const QString root = Drive1->drive();
  const QString remembered = Drive1->openedFolderOnDrive();
  // The folder last opened there, or the volume's root once that folder is gone; both asked off the window's
  // thread, as a volume may hang.
  startLookup([this, root, remembered](const Jobs::Background::Ticket& ticket) {
    QString target = remembered;
    bool readable = Platform::IsListableFolder(target);
    if (!readable && target != root) {
      target = root;
      readable = Platform::IsListableFolder(target);
    }
    ticket.deliver([this, root, target, readable] {
      if (readable) {
        Dir1->setPath(target);
        return;
      }
      // A volume gone or unreadable since the list was filled: say so and stay on the drive shown.
      Commands::ShowMessage(state_.openMessage,
                            QStringLiteral("Das Laufwerk ") + Platform::DisplayName(QDir::toNativeSeparators(root)) +
                                QStringLiteral(" kann nicht gelesen werden."),
                            Commands::StyleCritical, QString(), [alive = QPointer<frmDirSelect>(this)] {
                              if (alive) alive->Drive1->setDriveSilently(alive->Dir1->path());
                            });
    });
  });
}

void frmDirSelect::Dir1_Change() {
  // A folder that cannot be read shows no files rather than the previous folder's.
  File1->setPath(Dir1->path());
  // Walking across a mount point moves to another volume: the drive list follows.
  Drive1->setDriveSilently(Dir1->path());
  Drive1->noteOpenedFolder(Dir1->path());
  closeNameEntry();
}

void frmDirSelect::Command1_Click() {
  QString folder = Dir1->path();
  state_.PickerPath = Commands::AddBackslash(folder);
  state_.PickerOpen = false;
  chosen_ = state_.PickerPath;
  close();
}

void frmDirSelect::Command2_Click() {
  state_.PickerOpen = false;
  close();
}

void frmDirSelect::Command3_Click() {
  Text1->setText(NewFolderName);
  Text1->show();
  Command3->hide();
  Text1->setSelection(0, Text1->text().size());
  Text1->setFocus();
}

void frmDirSelect::Text1_KeyPress(qint16& KeyAscii) {
  if (KeyAscii == Commands::KeyEscape) closeNameEntry();
  if (KeyAscii == Commands::KeyEnter) {
    // The disk answers off the window's thread: an Enter that arrives meanwhile belongs to the creation under way.
    if (creating_) {
      KeyAscii = 0;
      return;
    }
    QString folder = Dir1->path();
    const QString path = Commands::AddBackslash(folder) + Text1->text();
    startLookup([this, path](const Jobs::Background::Ticket& ticket) {
      if (Commands::FolderExists(path)) {
        ticket.deliver([this, path] { takeCreated(Created::Exists, path); });
        return;
      }
      QString made = path;
      Commands::CreateFolderPath(made);
      // Success is judged by the folder being there, not by the creation's answer.
      const Created outcome = Commands::FolderExists(made) ? Created::Made : Created::Failed;
      ticket.deliver([this, outcome, made] { takeCreated(outcome, made); });
    });
    creating_ = true;
    return;
  }
  Commands::FilterKey(KeyAscii, Commands::FilterFolderName);
}

void frmDirSelect::takeCreated(Created outcome, const QString& path) {
  creating_ = false;
  // The name entry takes the focus back once the box is closed; the picker may be gone by then.
  const QPointer<frmDirSelect> alive(this);
  switch (outcome) {
    case Created::Exists:
      Commands::ShowMessage(state_.openMessage, QStringLiteral("Ein Ordner mit diesem Namen existiert bereits."),
                            Commands::StyleInformation, QString(), [alive] {
                              if (!alive) return;
                              alive->Text1->setCursorPosition(alive->Text1->text().size());
                              alive->Text1->setFocus();
                            });
      return;
    case Created::Failed:
      Commands::ShowMessage(state_.openMessage,
                            QStringLiteral("Der Ordner konnte nicht angelegt werden. ") + QStringLiteral("\r\n") +
                                QStringLiteral("Datenträger ist möglicherweise schreibgeschützt.  "),
                            Commands::StyleCritical, QString(), [alive] {
                              if (alive) alive->Text1->setFocus();
                            });
      return;
    case Created::Made:
      Dir1->refresh();
      Dir1->setPath(path);
      Text1->hide();
      Command3->show();
      Command1->setFocus();
      return;
  }
}

void frmDirSelect::closeNameEntry() {
  // Opening a folder or giving up the name is the newest action: an answer still awaited no longer applies.
  lookup_.cancel();
  creating_ = false;
  Text1->hide();
  Command3->show();
  dummy->setFocus();
}

bool frmDirSelect::eventFilter(QObject* watched, QEvent* event) {
  if (watched == Text1 && event->type() == QEvent::KeyPress) {
    const std::optional<qint16> code = Commands::KeyCode(*static_cast<QKeyEvent*>(event));
    if (!code) return false;
    qint16 key = *code;
    const QPointer<frmDirSelect> alive(this);
    Text1_KeyPress(key);
    // A cancelled key never reaches the text box; so does none once the picker is gone.
    return key == 0 || !alive;
  }
  return QWidget::eventFilter(watched, event);
}
