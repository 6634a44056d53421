// SPDX-License-Identifier: GPL-3.0-or-later
#include "form1.h"

#include <QCloseEvent>
#include <QDir>
#include <QGroupBox>
#include <QGuiApplication>
#include <QIcon>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QScopeGuard>
#include <QScrollBar>
#include <QSessionManager>
#include <QTimer>

#include "commands/commands.h"
#include "commands/dialog_font.h"
#include "commands/interval_text.h"
#include "commands/resume_next.h"
#include "commands/run_mode.h"
#include "commands/settings.h"
#include "commands/twips.h"
#include "commands/window_placement.h"
#include "controls/file_list_box.h"
#include "controls/h_scroll_bar.h"
#include "forms/accessibility.h"
#include "forms/frm_dir_select.h"
#include "forms/make_control.h"
#include "platform/file_name.h"
#include "sound/sound.h"
#include "watch/folder_watch.h"

using namespace Qt::StringLiterals;

namespace {

// The label above the path names the interval in words.
QString IntervalCaption(int seconds) {
  if (seconds == 60) return u"Folgender Pfad wird jede Minute auf neue Dateien überprüft:"_s;
  if (seconds == 1) return u"Folgender Pfad wird jede Sekunde auf neue Dateien überprüft:"_s;
  return u"Folgender Pfad wird alle "_s + QString::number(seconds) + u" Sekunden auf neue Dateien überprüft:"_s;
}

// Names in German for screen readers, from what the window shows; descriptions say what a control does.
void NameControls(Form1& form) {
  form.Label1->setBuddy(form.Text1);  // the path field is named by the label above it
  form.Text1->setAccessibleDescription(u"Der überwachte Ordner. „Durchsuchen“ wählt einen anderen."_s);
  form.Command1->setAccessibleDescription(u"Öffnet die Auswahl des zu überwachenden Ordners."_s);
  form.HScroll1->setAccessibleName(u"Intervall in Sekunden"_s);
  // The interval label's new text reaches the screen reader as the focused scroll bar's description.
  const auto describeInterval = [bar = form.HScroll1] { bar->setAccessibleDescription(IntervalCaption(bar->value())); };
  describeInterval();
  QObject::connect(form.HScroll1, &QScrollBar::valueChanged, form.HScroll1, describeInterval);
  form.File2->setAccessibleName(u"Signalton 'Neue Datei'"_s);
  form.File2->setAccessibleDescription(
      u"Erklingt, wenn im Ordner eine Datei hinzukommt. Der gewählte Ton wird gleich vorgespielt."_s);
  form.File3->setAccessibleName(u"Signalton 'Datei entfernt'"_s);
  form.File3->setAccessibleDescription(
      u"Erklingt, wenn aus dem Ordner eine Datei verschwindet. Der gewählte Ton wird gleich vorgespielt."_s);
  Forms::PressOnEnter(form.Command1);
  Forms::ParkFocusOutOfSight(form.dummy);
}

}  // namespace

using Commands::ResumeNext;
using Forms::MakeControl;

