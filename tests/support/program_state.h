#pragma once

// Program-wide values and test hooks are global: each test puts them back as a fresh program has them.
#include <QFile>
#include <QString>
#include <gtest/gtest.h>

#include "platform/instance.h"
#include "services/sound.h"
#include "startup/app_modul.h"
#include "startup/commands.h"

inline void ResetProgramState() {
  Sound::SetPlayerForTesting({});
  Platform::SetEndProgramForTesting({});
  Commands::AppFolder.clear();
  Commands::ExeName.clear();
  Commands::SettingsSection.clear();
  Commands::SettingsFile.clear();
  AppModul::PickerOpen = 0;
  AppModul::PickerCaption.clear();
  AppModul::PickerPath.clear();
  AppModul::LastFileCount = 0;
  AppModul::AddSoundFile.clear();
  AppModul::RemoveSoundFile.clear();
  AppModul::StartupFilling = 0;
}

// An empty file.
inline void Touch(const QString& path) {
  QFile f(path);
  ASSERT_TRUE(f.open(QIODevice::WriteOnly)) << path.toStdString();
}
