#include "shell/CommandLine.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {
const std::string kUsage = "Usage: christmas-pegs [--windowed] [--help] [--version]\n";

struct Case {
  std::vector<std::string_view> arguments;
  bool play;
  bool windowed;
  int exitCode;
  std::string outputStart;  // what stdout begins with; empty: stdout stays empty
  std::string errors;       // all of stderr
};

const Case kCases[] = {
    {{}, true, false, 0, "", ""},
    {{"--windowed"}, true, true, 0, "", ""},
    {{"--help"}, false, false, 0, "Usage: christmas-pegs [OPTION]\n", ""},
    {{"--windowed", "--help"}, false, true, 0, "Usage: ", ""},
    {{"--version"}, false, false, 0, "christmas-pegs 1.", ""},
    {{"--fullscreen"}, false, false, 2, "", "christmas-pegs: unrecognized option '--fullscreen'\n" + kUsage},
    {{"-h"}, false, false, 2, "", "christmas-pegs: unrecognized option '-h'\n" + kUsage},
    {{"level2"}, false, false, 2, "", "christmas-pegs: unexpected argument 'level2'\n" + kUsage},
    // The first argument that ends the program decides.
    {{"--bogus", "--help"}, false, false, 2, "", "christmas-pegs: unrecognized option '--bogus'\n" + kUsage},
    {{"--version", "--bogus"}, false, false, 0, "christmas-pegs 1.", ""},
    // "--" ends the options: after it an option is a mere argument.
    {{"--"}, true, false, 0, "", ""},
    {{"--windowed", "--"}, true, true, 0, "", ""},
    {{"--", "--help"}, false, false, 2, "", "christmas-pegs: unexpected argument '--help'\n" + kUsage},
    {{"--", "--"}, false, false, 2, "", "christmas-pegs: unexpected argument '--'\n" + kUsage},
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
    EXPECT_EQ(line.Output().substr(0, c.outputStart.size()), c.outputStart);
    EXPECT_EQ(line.Output().empty(), c.outputStart.empty()) << line.Output();
    EXPECT_EQ(line.Errors(), c.errors);
  }
}

TEST(CommandLineTest, HelpNamesEveryOptionAndKeyAndVersionIsOneLine) {
  const std::string help = CommandLine({"--help"}).Output();
  for (const char* word : {"--windowed", "--help", "--version", "mouse", "cursor keys", "Space", "game pad", "Escape", "F7", "F9"}) {
    EXPECT_NE(help.find(word), std::string::npos) << word;
  }
  const std::string version = CommandLine({"--version"}).Output();
  EXPECT_EQ(version.find('\n'), version.size() - 1) << version;
}

TEST(CommandLineTest, SkipsTheProgramName) {
  const char* const argv[] = {"christmas-pegs", "--windowed", nullptr};
  const CommandLine line(2, argv);
  EXPECT_TRUE(line.Play());
  EXPECT_TRUE(line.Windowed());
  EXPECT_TRUE(CommandLine(0, argv).Play()) << "no arguments at all, not even a name";
}
