// SPDX-License-Identifier: GPL-3.0-or-later
#include "startup/command_line.h"

#include <fcntl.h>
#include <gtest/gtest.h>
#include <unistd.h>

#include <QTemporaryDir>

#include "platform/file_name.h"

namespace {

// A wrong argument ends the program before any window, with one line naming it and the usage on standard error.
TEST(CommandLine, AFolderOrOneLineSayingWhatIsWrong) {
  const struct {
    const char* name;
    std::vector<const char*> argv;
    std::optional<int> exitCode;
    std::string named;  // the folder to watch, in the working folder, or what the complaint names
  } cases[] = {
      {"UnknownOption", {"foldwarn", "--bogus"}, 2, "--bogus"},
      {"MalformedValue", {"foldwarn", "--autostart=yes"}, 2, "yes"},
      {"FolderAfterAQtOption", {"foldwarn", "-session", "1a2b", "./M\xe4rz"}, std::nullopt, "M\xe4rz/"},
      {"TwoFolders", {"foldwarn", "M\xe4rz", "M\xe4rz"}, 2, "M\xe4rz"},
      {"File", {"foldwarn", "file"}, 2, "file"},
  };
  QTemporaryDir dir;
  ASSERT_TRUE(::chdir(dir.path().toLocal8Bit()) == 0 && ::mkdir("M\xe4rz", 0700) == 0 && ::creat("file", 0600) >= 0);
  for (const auto& c : cases) {
    testing::internal::CaptureStderr();
    const Commands::CommandLine line = Commands::ReadCommandLine(int(c.argv.size()), c.argv.data());
    const std::string errors = testing::internal::GetCapturedStderr();
    const std::size_t lineEnd = errors.find('\n');
    EXPECT_EQ(line.exitCode, c.exitCode) << c.name;
    if (c.exitCode) {
      EXPECT_TRUE(errors.find(c.named) < lineEnd && errors.find("\nAufruf: foldwarn [") == lineEnd &&
                  std::count(errors.begin(), errors.end(), '\n') == 2)
          << c.name << ": " << errors;
    } else {
      EXPECT_EQ(errors + Platform::EncodeName(line.folder).value_or("").toStdString(),
                dir.path().toStdString() + '/' + c.named)
          << c.name;
    }
  }
  ::rmdir("M\xe4rz");  // QTemporaryDir cannot remove a name that is not UTF-8
}

}  // namespace
