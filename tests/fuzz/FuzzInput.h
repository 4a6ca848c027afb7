#pragma once

#include <cstddef>
#include <cstdint>
#include <string>

// An in-memory file that a fuzz input is written to, so that the game's own
// file-opening code reads it by name as it would read an asset.
class FuzzInput {
 public:
  FuzzInput();
  ~FuzzInput();
  FuzzInput(const FuzzInput&) = delete;
  FuzzInput& operator=(const FuzzInput&) = delete;

  // Replaces the file's contents; false when it cannot be written.
  bool Write(const std::uint8_t* data, std::size_t size);
  const char* Path() const { return m_path.c_str(); }

 private:
  int m_fd = -1;
  std::string m_path;
};
