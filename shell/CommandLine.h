#pragma once

#include <string>
#include <string_view>
#include <vector>

// The game's command line, read before anything touches the display or the
// sound, in the manner of GNU programs: --help and --version answer on
// stdout and end the program; --windowed starts in the captioned window;
// "--" ends the options; anything else, and any argument after "--", is
// refused with a line naming it and the usage on stderr.
// Without arguments the game starts fullscreen.
class CommandLine {
 public:
  // The arguments after the program's name.
  explicit CommandLine(const std::vector<std::string_view>& arguments);
  CommandLine(int argc, const char* const* argv);

  // True when the game is to start; otherwise the program prints Output()
  // and Errors() and ends with ExitCode().
  bool Play() const { return m_play; }
  bool Windowed() const { return m_windowed; }
  int ExitCode() const { return m_exitCode; }
  const std::string& Output() const { return m_output; }
  const std::string& Errors() const { return m_errors; }

 private:
  void Refuse(const std::string& complaint);

  bool m_play = true;
  bool m_windowed = false;
  int m_exitCode = 0;
  std::string m_output;
  std::string m_errors;
};
