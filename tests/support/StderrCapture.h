#pragma once

#include <cstdio>
#include <string>

// Sends standard error (the descriptor, so that write(2) is caught too) to a
// temporary file from construction until Text() or destruction.
class StderrCapture {
 public:
  StderrCapture();
  ~StderrCapture();
  StderrCapture(const StderrCapture&) = delete;
  StderrCapture& operator=(const StderrCapture&) = delete;

  // Puts standard error back and returns everything written meanwhile.
  std::string Text();

 private:
  void Restore();

  std::FILE* m_file = nullptr;
  int m_saved = -1;
};
