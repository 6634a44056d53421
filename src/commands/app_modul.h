// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QString>
#include <QtGlobal>

// Variables shared between the windows and the start routine. All start empty or 0.
namespace AppModul {

inline qint16 PickerOpen = 0;  // 1 while the folder picker is open
inline QString PickerCaption;
inline QString PickerPath;  // folder handed to the picker; after an apply the folder chosen, ending in a separator
inline qint64 LastFileCount = 0;   // files seen at the previous check (64-bit: folders can hold more than 32767)
inline QString AddSoundFile;       // tone file for a rising count, resolved where it is chosen (start, a list)
inline QString RemoveSoundFile;    // tone file for a falling count, likewise
inline qint16 StartupFilling = 0;  // 1 while Main selects the stored tones, which keeps that selection silent

}  // namespace AppModul
