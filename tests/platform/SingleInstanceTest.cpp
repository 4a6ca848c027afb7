#include <gtest/gtest.h>
#include <stdlib.h>

#include <filesystem>
#include <optional>
#include <string>

#include "platform/SingleInstance.h"

namespace {
// Sets an environment variable for the life of the object, or unsets it.
class ScopedEnv {
 public:
  ScopedEnv(const char* name, const char* value) : m_name(name) {
    if (const char* old = getenv(name)) m_old = old;
    if (value != nullptr) {
      setenv(name, value, 1);
    } else {
      unsetenv(name);
    }
  }
  ~ScopedEnv() {
    if (m_old) {
      setenv(m_name.c_str(), m_old->c_str(), 1);
    } else {
      unsetenv(m_name.c_str());
    }
  }
  ScopedEnv(const ScopedEnv&) = delete;
  ScopedEnv& operator=(const ScopedEnv&) = delete;

 private:
  std::string m_name;
  std::optional<std::string> m_old;
};
}  // namespace

// On a Wayland compositor alone (no DISPLAY) one game runs a display: a
// second start finds the first's claim while it lives, and only on the
// same display; a runtime folder that cannot be written stops nobody.
TEST(SingleInstance, OneGameAWaylandDisplay) {
  const std::filesystem::path runtime =
      std::filesystem::temp_directory_path() / ("pegs-runtime-" + std::to_string(getpid()));
  std::filesystem::create_directories(runtime);
  const ScopedEnv noX("DISPLAY", nullptr);
  const ScopedEnv runtimeDir("XDG_RUNTIME_DIR", runtime.c_str());
  {
    const ScopedEnv wayland("WAYLAND_DISPLAY", "wayland-7");
    EXPECT_FALSE(SingleInstance::BringRunningGameToFront()) << "nothing runs yet";
    {
      const SingleInstance first;
      EXPECT_TRUE(SingleInstance::BringRunningGameToFront());
      const ScopedEnv other("WAYLAND_DISPLAY", "/run/other/wayland-0");
      EXPECT_FALSE(SingleInstance::BringRunningGameToFront()) << "another compositor's display";
    }
    EXPECT_FALSE(SingleInstance::BringRunningGameToFront()) << "the first game has ended";
  }
  {
    const ScopedEnv wayland("WAYLAND_DISPLAY", "wayland-7");
    const ScopedEnv nowhere("XDG_RUNTIME_DIR", "/proc/no-such-folder");
    const SingleInstance claim;
    EXPECT_FALSE(SingleInstance::BringRunningGameToFront());
  }
  std::filesystem::remove_all(runtime);
}
