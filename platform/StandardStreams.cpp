#include "platform/StandardStreams.h"

#include <fcntl.h>
#include <unistd.h>

#include <cerrno>
#include <csignal>

void StandardStreams::OpenClosed() {
  for (int descriptor = 0; descriptor <= 2; ++descriptor) {
    if (fcntl(descriptor, F_GETFD) != -1 || errno != EBADF) continue;
    // The lowest free number: this one, as those below it are open now.
    const int opened = open("/dev/null", descriptor == 0 ? O_RDONLY : O_WRONLY);
    if (opened >= 0 && opened != descriptor) {
      dup2(opened, descriptor);
      close(opened);
    }
  }
  std::signal(SIGPIPE, SIG_IGN);
}
