#include "platform/Diagnostics.h"

#include <gtest/gtest.h>
#include <unistd.h>

#include <cstdio>
#include <string>

namespace {

// Runs `speak` with standard error sent to a temporary file; returns what
// was written.
template <typename Speak>
std::string Captured(Speak speak) {
  std::FILE* file = std::tmpfile();
  const int saved = dup(STDERR_FILENO);
  dup2(fileno(file), STDERR_FILENO);
  speak();
  dup2(saved, STDERR_FILENO);
  close(saved);
  std::string text(4096, '\0');
  std::rewind(file);
  text.resize(std::fread(text.data(), 1, text.size(), file));
  std::fclose(file);
  return text;
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
