#include "platform/QuietStderr.h"

#include <fcntl.h>
#include <unistd.h>

QuietStderr::QuietStderr() {
  const int null = open("/dev/null", O_WRONLY | O_CLOEXEC);
  if (null < 0) return;
  m_saved = fcntl(STDERR_FILENO, F_DUPFD_CLOEXEC, 3);
  if (m_saved >= 0) dup2(null, STDERR_FILENO);
  close(null);
}

QuietStderr::~QuietStderr() {
  if (m_saved < 0) return;
  dup2(m_saved, STDERR_FILENO);
  close(m_saved);
}
