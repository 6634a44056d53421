// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

// Shared set-up for the folder picker's widget tests: a small folder tree, the message boxes answered by the
// test, the state it shares with the main window fresh, and the current folder put back afterwards.
#include <gtest/gtest.h>

#include <QApplication>
#include <QDir>
#include <QFile>
#include <QLineEdit>
#include <QPointer>
#include <QPushButton>
#include <QTemporaryDir>
#include <QTest>

#include "commands/message_box.h"
#include "commands/program_state.h"
#include "controls/dir_list_box.h"
#include "controls/drive_list_box.h"
#include "controls/file_list_view.h"
#include "forms/frm_dir_select.h"
#include "support/qt_printers.h"

class PickerTest : public ::testing::Test {
 protected:
  QTemporaryDir tree;
  QString savedCurrent = QDir::currentPath();
  QList<Messages::Request> shown;
  QPointer<frmDirSelect> picker;
  Commands::ProgramState state;

  void SetUp() override {
    ASSERT_TRUE(tree.isValid());
    for (const char* folder : {"work/alpha/inner", "work/Beta", "work/.hidden", "other"})
      ASSERT_TRUE(QDir(tree.path()).mkpath(QLatin1String(folder)));
    for (const char* file : {"work/notes.txt", "work/b.wav", "work/alpha/inside.txt"}) {
      QFile f(at(QLatin1String(file)));
      ASSERT_TRUE(f.open(QIODevice::WriteOnly));
    }
    state.openMessage = [this](const Messages::Request& request, const Messages::Answered& answered) {
      shown.append(request);
      answered(QMessageBox::Ok);
    };
  }

  void TearDown() override {
    if (picker) picker->close();
    settle();
    QDir::setCurrent(savedCurrent);
  }

  QString at(const QString& relative) const { return QDir::cleanPath(tree.filePath(relative)); }

  // Opens the picker the way the main window does.
  frmDirSelect* open(const QString& path, const QString& caption = QStringLiteral("Zu überwachenden Pfad auswählen")) {
    state.PickerOpen = true;
    state.PickerPath = path;
    state.PickerCaption = caption;
    picker = new frmDirSelect(state);
    picker->show();
    EXPECT_TRUE(QTest::qWaitForWindowActive(picker));
    return picker;
  }

  // Lets a closed picker delete itself.
  static void settle() { QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete); }

  template <class T>
  T* child(const char* name) const {
    T* found = picker ? picker->findChild<T*>(QLatin1String(name)) : nullptr;
    EXPECT_NE(found, nullptr) << name;
    return found;
  }
  Controls::DirListBox* dir() const { return child<Controls::DirListBox>("Dir1"); }
  Controls::FileListView* files() const { return child<Controls::FileListView>("File1"); }
  Controls::DriveListBox* drives() const { return child<Controls::DriveListBox>("Drive1"); }
  QLineEdit* entry() const { return child<QLineEdit>("Text1"); }
  QPushButton* button(const char* name) const { return child<QPushButton>(name); }
  QString focused() const {
    return QApplication::focusWidget() ? QApplication::focusWidget()->objectName() : QString();
  }

  // The lists read their folders on threads of their own: rows are looked up once they have arrived.
  int rowOf(const QString& folder) const {
    EXPECT_TRUE(QTest::qWaitFor([this] { return !dir()->isFilling(); }));
    for (int row = 0; row < dir()->count(); ++row)
      if (dir()->entryPath(row) == folder) return row;
    return -1;
  }
  void doubleClick(const QString& folder) {
    const int row = rowOf(folder);
    ASSERT_GE(row, 0) << folder;
    QListWidgetItem* item = dir()->item(row);
    dir()->scrollToItem(item);
    // A real double-click starts with a press; QTest's double-click event alone has none.
    const QPoint point = dir()->visualItemRect(item).center();
    QTest::mouseClick(dir()->viewport(), Qt::LeftButton, {}, point);
    QTest::mouseDClick(dir()->viewport(), Qt::LeftButton, {}, point);
  }
  void click(const QString& folder) {
    const int row = rowOf(folder);
    ASSERT_GE(row, 0) << folder;
    QListWidgetItem* item = dir()->item(row);
    dir()->scrollToItem(item);
    QTest::mouseClick(dir()->viewport(), Qt::LeftButton, {}, dir()->visualItemRect(item).center());
  }
  QStringList fileNames() const {
    EXPECT_TRUE(QTest::qWaitFor([this] { return !files()->isFilling(); }));
    QStringList names;
    for (int i = 0; i < files()->listCount(); ++i) names << files()->fileName(i);
    return names;
  }
  QStringList entriesOf(const QString& folder) const {
    return QDir(folder).entryList(QDir::AllEntries | QDir::Hidden | QDir::NoDotAndDotDot, QDir::Name);
  }
};
