#include "app/exe_info.h"

#include <fcntl.h>
#include <sys/stat.h>

#include <ctime>
#include <filesystem>
#include <system_error>

#ifndef ZR_FILE_VERSION
#define ZR_FILE_VERSION ""
#endif
#ifndef ZR_INTERNAL_NAME
#define ZR_INTERNAL_NAME ""
#endif

namespace app {
namespace {

bool IsThisProgram(const std::string& path) {
  const std::string self = ProgramPath();
  if (path.empty() || self.empty()) return false;
  std::error_code ec;
  return std::filesystem::equivalent(path, self, ec) && !ec;
}

}  // namespace

std::string ProgramPath() {
  std::error_code ec;
  const std::filesystem::path p = std::filesystem::read_symlink("/proc/self/exe", ec);
  return ec ? std::string() : p.string();
}

std::string ProgramDir() {
  const std::string file = ProgramPath();
  if (file.empty()) return "./";
  std::string dir = std::filesystem::path(file).parent_path().string();
  if (dir.empty() || dir.back() != '/') dir += '/';
  return dir;
}

std::string ExeFileVersion(const std::string& path) {
  return IsThisProgram(path) ? ZR_FILE_VERSION : "";
}

std::string ExeInternalName(const std::string& path) {
  return IsThisProgram(path) ? ZR_INTERNAL_NAME : "";
}

db::DateTime ExeFileDate(const std::string& path) {
  std::time_t when = 0;
  bool found = false;
#ifdef STATX_BTIME
  struct statx sx {};
  if (statx(AT_FDCWD, path.c_str(), 0, STATX_BTIME | STATX_MTIME, &sx) == 0) {
    if (sx.stx_mask & STATX_BTIME) {
      when = static_cast<std::time_t>(sx.stx_btime.tv_sec);
      found = true;
    } else if (sx.stx_mask & STATX_MTIME) {
      when = static_cast<std::time_t>(sx.stx_mtime.tv_sec);
      found = true;
    }
  }
#endif
  if (!found) {
    struct stat st {};
    if (stat(path.c_str(), &st) != 0) return db::DateTime{};
    when = st.st_mtime;
  }
  std::tm tm{};
  gmtime_r(&when, &tm);
  return db::DateTime{tm.tm_year + 1900, tm.tm_mon + 1, tm.tm_mday, 0, 0, 0};
}

}  // namespace app
