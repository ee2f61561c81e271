#pragma once
// Runs vanto-cli as a script would and keeps its exit status, standard
// output and error.

#include <gtest/gtest.h>

#include <sys/wait.h>
#include <unistd.h>
#include <array>
#include <cstdio>
#include <string>

struct CliRun {
  int status = -1;
  std::string out;
  std::string err;
};

// Runs vanto-cli with the given arguments (shell-quoted by the caller);
// shell, when given, runs first in the same shell and ends with "exec ".
inline CliRun cli(const std::string& args, const std::string& shell = "")
{
  // One file per run: ctest runs the cases of this suite side by side.
  static int runs = 0;
  const std::string errFile =
      testing::TempDir() + "vanto_cli_err_" + std::to_string(getpid()) + "_" + std::to_string(++runs) + ".txt";
  const std::string cmd = shell + "'" + VANTO_CLI + "' " + args + " 2>'" + errFile + "'";
  CliRun r;
  FILE* p = popen(cmd.c_str(), "r");
  if (!p)
    return r;
  std::array<char, 4096> buf;
  std::size_t n;
  while ((n = fread(buf.data(), 1, buf.size(), p)) > 0)
    r.out.append(buf.data(), n);
  const int st = pclose(p);
  r.status = WIFEXITED(st) ? WEXITSTATUS(st) : -1;
  if (FILE* e = fopen(errFile.c_str(), "r")) {
    while ((n = fread(buf.data(), 1, buf.size(), e)) > 0)
      r.err.append(buf.data(), n);
    fclose(e);
  }
  std::remove(errFile.c_str());
  return r;
}
