#include "tests/support/StderrCapture.h"

#include <unistd.h>

StderrCapture::StderrCapture() : m_file(std::tmpfile()) {
  if (m_file == nullptr) return;
  std::fflush(stderr);
  m_saved = dup(STDERR_FILENO);
  dup2(fileno(m_file), STDERR_FILENO);
}

StderrCapture::~StderrCapture() {
  Restore();
  if (m_file != nullptr) std::fclose(m_file);
}

std::string StderrCapture::Text() {
  Restore();
  if (m_file == nullptr) return {};
  std::string text;
  std::rewind(m_file);
  char buffer[4096];
  std::size_t got = 0;
  while ((got = std::fread(buffer, 1, sizeof buffer, m_file)) > 0) text.append(buffer, got);
  return text;
}

void StderrCapture::Restore() {
  if (m_saved < 0) return;
  std::fflush(stderr);
  dup2(m_saved, STDERR_FILENO);
  close(m_saved);
  m_saved = -1;
}
