// SPDX-License-Identifier: GPL-3.0-or-later
#include <sys/resource.h>
#include <unistd.h>

#include "thread_priority.h"

namespace Platform {

// Linux gives each thread a nice value of its own.
void LowerThreadPriority() { ::setpriority(PRIO_PROCESS, ::gettid(), 10); }

}  // namespace Platform
