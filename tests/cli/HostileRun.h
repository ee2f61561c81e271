#pragma once
// Runs vanto-cli on generated cases, several at a time and each under a time
// limit, and checks every run against the promises a script relies on (see
// hostile_cli_test.cpp).

#include <gtest/gtest.h>

#include <fcntl.h>
#include <poll.h>
#include <signal.h>
#include <spawn.h>
#include <sys/stat.h>
#include <sys/sysmacros.h>
#include <sys/wait.h>
#include <unistd.h>
#include <algorithm>
#include <atomic>
#include <cctype>
#include <charconv>
#include <chrono>
#include <cmath>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <map>
#include <sstream>
#include <string>
#include <thread>
#include <vector>

extern char** environ;

namespace fs = std::filesystem;

namespace {

constexpr int kTimeLimitSeconds = 20;

// What a successful run must print.
enum class Out {
  Table,      // CSV and remarks: every number finite
  TableGaps,  // the same, but "nan" marks a gap in a chart's curve
  Value,      // one finite number
  Texts,      // two transfer-function texts
  Nothing,    // nothing (save: the file is checked)
  Ranges,     // stable ranges: a range may end at "inf" (the whole gain axis)
};

struct Case {
  std::vector<std::string> args;
  Out out = Out::Table;
  std::vector<std::string> prefix;  // runs the program through this (a shell with limits, another user)
  std::string watchDir;             // a folder whose files must stay as they were unless the run succeeds
  std::string outFile;              // the file a successful run writes
};

struct Outcome {
  bool timedOut = false;
  int signal = 0;
  int status = -1;
  std::string out, err;
};

std::string Repeat(const std::string& unit, std::size_t n)
{
  std::string s;
  for (std::size_t i = 0; i < n; ++i)
    s += unit;
  return s;
}

// One argument as a shell reads it back.
std::string Quote(const std::string& a)
{
  if (a.size() > 200 && std::all_of(a.begin(), a.end(), [&](char c) { return c == a[0]; }) &&
      std::isalnum(static_cast<unsigned char>(a[0])))
    return "\"$(head -c " + std::to_string(a.size()) + " /dev/zero | tr '\\0' " + a[0] + ")\"";
  if (!a.empty() && std::all_of(a.begin(), a.end(), [](unsigned char c) {
        return std::isalnum(c) || std::strchr("-_./,=+^:@%", c);
      }))
    return a;
  std::string q = "$'";
  for (const unsigned char c : a) {
    if (c == '\'' || c == '\\') {
      q += '\\';
      q += static_cast<char>(c);
    } else if (c < 0x20 || c >= 0x7f) {
      char hex[8];
      std::snprintf(hex, sizeof hex, "\\x%02x", c);
      q += hex;
    } else {
      q += static_cast<char>(c);
    }
  }
  return q + "'";
}

std::string CommandLine(const Case& c)
{
  std::string line;
  for (const std::string& a : c.prefix)
    line += Quote(a) + ' ';
  line += VANTO_CLI;
  for (const std::string& a : c.args)
    line += ' ' + Quote(a);
  return line;
}

// Runs the case with its output and error captured, killed after the time limit.
Outcome Spawn(const Case& c)
{
  Outcome o;
  std::vector<std::string> argv = c.prefix;
  argv.push_back(VANTO_CLI);
  argv.insert(argv.end(), c.args.begin(), c.args.end());
  std::vector<char*> ptrs;
  for (std::string& a : argv)
    ptrs.push_back(a.data());
  ptrs.push_back(nullptr);
  int outPipe[2], errPipe[2];
  if (pipe2(outPipe, O_CLOEXEC) != 0 || pipe2(errPipe, O_CLOEXEC) != 0)
    return o;
  posix_spawn_file_actions_t fa;
  posix_spawn_file_actions_init(&fa);
  posix_spawn_file_actions_addopen(&fa, 0, "/dev/null", O_RDONLY, 0);
  posix_spawn_file_actions_adddup2(&fa, outPipe[1], 1);
  posix_spawn_file_actions_adddup2(&fa, errPipe[1], 2);
  pid_t pid = -1;
  const int rc = posix_spawnp(&pid, ptrs[0], &fa, nullptr, ptrs.data(), environ);
  posix_spawn_file_actions_destroy(&fa);
  close(outPipe[1]);
  close(errPipe[1]);
  if (rc != 0) {
    close(outPipe[0]);
    close(errPipe[0]);
    o.err = "cannot start: " + std::string(std::strerror(rc));
    return o;
  }
  const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(kTimeLimitSeconds);
  pollfd fds[2] = {{outPipe[0], POLLIN, 0}, {errPipe[0], POLLIN, 0}};
  std::string* sinks[2] = {&o.out, &o.err};
  int open = 2;
  while (open > 0) {
    const auto left =
        std::chrono::duration_cast<std::chrono::milliseconds>(deadline - std::chrono::steady_clock::now()).count();
    if (left <= 0) {
      o.timedOut = true;
      kill(pid, SIGKILL);
      break;
    }
    if (poll(fds, 2, static_cast<int>(left)) < 0 && errno != EINTR)
      break;
    for (int k = 0; k < 2; ++k) {
      if (fds[k].fd < 0 || !(fds[k].revents & (POLLIN | POLLHUP | POLLERR)))
        continue;
      char buf[65536];
      const ssize_t n = read(fds[k].fd, buf, sizeof buf);
      if (n > 0) {
        sinks[k]->append(buf, static_cast<std::size_t>(n));
      } else if (n == 0 || errno != EINTR) {
        close(fds[k].fd);
        fds[k].fd = -1;
        --open;
      }
    }
  }
  for (const pollfd& f : fds)
    if (f.fd >= 0)
      close(f.fd);
  int st = 0;
  while (waitpid(pid, &st, 0) < 0 && errno == EINTR) {
  }
  if (WIFSIGNALED(st))
    o.signal = WTERMSIG(st);
  else if (WIFEXITED(st))
    o.status = WEXITSTATUS(st);
  return o;
}

// Runs the cases on a few processes at once; outcomes in case order.
std::vector<Outcome> RunAll(const std::vector<Case>& cases)
{
  std::vector<Outcome> outcomes(cases.size());
  std::atomic<std::size_t> next{0};
  std::vector<std::thread> workers;
  for (int w = 0; w < 4; ++w)
    workers.emplace_back([&] {
      for (std::size_t i = next++; i < cases.size(); i = next++)
        outcomes[i] = Spawn(cases[i]);
    });
  for (std::thread& t : workers)
    t.join();
  return outcomes;
}

// The non-finite numbers in the output, or what else is wrong with it.
std::string OutputProblem(const std::string& out, Out kind)
{
  if (kind == Out::Nothing)
    return out.empty() ? "" : "output where none is promised";
  if (out.empty() || out.back() != '\n')
    return "output empty or not ended by a newline";
  std::vector<std::string> lines;
  std::istringstream in(out);
  for (std::string line; std::getline(in, line);)
    lines.push_back(line);
  if (kind == Out::Texts)
    return lines.size() == 2 && !lines[0].empty() && !lines[1].empty() ? "" : "two texts expected";
  if (kind == Out::Value && lines.size() != 1)
    return "one value expected";
  for (std::string line : lines) {
    const bool remark = !line.empty() && line[0] == '#';
    // the last stable range of the whole gain axis may run on to infinity
    if (kind == Out::Ranges && line == lines.back() && line.size() > 4 && line.compare(line.size() - 4, 4, ",inf") == 0)
      line.resize(line.size() - 4);
    std::string token;
    std::istringstream fields(line);
    while (std::getline(fields, token, remark ? ' ' : ',')) {
      if (remark && !token.empty() && token.back() == ',')
        token.pop_back();
      double v = 0.0;
      const auto [end, ec] = std::from_chars(token.data(), token.data() + token.size(), v);
      const bool number = !token.empty() && end == token.data() + token.size();
      if (kind == Out::Value && (!number || ec != std::errc()))
        return "not a number: " + line;
      if (!number || std::isfinite(v))
        continue;
      if (kind == Out::TableGaps && !remark && token == "nan")
        continue;
      return "non-finite number in \"" + line + "\"";
    }
  }
  return "";
}

// The files of a folder and their bytes.
std::map<std::string, std::string> Snapshot(const std::string& dir)
{
  std::map<std::string, std::string> files;
  std::error_code ec;
  for (const auto& e : fs::directory_iterator(dir, ec)) {
    std::string& bytes = files[e.path().filename().string()];
    if (!e.is_regular_file()) {
      bytes = "<not a regular file>";  // a folder, a device: never opened
      continue;
    }
    std::ifstream f(e.path(), std::ios::binary);
    bytes.assign(std::istreambuf_iterator<char>(f), {});
  }
  return files;
}

std::string FileProblem(const Case& c, const std::map<std::string, std::string>& before, int status)
{
  if (c.watchDir.empty())
    return "";
  const auto after = Snapshot(c.watchDir);
  if (status != 0)
    return after == before ? "" : "the folder changed, though the run failed";
  if (c.outFile.empty())
    return "";
  const std::string name = fs::path(c.outFile).filename().string();
  for (const auto& [file, bytes] : after)
    if (file != name && (!before.count(file) || before.at(file) != bytes))
      return "file " + file + " left beside the output";
  const auto it = after.find(name);
  if (it == after.end())
    return "success, but no file written";
  const std::string& bytes = it->second;
  const std::string ext = name.substr(std::min(name.rfind('.'), name.size()));  // ".png" too
  const bool whole = ext == ".png"   ? bytes.rfind("\x89PNG\r\n\x1a\n", 0) == 0 && bytes.find("IEND") != std::string::npos
                     : ext == ".svg" ? bytes.find("</svg>") != std::string::npos
                     : ext == ".pdf" ? bytes.rfind("%PDF", 0) == 0 && bytes.find("%%EOF") != std::string::npos
                                     : bytes.rfind("VANTO system file ", 0) == 0 && bytes.back() == '\n';
  return whole ? "" : "the written file is not whole";
}

// Runs every case and checks it against the promises above.
void Sweep(const std::vector<Case>& cases)
{
  std::vector<std::map<std::string, std::string>> before;
  for (const Case& c : cases)
    before.push_back(c.watchDir.empty() ? std::map<std::string, std::string>{} : Snapshot(c.watchDir));
  const auto t0 = std::chrono::steady_clock::now();
  const std::vector<Outcome> outcomes = RunAll(cases);
  const double seconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - t0).count();
  std::printf("%zu cases in %.1f s\n", cases.size(), seconds);
  std::map<int, int> byStatus;
  for (std::size_t i = 0; i < cases.size(); ++i) {
    const Case& c = cases[i];
    const Outcome& o = outcomes[i];
    ++byStatus[o.status];
    std::string problem;
    if (o.timedOut)
      problem = "time-out after " + std::to_string(kTimeLimitSeconds) + " s";
    else if (o.signal != 0)
      problem = "killed by signal " + std::to_string(o.signal) + " (" + strsignal(o.signal) + ")";
    else if (o.err.find("Sanitizer") != std::string::npos || o.err.find("runtime error:") != std::string::npos)
      problem = "sanitizer report";
    else if (o.status == 0)
      problem = OutputProblem(o.out, c.out);
    else if (o.status == 1)
      problem = o.err.size() < 2 || o.err.find('\n') != o.err.size() - 1 ? "exit 1 without exactly one line on stderr"
                : !o.out.empty()                                          ? "exit 1 after output"
                                                                          : "";
    else if (o.status == 2)
      problem = o.err.rfind("vanto-cli: ", 0) != 0 || o.err.find("\n\nusage: vanto-cli ") == std::string::npos
                    ? "exit 2 without what was wrong and the usage"
                : !o.out.empty() ? "exit 2 after output"
                                 : "";
    else
      problem = "exit status " + std::to_string(o.status);
    if (problem.empty())
      problem = FileProblem(c, before[i], o.status);
    if (!problem.empty())
      ADD_FAILURE() << problem << "\n  " << CommandLine(c) << "\n  exit " << o.status << "\n  stdout: " << o.out.substr(0, 400)
                           << "\n  stderr: " << o.err.substr(0, 400);
  }
  // A sweep where nothing succeeds, or nothing is refused, tests little.
  EXPECT_GT(byStatus[0], 0);
  EXPECT_GT(byStatus[1] + byStatus[2], 0);
}

std::vector<std::string> Split(const std::string& text)
{
  std::vector<std::string> words;
  std::istringstream in(text);
  for (std::string w; in >> w;)
    words.push_back(w);
  return words;
}

// The cases of a command with one "@" word, one per value.
void AddSlot(std::vector<Case>& cases, const std::string& command, const std::vector<std::string>& values, Out out)
{
  const std::vector<std::string> words = Split(command);
  for (const std::string& v : values) {
    Case c;
    c.out = out;
    for (const std::string& w : words)
      c.args.push_back(w == "@" ? v : w);
    cases.push_back(c);
  }
}

}  // namespace
