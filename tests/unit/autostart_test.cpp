// SPDX-License-Identifier: GPL-3.0-or-later
#include "platform/autostart.h"

#include <gtest/gtest.h>

#include <QFile>
#include <QProcess>
#include <QTemporaryDir>

using namespace Qt::StringLiterals;

namespace {

// The Exec line must give a launcher back the same path, whatever the folder is called; desktop-file-validate
// judges each entry as a session would read it. Writing, removing and the switch itself are checked on the
// packaged program (package_check).
TEST(Autostart, ExecNamesTheProgramWhateverItsPath) {
  QTemporaryDir dir;
  qputenv("XDG_CONFIG_HOME", dir.path().toLocal8Bit());
  struct Case {
    const char* name;
    QString program, exec;
  };
  const Case cases[] = {
      {"plain", u"/usr/lib/foldwarn/foldwarn"_s, u"/usr/lib/foldwarn/foldwarn"_s},
      {"blank", u"/home/anna/Meine Programme/foldwarn"_s, u"\"/home/anna/Meine Programme/foldwarn\""_s},
      {"percent", u"/opt/100%/foldwarn"_s, u"/opt/100%%/foldwarn"_s},
      {"dollar", u"/opt/$HOME/foldwarn"_s, u"\"/opt/\\\\$HOME/foldwarn\""_s},
      {"backslash", u"/opt/a\\b/foldwarn"_s, u"\"/opt/a\\\\\\\\b/foldwarn\""_s},
      {"double quote", u"/opt/\"q\"/foldwarn"_s, u"\"/opt/\\\\\"q\\\\\"/foldwarn\""_s},
      {"single quote", u"/opt/it's/foldwarn"_s, u"\"/opt/it's/foldwarn\""_s},
      {"backtick", u"/opt/`x`/foldwarn"_s, u"\"/opt/\\\\`x\\\\`/foldwarn\""_s},
      {"umlaut", u"/home/jürgen/foldwarn"_s, u"/home/jürgen/foldwarn"_s},
      {"equals and comma", u"/opt/a=b,c/foldwarn"_s, u"/opt/a=b,c/foldwarn"_s},
  };
  for (const Case& c : cases) {
    QString error;
    ASSERT_TRUE(Platform::SetAutostart(true, c.program, &error)) << c.name << ": " << error.toStdString();
    QFile entry(Platform::AutostartEntryFile());
    ASSERT_TRUE(entry.open(QIODevice::ReadOnly)) << c.name;
    const QString text = QString::fromUtf8(entry.readAll());
    EXPECT_TRUE(text.contains(u"\nExec="_s + c.exec + u'\n')) << c.name << ":\n" << text.toStdString();
    QProcess validate;
    validate.start(u"desktop-file-validate"_s, {entry.fileName()});
    ASSERT_TRUE(validate.waitForFinished(30000));
    EXPECT_EQ(validate.exitCode(), 0) << c.name << ": " << validate.readAllStandardOutput().toStdString();
  }
  qunsetenv("XDG_CONFIG_HOME");
}

}  // namespace
