#include <gtest/gtest.h>
#include <sys/prctl.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cerrno>
#include <csignal>
#include <cstdlib>
#include <ctime>
#include <optional>
#include <string>
#include <vector>

#include "platform/ModeGuard.h"

namespace {
// A display no X server listens on: the watcher starts but records nothing.
constexpr const char* kNoServer = "unix:64999";

// Sets DISPLAY for one test and puts the previous value back.
class DisplayVariable {
 public:
  explicit DisplayVariable(const char* value) {
    if (const char* old = std::getenv("DISPLAY")) m_old = old;
    if (value != nullptr) {
      setenv("DISPLAY", value, 1);
    } else {
      unsetenv("DISPLAY");
    }
  }
  ~DisplayVariable() {
    if (m_old) {
      setenv("DISPLAY", m_old->c_str(), 1);
    } else {
      unsetenv("DISPLAY");
    }
  }
  DisplayVariable(const DisplayVariable&) = delete;
  DisplayVariable& operator=(const DisplayVariable&) = delete;

 private:
  std::optional<std::string> m_old;
};

// Makes this process adopt the orphans of its descendants while it lives, so
// that a test can wait for the watcher of a stand-in game that died.
class Subreaper {
 public:
  Subreaper() { prctl(PR_SET_CHILD_SUBREAPER, 1, 0, 0, 0); }
  ~Subreaper() { prctl(PR_SET_CHILD_SUBREAPER, 0, 0, 0, 0); }
  Subreaper(const Subreaper&) = delete;
  Subreaper& operator=(const Subreaper&) = delete;
};

enum class GameEnd { Normal, Killed };

struct GameReport {
  pid_t watcher = 0;
  bool recorded = true;
};

struct Outcome {
  GameReport report;
  int gameStatus = 0;
  bool watcherReapedByGame = false;  // the game's end waited for it
  bool watcherEnded = false;         // else: it ended after the game, adopted by the test
  int watcherStatus = 0;
};

// Waits for `pid` without hanging the test run: an orphaned watcher that
// never leaves shows up as watcherEnded == false.
void AwaitAdoptedWatcher(Outcome& outcome) {
  const std::time_t deadline = std::time(nullptr) + 20;
  while (std::time(nullptr) < deadline) {
    const pid_t got = waitpid(outcome.report.watcher, &outcome.watcherStatus, WNOHANG);
    if (got == outcome.report.watcher) {
      outcome.watcherEnded = true;
      return;
    }
    if (got < 0 && errno == ECHILD) {
      outcome.watcherReapedByGame = true;
      return;
    }
    usleep(10000);
  }
}

// Runs a stand-in game in a child process: it makes a guard as main does,
// waits for the record, sends `signals` to the watcher and ends as `end`
// says. The watcher's fate is then read from the test process.
Outcome RunGame(GameEnd end, const std::vector<int>& signals) {
  Outcome outcome;
  int report[2];
  if (pipe(report) != 0) return outcome;
  Subreaper subreaper;
  const pid_t game = fork();
  if (game == 0) {
    close(report[0]);
    {
      ModeGuard guard;
      GameReport mine{guard.WatcherPid(), guard.AwaitRecord(10000)};
      for (int sig : signals) kill(mine.watcher, sig);
      if (write(report[1], &mine, sizeof mine) != sizeof mine) _exit(2);
      if (end == GameEnd::Killed) raise(SIGKILL);
    }
    _exit(0);
  }
  close(report[1]);
  if (read(report[0], &outcome.report, sizeof outcome.report) != sizeof outcome.report) outcome.report = {};
  close(report[0]);
  waitpid(game, &outcome.gameStatus, 0);
  if (outcome.report.watcher > 0) AwaitAdoptedWatcher(outcome);
  return outcome;
}
}  // namespace

TEST(ModeGuard, WithoutDisplayStartsNoWatcher) {
  for (const char* value : {static_cast<const char*>(nullptr), ""}) {
    DisplayVariable display(value);
    ModeGuard guard;
    EXPECT_EQ(guard.WatcherPid(), 0) << "DISPLAY=" << (value ? value : "(unset)");
    EXPECT_FALSE(guard.AwaitRecord(0));
  }
}

// Without an X server the watcher holds no record; it still follows the
// protocol: it leaves when the game ends, however the game ends, and it
// ignores the terminal's signals that reach the whole process group.
TEST(ModeGuard, WatcherLeavesWhenTheGameEnds) {
  struct stat unused {};
  ASSERT_NE(stat("/tmp/.X11-unix/X64999", &unused), 0) << "an X server listens on " << kNoServer;
  DisplayVariable display(kNoServer);
  const std::vector<int> terminalSignals{SIGINT, SIGTERM, SIGHUP, SIGQUIT, SIGPIPE};
  struct Case {
    const char* name;
    GameEnd end;
    std::vector<int> signals;
    bool reapedByGame;
  };
  const Case cases[] = {
      {"normal end", GameEnd::Normal, {}, true},
      {"game killed", GameEnd::Killed, {}, false},
      {"terminal signals, then the game killed", GameEnd::Killed, terminalSignals, false},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    const Outcome outcome = RunGame(c.end, c.signals);
    ASSERT_GT(outcome.report.watcher, 0);
    EXPECT_FALSE(outcome.report.recorded);
    if (c.end == GameEnd::Normal) {
      EXPECT_TRUE(WIFEXITED(outcome.gameStatus) && WEXITSTATUS(outcome.gameStatus) == 0);
    } else {
      EXPECT_TRUE(WIFSIGNALED(outcome.gameStatus) && WTERMSIG(outcome.gameStatus) == SIGKILL);
    }
    EXPECT_EQ(outcome.watcherReapedByGame, c.reapedByGame);
    if (!c.reapedByGame) {
      ASSERT_TRUE(outcome.watcherEnded) << "the watcher outlives the game";
      EXPECT_TRUE(WIFEXITED(outcome.watcherStatus) && WEXITSTATUS(outcome.watcherStatus) == 0)
          << "wait status " << outcome.watcherStatus;
    }
  }
}