Form1::Form1(Commands::ProgramState state, QWidget* parent) : QWidget(parent), state_(std::move(state)) {
  setObjectName(u"Form1"_s);
  setWindowTitle(u"Foldwarn"_s);
  setWindowIcon(QIcon(u":/foldwarn.png"_s));
  setFont(Commands::DialogFont());
  resize(Px(5715), Px(3960));

  Frame1 = MakeControl<QGroupBox>(this, "Frame1", TwipRect(120, 1020, 5475, 2835), u"Signaltöne:"_s);
  File3 = MakeControl<Controls::FileListBox>(Frame1, "File3", TwipRect(2760, 435, 2535, 2235));
  File3->setPattern(u"*.wav"_s);
  File2 = MakeControl<Controls::FileListBox>(Frame1, "File2", TwipRect(180, 435, 2535, 2235));
  File2->setPattern(u"*.wav"_s);
  // Two quoted headings, the second one above the right-hand list.
  Label2 = MakeControl<QLabel>(Frame1, "Label2", TwipRect(180, 240, 5055, 195),
                               u"'Neue Datei'"_s + QString(38, u' ') + u"'Datei entfernt'"_s);
  // Takes the focus out of sight: below the client area, yet visible and enabled.
  dummy = MakeControl<QLineEdit>(this, "dummy", TwipRect(2820, 4500, 315, 285));
  HScroll1 = MakeControl<Controls::HScrollBar>(this, "HScroll1", TwipRect(2640, 660, 2955, 255));
  HScroll1->setRange(1, 60);
  HScroll1->setSingleStep(1);
  HScroll1->setPageStep(10);
  HScroll1->setValue(60);
  HScroll1->setFocusPolicy(Qt::StrongFocus);
  // The hidden counting list of the design. It stays empty: the count runs on the watch's own thread, so that a
  // slow folder never holds up the window.
  File1 = MakeControl<Controls::FileListBox>(this, "File1", TwipRect(660, 4320, 1995, 480));
  File1->setHidden(true);
  Command1 = MakeControl<QPushButton>(this, "Command1", TwipRect(120, 660, 1635, 255), u"Durchsuchen"_s);
  Command1->setAutoDefault(false);
  Text1 = MakeControl<QLineEdit>(this, "Text1", TwipRect(120, 300, 5475, 285));
  Text1->setReadOnly(true);
  Timer1 = new QTimer(this);
  Timer1->setObjectName(u"Timer1"_s);
  Timer1->setInterval(1000);
  Label3 = MakeControl<QLabel>(this, "Label3", TwipRect(1800, 660, 795, 255), u"Intervall:"_s);
  Label3->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
  Label1 = MakeControl<QLabel>(this, "Label1", TwipRect(120, 60, 5295, 255), IntervalCaption(HScroll1->value()));

  Text1->setFocus();  // the first stop of the tab order holds the focus when the window appears
  setTabOrder(Text1, Command1);
  setTabOrder(Command1, HScroll1);
  setTabOrder(HScroll1, dummy);
  setTabOrder(dummy, File2);
  setTabOrder(File2, File3);
  NameControls(*this);

  watch_ = new Watch::FolderWatch(this);
  connect(watch_, &Watch::FolderWatch::answered, this, &Form1::takeAnswer);
  connect(Timer1, &QTimer::timeout, this, &Form1::Timer1_Timer);
  connect(Command1, &QPushButton::clicked, this, &Form1::Command1_Click);
  connect(HScroll1, &QScrollBar::valueChanged, this, &Form1::HScroll1_Change);
  connect(HScroll1, &QScrollBar::sliderMoved, this, &Form1::HScroll1_Scroll);
  // Mouse, arrow keys and selection from code all change the selection.
  connect(File2, &QListWidget::itemSelectionChanged, this, &Form1::File2_Click);
  connect(File3, &QListWidget::itemSelectionChanged, this, &Form1::File3_Click);
  // A logout saves like closing does. The session ends the program itself; ending it here would also end it
  // at a mere checkpoint of the session.
  connect(qApp, &QGuiApplication::commitDataRequest, this, [this](QSessionManager&) { saveSettings(); });
}

// The picker works with this window's state: it goes with the window.
Form1::~Form1() { delete picker_; }

void Form1::showEvent(QShowEvent* event) {
  // Loading happens once, at the first showing, before the window is on screen.
  if (!loaded_) {
    loaded_ = true;
    Form_Load();
  }
  QWidget::showEvent(event);
}

void Form1::closeEvent(QCloseEvent* event) {
  Form_Unload();
  event->accept();
}

void Form1::Form_Load() {
  ResumeNext([&] {
    Commands::CenterForm(this);
    setWindowTitle(state_.SettingsSection);
  });
}

void Form1::Form_Unload() {
  saveSettings();
  ResumeNext([&] { state_.endProgram(0); });
}

