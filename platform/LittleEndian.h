#pragma once

#include <cstdint>

// Fields of file headers (BMP, RIFF WAVE) stored least significant byte
// first, read whatever the machine's own byte order.
inline std::uint16_t ReadLittle16(const unsigned char* at) {
  return static_cast<std::uint16_t>(at[0] | (at[1] << 8));
}

inline std::uint32_t ReadLittle32(const unsigned char* at) {
  return static_cast<std::uint32_t>(at[0]) | (static_cast<std::uint32_t>(at[1]) << 8) |
         (static_cast<std::uint32_t>(at[2]) << 16) | (static_cast<std::uint32_t>(at[3]) << 24);
}
