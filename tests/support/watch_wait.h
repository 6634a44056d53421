// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QTest>

#include "forms/form1.h"
#include "watch/folder_watch.h"

// The main window counts on a thread of its own: waits until the count it asked for has been taken.
inline bool WaitForWatch(const Form1& form) {
  return QTest::qWaitFor([&] { return !form.folderWatch()->busy(); }, 10000);
}
