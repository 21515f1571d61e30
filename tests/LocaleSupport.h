// Locales whose decimal point is not ".", for tests of texts that must read
// the same whatever the user's locale. A machine often has no locale but C:
// a missing one is compiled from the installed sources (package locales)
// with localedef into a directory kept between runs, which LOCPATH names.
#pragma once

#include <unistd.h>

#include <clocale>
#include <cstdlib>
#include <filesystem>
#include <string>

namespace torvela::test {

// The comma of most of Europe, and the two-byte "٫" (U+066B) of Pashto.
inline const char* const kCommaLocale = "de_DE.UTF-8";
inline const char* const kTwoByteLocale = "ps_AF.UTF-8";

inline bool Loadable(const std::string& name) {
  const std::string before = std::setlocale(LC_ALL, nullptr);
  const bool ok = std::setlocale(LC_ALL, name.c_str()) != nullptr;
  std::setlocale(LC_ALL, before.c_str());
  return ok;
}

// Makes the locale `name` ("de_DE.UTF-8") loadable by setlocale, compiling
// it when needed; false when it cannot be made here. Sets LOCPATH, so call
// it before anything reads the environment's locale. glibc remembers a
// locale it failed to find under a LOCPATH, so no lookup happens under ours
// before the files are there.
inline bool MakeLocaleAvailable(const std::string& name) {
  namespace fs = std::filesystem;
  std::error_code ec;
  const fs::path dir = fs::temp_directory_path(ec) / ("torvela-test-locales-" + std::to_string(getuid()));
  const char* path = std::getenv("LOCPATH");
  const bool ours = path && std::string(path).rfind(dir.string(), 0) == 0;
  if (!ours && Loadable(name)) return true;  // installed
  if (!fs::exists(dir / name / "LC_NUMERIC", ec) || !fs::exists(dir / name / "LC_CTYPE", ec)) {
    // Built beside the cache and renamed into it, so tests running at once
    // never read a half-written locale.
    fs::create_directories(dir, ec);
    fs::remove_all(dir / name, ec);
    const fs::path scratch = dir / (name + "." + std::to_string(getpid()));
    const auto dot = name.find('.');
    const std::string command = "localedef -i " + name.substr(0, dot) + " -f " + name.substr(dot + 1) +
                                " '" + scratch.string() + "' >/dev/null 2>&1";
    // localedef reports warnings with status 1 and still writes the locale.
    if (std::system(command.c_str()) < 0) return false;
    fs::rename(scratch, dir / name, ec);
    fs::remove_all(scratch, ec);
  }
  if (!ours) {
    std::string value = dir.string() + ":/usr/lib/locale";
    if (path && *path) value += std::string(":") + path;
    setenv("LOCPATH", value.c_str(), 1);
  }
  return Loadable(name);
}

}  // namespace torvela::test
