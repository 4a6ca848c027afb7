#include "platform/Diagnostics.h"

#include <fcntl.h>
#include <sys/uio.h>
#include <unistd.h>

#include <cerrno>
#include <cstdlib>
#include <cstring>

namespace {
constexpr std::string_view kPrefix = "christmas-pegs: ";

// Writes the pieces in order, picking up after a short write or a signal.
// A failure to write to standard error has nowhere to be reported.
void WriteAll(iovec* pieces, int count) {
  while (count > 0) {
    const ssize_t written = writev(STDERR_FILENO, pieces, count);
    if (written < 0) {
      if (errno == EINTR) continue;
      return;
    }
    auto left = static_cast<std::size_t>(written);
    while (count > 0 && left >= pieces->iov_len) {
      left -= pieces->iov_len;
      ++pieces;
      --count;
    }
    if (count > 0) {
      pieces->iov_base = static_cast<char*>(pieces->iov_base) + left;
      pieces->iov_len -= left;
    }
  }
}

iovec Piece(std::string_view text) { return {const_cast<char*>(text.data()), text.size()}; }
}  // namespace

void Diagnostics::Error(std::string_view message) {
  iovec pieces[] = {Piece(kPrefix), Piece(message), Piece("\n")};
  WriteAll(pieces, 3);
}

void Diagnostics::Text(std::string_view text) {
  iovec pieces[] = {Piece(text)};
  WriteAll(pieces, 1);
}

void Diagnostics::Trace(std::string_view text) {
  const char* target = std::getenv("CHRISTMAS_PEGS_TRACE");
  if (target == nullptr || *target == '\0') return;
  if (std::strcmp(target, "-") == 0) {
    Text(text);
    return;
  }
  const int fd = open(target, O_WRONLY | O_CREAT | O_APPEND | O_CLOEXEC, 0644);
  if (fd < 0) return;
  // A trace that cannot be written loses the text; the game goes on.
  if (write(fd, text.data(), text.size()) < 0) {
  }
  close(fd);
}
