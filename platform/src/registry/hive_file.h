// The file that holds the current user's hive, and the locking that lets several threads
// and processes read and write it at once.
//
// Writers take an exclusive flock on "registry.txt.lock" beside the file, read the file
// afresh, edit it, write the result to a new file in the same folder, fsync it and rename
// it over the old one. Readers take the shared lock and read the file afresh on every
// call, so a save of another process is seen at once and nothing is cached. A reader that
// cannot create the lock file (read-only folder) reads without it: the rename makes every
// save appear whole.
#pragma once

#include "registry/hive_document.h"
#include "win32/basetypes.h"

#include <functional>
#include <string>

namespace kavet::platform::registry {

// The hive's file: $XDG_CONFIG_HOME/kavet/registry.txt, else $HOME/.config/kavet/registry.txt
// (relative paths in either variable are ignored, as the XDG rules ask). Answers
// ERROR_PATH_NOT_FOUND when neither gives a folder.
LONG locateHive(std::string& file);

// Reads the hive; a missing file or folder is an empty hive. ERROR_CANTREAD when the file
// exists but cannot be read.
LONG readHive(const std::string& file, HiveDocument& doc);

// An edit of the hive: answers a Win32 error code (ERROR_SUCCESS to go on) and sets
// `changed` when the document must be written back.
using HiveEdit = std::function<LONG(HiveDocument& doc, bool& changed)>;

// Runs `edit` on the current hive under the exclusive lock and saves the result when it
// changed. ERROR_CANTWRITE when the folder, the lock or the new file cannot be made.
LONG updateHive(const std::string& file, const HiveEdit& edit);

} // namespace kavet::platform::registry
