#include "platform/Diagnostics.h"

#include <gtest/gtest.h>

#include <string>

#include "tests/support/StderrCapture.h"

namespace {

// Runs `speak`; returns what it wrote on standard error.
template <typename Speak>
std::string Captured(Speak speak) {
  StderrCapture capture;
  speak();
  return capture.Text();
}

TEST(Diagnostics, ErrorsAreWholePrefixedLinesAndTextsStandAsTheyAre) {
  EXPECT_EQ(Captured([] { Diagnostics::Error("no display found"); }), "christmas-pegs: no display found\n");
  // A percent sign is text, not a format.
  EXPECT_EQ(Captured([] { Diagnostics::Error("100% %s %n"); }), "christmas-pegs: 100% %s %n\n");
  EXPECT_EQ(Captured([] { Diagnostics::Text("SScreenmode : Displaymode changed successfully!\n"); }),
            "SScreenmode : Displaymode changed successfully!\n");
  const std::string longMessage(3000, 'x');
  EXPECT_EQ(Captured([&] { Diagnostics::Error(longMessage); }), "christmas-pegs: " + longMessage + "\n");
}

}  // namespace
