#include <fcntl.h>
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cerrno>

#include "platform/StandardStreams.h"

namespace {
bool IsDevNull(int descriptor) {
  struct stat seen{};
  struct stat null{};
  return fstat(descriptor, &seen) == 0 && stat("/dev/null", &null) == 0 && seen.st_rdev == null.st_rdev &&
         S_ISCHR(seen.st_mode);
}
}  // namespace

// Started with standard descriptors closed (`game >&- 2>&- <&-`, as some
// launchers do): each is opened on /dev/null before anything else takes its
// number, the others are left as they are, and a write to a reader that has
// gone away fails instead of killing the game.
TEST(StandardStreams, ClosedDescriptorsGoToDevNullAndNoWriteKills) {
  const struct {
    const char* name;
    bool close[3];
  } cases[] = {{"all three closed", {true, true, true}}, {"only standard error", {false, false, true}},
               {"none closed", {false, false, false}}};
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    const pid_t child = fork();
    ASSERT_GE(child, 0);
    if (child == 0) {
      struct stat before[3]{};
      bool closed[3]{};
      for (int d = 0; d < 3; ++d) {
        // A test runner may itself start the tests without standard input.
        closed[d] = c.close[d] || fstat(d, &before[d]) != 0;
        if (c.close[d]) close(d);
      }
      StandardStreams::OpenClosed();
      int code = 0;
      for (int d = 0; d < 3; ++d) {
        struct stat now{};
        if (fstat(d, &now) != 0) code |= 1;
        if (closed[d] && !IsDevNull(d)) code |= 2;
        if (!closed[d] && (now.st_dev != before[d].st_dev || now.st_ino != before[d].st_ino)) code |= 4;
      }
      int ends[2];
      if (pipe(ends) != 0) _exit(8);
      close(ends[0]);
      if (write(ends[1], "x", 1) != -1 || errno != EPIPE) code |= 16;
      _exit(code);
    }
    int status = 0;
    ASSERT_EQ(waitpid(child, &status, 0), child);
    ASSERT_TRUE(WIFEXITED(status)) << "the child died of signal " << WTERMSIG(status);
    EXPECT_EQ(WEXITSTATUS(status), 0);
  }
}
