#include "shell/CommandLine.h"

#include <gtest/gtest.h>

#include <regex>
#include <string>
#include <vector>

namespace {
struct Case {
  std::vector<std::string_view> arguments;
  bool play;
  bool windowed;
  int exitCode;
  const char* output;  // a pattern the whole of stdout matches
  const char* errors;  // the same for stderr
};

const Case kCases[] = {
    {{}, true, false, 0, "", ""},
    {{"--windowed"}, true, true, 0, "", ""},
    {{"--help"}, false, false, 0, "Usage: christmas-pegs [\\s\\S]*--windowed[\\s\\S]*F9[\\s\\S]*", ""},
    {{"--windowed", "--help"}, false, true, 0, "Usage: [\\s\\S]*", ""},
    {{"--version"}, false, false, 0, "christmas-pegs 1\\.[0-9]+\n", ""},
    {{"--fullscreen"}, false, false, 2, "",
     "christmas-pegs: unrecognized option '--fullscreen'\nUsage: christmas-pegs \\[--windowed\\][^\n]*\n"},
    {{"-h"}, false, false, 2, "", "christmas-pegs: unrecognized option '-h'\nUsage: [^\n]*\n"},
    {{"level2"}, false, false, 2, "", "christmas-pegs: unexpected argument 'level2'\nUsage: [^\n]*\n"},
    // The first argument that ends the program decides.
    {{"--bogus", "--help"}, false, false, 2, "", "christmas-pegs: unrecognized option '--bogus'\n[\\s\\S]*"},
    {{"--version", "--bogus"}, false, false, 0, "christmas-pegs 1[\\s\\S]*", ""},
};
}  // namespace

TEST(CommandLineTest, EachCaseGivesItsActionAndTexts) {
  for (const Case& c : kCases) {
    std::string described;
    for (std::string_view a : c.arguments) described += std::string(a) + " ";
    SCOPED_TRACE("arguments: " + described);
    const CommandLine line(c.arguments);
    EXPECT_EQ(line.Play(), c.play);
    EXPECT_EQ(line.Windowed(), c.windowed);
    EXPECT_EQ(line.ExitCode(), c.exitCode);
    EXPECT_TRUE(std::regex_match(line.Output(), std::regex(c.output))) << line.Output();
    EXPECT_TRUE(std::regex_match(line.Errors(), std::regex(c.errors))) << line.Errors();
  }
}

TEST(CommandLineTest, SkipsTheProgramName) {
  const char* const argv[] = {"christmas-pegs", "--windowed", nullptr};
  const CommandLine line(2, argv);
  EXPECT_TRUE(line.Play());
  EXPECT_TRUE(line.Windowed());
  EXPECT_TRUE(CommandLine(0, argv).Play()) << "no arguments at all, not even a name";
}
