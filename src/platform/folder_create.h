// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QString>

namespace Platform {

// Makes the folder `name` directly inside `parent`, through a handle on `parent` taken now: when `parent` is gone
// (deleted, unmounted), nothing is made anywhere. A name that exists already as a folder counts as made. False
// for a name that is empty, ".", "..", holds a separator or a NUL, and whenever the folder is not there afterwards
// or cannot be entered.
bool MakeFolderIn(const QString& parent, const QString& name);

// Makes the absolute path's folders that are missing, by the path's bytes. True when it is a folder afterwards;
// false with errno set otherwise.
bool MakeFolders(const QString& path);

}  // namespace Platform
