#include "shell/GameTrace.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <string>
#include <vector>

namespace {
// The lines a trace wrote to its file, the trace ended (and its file closed) first.
class TraceFile {
 public:
  TraceFile() : m_path(testing::TempDir() + "game-trace-test.trace") {
    setenv("CHRISTMAS_PEGS_TRACE", m_path.c_str(), 1);
  }
  ~TraceFile() {
    unsetenv("CHRISTMAS_PEGS_TRACE");
    std::remove(m_path.c_str());
  }
  std::vector<std::string> Lines() const {
    std::ifstream in(m_path);
    std::vector<std::string> lines;
    for (std::string line; std::getline(in, line);) lines.push_back(line);
    return lines;
  }

 private:
  std::string m_path;
};

struct Read {
  bool captured;
  int dx;
  int dy;
};
}  // namespace

// A harness counts the moves it sent against these lines: each capture
// change once, each non-zero delta once, nothing for an empty read, and a
// delta read as the capture ends still reported.
TEST(GameTraceTest, MouseReadsGiveCaptureChangesAndEveryDelta) {
  TraceFile file;
  {
    GameTrace trace;
    ASSERT_TRUE(trace.Enabled());
    const Read reads[] = {{false, 0, 0}, {true, 0, 0}, {true, 0, 0}, {true, 12, -3}, {true, 0, 0},
                          {true, -1, 0}, {false, 0, 0}, {false, 0, 0}, {true, 0, 7}};
    for (const Read& r : reads) trace.Mouse(r.captured, r.dx, r.dy);
    trace.Frame(StatePlaying, 0.0f, 0.0f, 32);
    trace.Mouse(true, 5, 5);
    trace.Mouse(false, 2, 0);
  }
  const std::vector<std::string> expected = {
      "capture on frame 0", "motion 12 -3 frame 0", "motion -1 0 frame 0", "capture off frame 0",
      "capture on frame 0", "motion 0 7 frame 0",   "motion 5 5 frame 1",  "capture off frame 1",
      "motion 2 0 frame 1"};
  std::vector<std::string> mouseLines;
  for (const std::string& line : file.Lines()) {
    if (line.rfind("capture ", 0) == 0 || line.rfind("motion ", 0) == 0) mouseLines.push_back(line);
  }
  EXPECT_EQ(mouseLines, expected);
}
