#include "shell/CommandLine.h"

namespace {
constexpr const char* kUsage = "Usage: christmas-pegs [--windowed] [--help] [--version]\n";

constexpr const char* kHelp =
    "Usage: christmas-pegs [OPTION]\n"
    "Christmas peg solitaire in 3D: jump the fir trees over one another until\n"
    "no jump is left. Starts fullscreen at 640 x 480.\n"
    "\n"
    "Options:\n"
    "  --windowed   start in a window; the screen's mode is left alone until F9\n"
    "  --help       show this help and exit\n"
    "  --version    show the version and exit\n"
    "\n"
    "Playing:\n"
    "  mouse        press on a tree, drag it over a neighbour into the empty\n"
    "               hole behind it, release\n"
    "  cursor keys, W A S D\n"
    "               move the bottle from hole to hole; with a tree lifted,\n"
    "               carry it\n"
    "  Space, Return\n"
    "               lift the tree under the bottle; again, drop it there\n"
    "  Escape       put a lifted tree back; otherwise skip the intro, or\n"
    "               later quit\n"
    "  F7           minimise\n"
    "  F9           switch between fullscreen and a window\n"
    "  game pad     d-pad or left stick to move, A to lift and drop, B to put\n"
    "               back, Start to skip the intro, Back to quit\n";
}  // namespace

CommandLine::CommandLine(int argc, const char* const* argv)
    : CommandLine(std::vector<std::string_view>(argv + (argc > 0 ? 1 : 0), argv + (argc > 0 ? argc : 0))) {}

CommandLine::CommandLine(const std::vector<std::string_view>& arguments) {
  // Taken in order; the first that ends the program decides. "--" ends the
  // options: whatever follows is an argument, and the game takes none.
  bool options = true;
  for (std::string_view argument : arguments) {
    if (!options) {
      Refuse("unexpected argument '" + std::string(argument) + "'");
      return;
    }
    if (argument == "--") {
      options = false;
    } else if (argument == "--windowed") {
      m_windowed = true;
    } else if (argument == "--help") {
      m_play = false;
      m_output = kHelp;
      return;
    } else if (argument == "--version") {
      m_play = false;
      m_output = "christmas-pegs " CP_VERSION "\n";
      return;
    } else if (argument.substr(0, 1) == "-" && argument != "-") {
      Refuse("unrecognized option '" + std::string(argument) + "'");
      return;
    } else {
      Refuse("unexpected argument '" + std::string(argument) + "'");
      return;
    }
  }
}

void CommandLine::Refuse(const std::string& complaint) {
  m_play = false;
  m_exitCode = 2;
  m_errors = "christmas-pegs: " + complaint + "\n" + kUsage;
}
