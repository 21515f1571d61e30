// Runs the built torvela-cli as a user would, for the command-line tests.
#pragma once

#include <sys/wait.h>
#include <unistd.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>
#include <vector>

namespace clitest {

struct CliRun { int status = -1; std::string out, err; };

// stdinPath and stdoutPath replace the input and the captured output.
// env: assignments put before the command ("TORVELA_DB=/tmp/x").
inline CliRun Cli(const std::vector<std::string>& args, const std::string& input = "",
                  const char* stdinPath = nullptr, const char* stdoutPath = nullptr,
                  const std::string& env = "") {
  const auto dir = std::filesystem::temp_directory_path() / ("tvcli-" + std::to_string(getpid()));
  std::filesystem::create_directories(dir);
  std::ofstream(dir / "in", std::ios::binary) << input;
  std::string cmd = env + " '" TORVELA_CLI "'";
  for (const auto& a : args) cmd += " '" + a + "'";
  const auto at = [&](const char* name) {
    // Appended piece by piece: "'" + s + "'" trips GCC 12's -Wrestrict at -O3.
    std::string quoted = "'";
    quoted += (dir / name).string();
    quoted += '\'';
    return quoted;
  };
  cmd += " < " + (stdinPath ? std::string(stdinPath) : at("in")) + " > " +
         (stdoutPath ? std::string(stdoutPath) : at("out")) + " 2> " + at("err");
  const int raw = std::system(cmd.c_str());
  const auto slurp = [&](const char* name) {
    return (std::ostringstream() << std::ifstream(dir / name, std::ios::binary).rdbuf()).str();
  };
  CliRun r{WIFEXITED(raw) ? WEXITSTATUS(raw) : -1, slurp("out"), slurp("err")};
  std::filesystem::remove_all(dir);
  return r;
}

inline std::vector<std::string> Lines(const std::string& s) {
  std::vector<std::string> lines;
  std::istringstream in(s);
  for (std::string l; std::getline(in, l);) lines.push_back(l);
  return lines;
}

inline bool Has(const std::string& s, const std::string& part) { return s.find(part) != s.npos; }

inline std::string Replaced(std::string s, const std::string& from, const std::string& to) {
  return s.replace(s.find(from), from.size(), to);
}

// One batch line; an empty hour leaves its key out.
inline std::string J(int y, int m, int d, const std::string& h, const std::string& sex, const char* hun,
              const char* byo, const std::string& extra = "") {
  const auto n = [](int v) { return std::to_string(v); };
  return "{\"year\":" + n(y) + ",\"month\":" + n(m) + ",\"day\":" + n(d) +
         (h.empty() ? "" : ",\"hour\":\"" + h + "\"") + ",\"minute\":\"10\",\"sex\":\"" + sex +
         "\",\"jisahun\":\"" + hun + "\",\"jisabyo\":\"" + byo + "\"" + extra + "}";
}

inline const std::string Now = "--now=2026-12-06T12:00";

}  // namespace clitest
