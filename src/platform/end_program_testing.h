// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <functional>

namespace Platform {

// Tests put a recorder in place of the real end of the program; an empty function restores it.
using ProgramEnd = std::function<void(int exitCode)>;
void SetEndProgramForTesting(ProgramEnd end);

}  // namespace Platform
