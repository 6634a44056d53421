// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

namespace Commands {

// The resume-next rule for one step of a routine: a step that fails is skipped and the routine goes on,
// reporting nothing. Nothing escapes into the caller, which is what lets a handler run from the event loop.
template <typename F>
void ResumeNext(F&& step) noexcept {
  try {
    step();
  } catch (...) {
  }
}

}  // namespace Commands
