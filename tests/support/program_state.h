// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

// Program-wide values and test hooks are global: each test puts them back as a fresh program has them.
#include <gtest/gtest.h>

#include <QString>

#include "commands/app_modul.h"
#include "commands/commands.h"
#include "platform/end_program_testing.h"
#include "sound/sound.h"
#include "support/files.h"

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
