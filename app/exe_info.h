// Facts about program files: where this program lives, and the version
// data shown in the wizard caption and sent to the server as the
// application name.
//
// Linux executables carry no version resource: the values of this build
// (ZR_FILE_VERSION, ZR_INTERNAL_NAME) stand for this program's own file,
// and every other file has none.
#pragma once

#include <string>

#include "db/db.h"

namespace app {

// The running executable's absolute path; "" when it cannot be found.
std::string ProgramPath();
// Its folder with a trailing separator; "./" when the path is unknown.
std::string ProgramDir();

// The file version ("1.0.0.0") when `path` is this program's own file
// (compared as files, not as texts), else "".
std::string ExeFileVersion(const std::string& path);
// The internal name ("Orv-Zurararudud") when `path` is this program's own
// file, else "".
std::string ExeInternalName(const std::string& path);

// The calendar date (time of day zero) of the file's creation in UTC; where
// the file system keeps no creation time, of its last modification. The
// zero date 30-12-1899 when the file cannot be read.
db::DateTime ExeFileDate(const std::string& path);

}  // namespace app
