#include "tests/fuzz/FuzzInput.h"

#include <sys/mman.h>
#include <unistd.h>

FuzzInput::FuzzInput() : m_fd(memfd_create("fuzz-input", MFD_CLOEXEC)) {
  if (m_fd >= 0) m_path = "/proc/self/fd/" + std::to_string(m_fd);
}

FuzzInput::~FuzzInput() {
  if (m_fd >= 0) close(m_fd);
}

bool FuzzInput::Write(const std::uint8_t* data, std::size_t size) {
  if (m_fd < 0 || ftruncate(m_fd, 0) != 0) return false;
  std::size_t done = 0;
  while (done < size) {
    const ssize_t wrote = pwrite(m_fd, data + done, size - done, static_cast<off_t>(done));
    if (wrote <= 0) return false;
    done += static_cast<std::size_t>(wrote);
  }
  return true;
}
