// SPDX-License-Identifier: GPL-3.0-or-later
#include "startup/command_line.h"

#include <fcntl.h>
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <QDir>
#include <QTemporaryDir>

#include "platform/file_name.h"

namespace {

// Run in a folder holding the folders "M\xe4rz" and "-dash" and a file. A wrong argument ends the program before
// any window: one line naming it, then the usage, on standard error.
TEST(CommandLine, AFolderOrOneLineSayingWhatIsWrong) {
  struct Case {
    const char* name;
    std::vector<const char*> args;
    std::optional<int> exitCode;
    std::string named;  // the folder to watch, in the working folder, or what the complaint names
  };
  const Case cases[] = {
      {"UnknownOption", {"--bogus"}, 2, "--bogus"},
      {"MalformedValue", {"--autostart=yes"}, 2, "yes"},
      {"ValueAfterEquals", {"--autostart=off"}, 0, ""},
      {"Folder", {"./M\xe4rz"}, std::nullopt, "M\xe4rz/"},
      {"FolderAfterQtsAndTheLastOption", {"-session", "1a2b", "--", "-dash"}, std::nullopt, "-dash/"},
      {"TwoFolders", {"M\xe4rz", "-dash"}, 2, "-dash"},
      {"File", {"file"}, 2, "file"},
  };
  QTemporaryDir dir;
  ASSERT_TRUE(QDir::setCurrent(dir.path()));
  const std::string root = dir.path().toStdString() + '/';
  for (const char* name : {"M\xe4rz", "-dash"}) ASSERT_EQ(::mkdir(name, 0700), 0);
  ASSERT_EQ(::close(::creat("file", 0600)), 0);
  qputenv("XDG_CONFIG_HOME", dir.path().toLocal8Bit());
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    std::vector<const char*> argv{"foldwarn"};
    argv.insert(argv.end(), c.args.begin(), c.args.end());
    testing::internal::CaptureStderr();
    const Commands::CommandLine line = Commands::ReadCommandLine(int(argv.size()), argv.data());
    const std::string errors = testing::internal::GetCapturedStderr();
    EXPECT_EQ(line.exitCode, c.exitCode);
    if (c.exitCode == 2) {
      EXPECT_LT(errors.find(c.named), errors.find('\n')) << errors;
      EXPECT_EQ(errors.find("\nAufruf: foldwarn ["), errors.find('\n')) << errors;
      EXPECT_EQ(std::count(errors.begin(), errors.end(), '\n'), 2) << errors;
    } else {
      EXPECT_EQ(errors + Platform::EncodeName(line.folder).value_or("").toStdString(),
                c.named.empty() ? "" : root + c.named);
    }
  }
  ::rmdir("M\xe4rz");  // QTemporaryDir cannot remove a name that is not UTF-8
}

}  // namespace
