// SPDX-License-Identifier: GPL-3.0-or-later
#include "startup/command_line.h"

#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <QDir>
#include <QTemporaryDir>
#include <algorithm>
#include <string>
#include <vector>

#include "platform/file_name.h"
#include "support/files.h"

using namespace Qt::StringLiterals;

namespace {

// "@" in an argument stands for the test's folder, which is also the working folder. A wrong argument ends the
// program before any window, with one line naming it and the usage on standard error.
TEST(CommandLine, AFolderOrOneLineSayingWhatIsWrong) {
  struct Case {
    const char* name;
    std::vector<std::string> args;
    std::optional<int> exitCode;
    std::string folder;  // the bytes of the folder to watch, or the argument the complaint names
  };
  const Case cases[] = {
      {"UnknownOption", {"--bogus"}, 2, "--bogus"},
      {"MalformedValue", {"--autostart", "yes"}, 2, "yes"},
      {"MalformedValueAfterEquals", {"--autostart=yes"}, 2, "yes"},
      {"ValueForASwitch", {"--help=all"}, 2, "--help=all"},
      {"ValueAfterEquals", {"--autostart=off"}, 0, ""},
      {"Folder", {"@/watched"}, std::nullopt, "@/watched/"},
      {"RelativeFolder", {"watched/../watched/"}, std::nullopt, "@/watched/"},
      {"FolderNamedInLatin1", {"@/M\xe4rz"}, std::nullopt, "@/M\xe4rz/"},
      {"FolderNamedLikeAnOption", {"--", "-dash"}, std::nullopt, "@/-dash/"},
      {"SessionManagersOption", {"-session", "1a2b", "@/watched"}, std::nullopt, "@/watched/"},
      {"TwoFolders", {"@/watched", "@/-dash"}, 2, "@/-dash"},
      {"File", {"@/file"}, 2, "@/file"},
      {"Missing", {"@/missing"}, 2, "@/missing"},
      {"FolderWithAutostart", {"--autostart", "off", "@/watched"}, 2, "@/watched"},
  };
  QTemporaryDir dir;
  const std::string root = dir.path().toStdString();
  for (const char* folder : {"/watched", "/M\xe4rz", "/-dash"}) ASSERT_EQ(::mkdir((root + folder).c_str(), 0700), 0);
  Touch(dir.filePath(u"file"_s));
  qputenv("XDG_CONFIG_HOME", dir.filePath(u"config"_s).toLocal8Bit());
  const QString savedFolder = QDir::currentPath();
  ASSERT_TRUE(QDir::setCurrent(dir.path()));
  const auto expand = [&](std::string text) {
    if (text.starts_with('@')) text.replace(0, 1, root);
    return text;
  };

  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    std::vector<std::string> args{"foldwarn"};
    for (const std::string& arg : c.args) args.push_back(expand(arg));
    std::vector<const char*> argv;
    for (const std::string& arg : args) argv.push_back(arg.c_str());
    testing::internal::CaptureStderr();
    const Commands::CommandLine line = Commands::ReadCommandLine(int(argv.size()), argv.data());
    const std::string errors = testing::internal::GetCapturedStderr();
    EXPECT_EQ(line.exitCode, c.exitCode);
    if (c.exitCode == 2) {
      EXPECT_TRUE(line.folder.isEmpty());
      const std::size_t firstLineEnd = errors.find('\n');
      ASSERT_NE(firstLineEnd, std::string::npos) << errors;
      EXPECT_NE(errors.substr(0, firstLineEnd).find(expand(c.folder)), std::string::npos) << errors;
      EXPECT_TRUE(errors.substr(firstLineEnd + 1).starts_with("Aufruf: foldwarn")) << errors;
      EXPECT_EQ(std::count(errors.begin(), errors.end(), '\n'), 2) << errors;
    } else {
      EXPECT_EQ(errors, "");
      EXPECT_EQ(Platform::EncodeName(line.folder).value_or("").toStdString(), expand(c.folder));
    }
  }
  QDir::setCurrent(savedFolder);
  ::rmdir((root + "/M\xe4rz").c_str());  // QTemporaryDir would not find a name that is not UTF-8
}

}  // namespace