void Form1::saveSettings() {
  Commands::Settings settings;
  ResumeNext([&] { settings.watchedPath = watchedPath(); });
  if (held_) {
    settings.interval = held_->interval;
    settings.addSound = held_->addSound;
    settings.removeSound = held_->removeSound;
  } else {
    ResumeNext([&] { settings.interval = QString::number(HScroll1->value()); });
    ResumeNext([&] { settings.addSound = File2->selectedFileName(); });
    ResumeNext([&] { settings.removeSound = File3->selectedFileName(); });
  }
  Commands::WriteSettings(state_.SettingsFile, settings);
}

void Form1::Timer1_Timer() {
  ResumeNext([&] {
    ++TickCounter;
    // At least, not equal: a lowered interval checks at the very next tick.
    const bool due = TickCounter >= HScroll1->value();
    if (due) TickCounter = 0;
    // A check still running skips this one rather than queue behind it.
    if (due || !haveBase_) watch_->startCheck();
  });
}

void Form1::takeAnswer(const Watch::Answer& answer) {
  ResumeNext([&] {
    answered_ = true;
    if (startTimerWhenAnswered_) {
      startTimerWhenAnswered_ = false;
      Timer1->start();
    }
    // A folder that cannot be read now (deleted, unmounted) skips the check; the watch resumes once it can.
    if (!answer.count) return;
    const qint64 count = *answer.count;
    if (!haveBase_) {
      // The first count of a folder is the starting point: no tone.
      haveBase_ = true;
      state_.LastFileCount = count;
      return;
    }
    if (count > state_.LastFileCount) {
      Sound::PlaySoundFile(state_.AddSoundFile);
      state_.LastFileCount = count;
    }
    if (count < state_.LastFileCount) {
      Sound::PlaySoundFile(state_.RemoveSoundFile);
      state_.LastFileCount = count;
    }
  });
}

void Form1::watchFolder(const QString& folder) {
  watch_->setFolder(QDir::cleanPath(folder));
  haveBase_ = false;
  answered_ = false;
  watch_->startCheck();
}

void Form1::applySettings(const Commands::Settings& stored, std::function<StoredTones()> lookUp) {
  held_ = stored;
  // Only an empty stored folder gives way to the default one (reading the settings saw to that). Any other is
  // shown and watched as stored, from the moment it can be read: a share mounted after login is heard once it is.
  ResumeNext([&] { showWatchedPath(stored.watchedPath); });
  ResumeNext([&] { watchFolder(watchedPath()); });
  for (Controls::FileListBox* list : {File2, File3}) ResumeNext([&] { list->setExtraFolder(state_.userToneFolder); });
  settingsLookup_.start([this, lookUp = std::move(lookUp)](const Jobs::Background::Ticket& ticket) {
    auto tones = std::make_shared<StoredTones>(lookUp());
    ticket.deliver([this, tones] { applyTones(*tones); });
  });
}

void Form1::applyTones(const StoredTones& tones) {
  // Both tone lists show the program folder's wave files, and the user's own when installed.
  for (Controls::FileListBox* list : {File2, File3}) {
    ResumeNext([&] {
      if (tones.names) list->showNames(state_.AppFolder, *tones.names);
    });
  }
  // Selecting the stored tones must not count as the user's choice: no preview, the tones kept as looked up.
  state_.StartupFilling = true;
  ResumeNext([&] {
    if (tones.add.row >= 0) File2->setCurrentRow(tones.add.row);
  });
  ResumeNext([&] {
    if (tones.remove.row >= 0) File3->setCurrentRow(tones.remove.row);
  });
  // Each tone was resolved to its file off the window's thread, once: playing it later looks nowhere.
  state_.AddSoundFile = tones.add.file;
  state_.RemoveSoundFile = tones.remove.file;
  state_.StartupFilling = false;

  // A change of value updates the label through the scroll bar's change handling.
  ResumeNext([&] {
    if (const std::optional<qint16> seconds = Commands::IntervalFromText(held_->interval)) HScroll1->setValue(*seconds);
  });
  // Everything stored is in the window now: a close from here on saves what it shows.
  held_.reset();
  // Last of all the checks start, once the first count is in.
  startTimerWhenAnswered();
}

