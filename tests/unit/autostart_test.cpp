// SPDX-License-Identifier: GPL-3.0-or-later
#include "platform/autostart.h"

#include <gtest/gtest.h>

#include <QFile>
#include <QProcess>
#include <QTemporaryDir>
#include <QThread>

#include "platform/file_name.h"
#include "platform/folder_create.h"

using namespace Qt::StringLiterals;

namespace {

// The Exec line must give a launcher back the same path, whatever the folder is called: desktop-file-validate
// judges each entry by the rules, and GLib's launcher (gio launch) must start that very program, which leaves a
// mark beside itself. A path no entry can name is refused. Removing and the switch itself are checked on the
// packaged program (package_check).
TEST(Autostart, ExecNamesTheProgramWhateverItsPath) {
  QTemporaryDir dir;
  qputenv("XDG_CONFIG_HOME", dir.filePath(u"config"_s).toLocal8Bit());
  struct Case {
    const char* name;
    QString program, exec;  // "@" stands for the temporary folder; no exec: refused
  };
  const QString sh = u"/bin/sh -c \"exec \\\\\"\\\\$0\\\\\"\" "_s;
  const Case cases[] = {
      {"plain", u"/lib/foldwarn"_s, u"@/lib/foldwarn"_s},
      {"blank", u"/Meine Programme/foldwarn"_s, u"\"@/Meine Programme/foldwarn\""_s},
      {"percent", u"/100%/foldwarn"_s, sh + u"@/100%%/foldwarn"_s},
      {"percent and blank", u"/50% Rabatt/foldwarn"_s, sh + u"\"@/50%% Rabatt/foldwarn\""_s},
      {"dollar", u"/$HOME/foldwarn"_s, u"\"@/\\\\$HOME/foldwarn\""_s},
      {"backslash", u"/a\\b/foldwarn"_s, u"\"@/a\\\\\\\\b/foldwarn\""_s},
      {"double quote", u"/\"q\"/foldwarn"_s, u"\"@/\\\\\"q\\\\\"/foldwarn\""_s},
      {"single quote", u"/it's/foldwarn"_s, u"\"@/it's/foldwarn\""_s},
      {"backtick", u"/`x`/foldwarn"_s, u"\"@/\\\\`x\\\\`/foldwarn\""_s},
      {"umlaut", u"/jürgen/foldwarn"_s, u"@/jürgen/foldwarn"_s},
      {"equals and comma", u"/a=b,c/foldwarn"_s, u"@/a=b,c/foldwarn"_s},
      {"Latin-1 byte", u"/j"_s + Platform::DecodeName("\xfc") + u"rgen/foldwarn"_s, QString()},
  };
  for (const Case& c : cases) {
    const QString program = dir.path() + c.program;
    ASSERT_TRUE(Platform::MakeFolders(program.left(program.lastIndexOf(u'/')))) << c.name;
    QString error;
    const bool written = Platform::SetAutostart(true, program, &error);
    if (c.exec.isEmpty()) {
      EXPECT_FALSE(written) << c.name;
      EXPECT_TRUE(error.contains(u"UTF-8"_s)) << c.name << ": " << error.toStdString();
      continue;
    }
    ASSERT_TRUE(written) << c.name << ": " << error.toStdString();
    QFile entry(Platform::AutostartEntryFile());
    ASSERT_TRUE(entry.open(QIODevice::ReadOnly)) << c.name;
    const QString text = QString::fromUtf8(entry.readAll());
    const QString exec = QString(c.exec).replace(u'@', dir.path());
    EXPECT_TRUE(text.contains(u"\nExec="_s + exec + u'\n')) << c.name << ":\n" << text.toStdString();
    EXPECT_TRUE(text.contains(u"\nTryExec="_s)) << c.name;
    QProcess validate;
    validate.start(u"desktop-file-validate"_s, {entry.fileName()});
    ASSERT_TRUE(validate.waitForFinished(30000));
    EXPECT_EQ(validate.exitCode(), 0) << c.name << ": " << validate.readAllStandardOutput().toStdString();

    QFile file(program);
    ASSERT_TRUE(file.open(QIODevice::WriteOnly)) << c.name;
    file.write("#!/bin/sh\n: >\"$0.started\"\n");
    file.close();
    file.setPermissions(QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
    QProcess launch;
    launch.start(u"gio"_s, {u"launch"_s, entry.fileName()});
    ASSERT_TRUE(launch.waitForFinished(30000));
    EXPECT_EQ(launch.exitCode(), 0) << c.name << ": " << launch.readAllStandardError().toStdString();
    // The launcher does not wait for the program; 30 s at most.
    for (int i = 0; i < 300 && !QFile::exists(program + u".started"_s); ++i) QThread::msleep(100);
    EXPECT_TRUE(QFile::exists(program + u".started"_s)) << c.name << ": gio launch did not start the program";
  }
  qunsetenv("XDG_CONFIG_HOME");
}

}  // namespace