void Form1::startTimerWhenAnswered() {
  if (answered_) {
    Timer1->start();
  } else {
    startTimerWhenAnswered_ = true;
  }
}

void Form1::HScroll1_Change() {
  ResumeNext([&] { Label1->setText(IntervalCaption(HScroll1->value())); });
}

void Form1::HScroll1_Scroll() { HScroll1_Change(); }

// A tone picked in a list becomes the tone and is heard as a preview. With nothing selected the name cannot be
// read, and the tone stays what it was.
void Form1::pickTone(const Controls::FileListBox* list, QString Commands::ProgramState::*tone,
                     Jobs::Background& lookup) {
  if (state_.StartupFilling) return;
  QString name;
  ResumeNext([&] { name = list->selectedFileName(); });
  // Portable, a bare name means the program folder's file without a look at the disk; the user's own tone folder
  // (on a network home, perhaps) is asked off the window's thread, and the newest pick wins.
  const QString userToneFolder = list->extraFolder();
  if (name.isEmpty() || userToneFolder.isEmpty()) {
    ResumeNext([&] {
      if (!name.isEmpty()) state_.*tone = Commands::ToneFile(name, state_.AppFolder, userToneFolder);
    });
    ResumeNext([&] { Sound::PlaySoundFile(state_.*tone); });
    return;
  }
  lookup.start(
      [this, name, programFolder = state_.AppFolder, userToneFolder, tone](const Jobs::Background::Ticket& ticket) {
        const QString file = Commands::ToneFile(name, programFolder, userToneFolder);
        ticket.deliver([this, file, tone] {
          state_.*tone = file;
          ResumeNext([&] { Sound::PlaySoundFile(state_.*tone); });
        });
      });
}

void Form1::File2_Click() { pickTone(File2, &Commands::ProgramState::AddSoundFile, addToneLookup_); }

void Form1::File3_Click() { pickTone(File3, &Commands::ProgramState::RemoveSoundFile, removeToneLookup_); }

void Form1::Command1_Click() {
  // The picker lets events run while it is made: a press meanwhile finds no picker yet and must not make a
  // second one.
  if (buildingPicker_) return;
  ResumeNext([&] {
    state_.PickerOpen = true;
    state_.PickerPath = watchedPath();
    state_.PickerCaption = u"Zu überwachenden Pfad auswählen"_s;
  });
  ResumeNext([&] {
    // One picker at a time: pressing again while it is open shows the open one once more.
    if (!picker_) {
      buildingPicker_ = true;
      const auto built = qScopeGuard([this] { buildingPicker_ = false; });
      picker_ = new frmDirSelect(state_);
      connect(picker_, &frmDirSelect::closed, this, &Form1::pickerClosed);
    }
    picker_->show();
    picker_->raise();
    picker_->activateWindow();
  });
}

void Form1::pickerClosed(const QString& chosen) {
  // A closed picker is gone even before its deferred deletion: the next press makes a new one.
  picker_ = nullptr;
  if (chosen.isEmpty()) {
    ResumeNext([&] { dummy->setFocus(); });
    return;
  }
  applyPickedFolder(chosen);
}

void Form1::applyPickedFolder(const QString& folder) {
  ResumeNext([&] { showWatchedPath(folder); });
  ResumeNext([&] { dummy->setFocus(); });
  ResumeNext([&] { watchChosenFolder(folder); });
}

void Form1::showWatchedPath(const QString& path) {
  shownPath_ = path;
  Text1->setText(Platform::DisplayName(path));
}

QString Form1::watchedPath() const {
  // Text put into Text1 by other means is taken as it stands.
  const QString shown = Text1->text();
  return Platform::DisplayName(shownPath_) == shown ? shownPath_ : shown;
}

void Form1::watchChosenFolder(const QString& folder) {
  // The folder already watched goes on from its count.
  if (folder.isEmpty() || QDir::cleanPath(folder) == watch_->folder()) return;
  // Shown and saved at once; watched from the moment it can be read. The switch itself plays no tone.
  watchFolder(folder);
}
