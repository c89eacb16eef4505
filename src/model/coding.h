// Fixed-width little-endian encoding into byte buffers.
//
// encode_* write into a buffer that already has room; put_* append to a
// string. The scenario files are built field by field with these, never by
// copying a struct, so neither padding nor host byte order reaches a file.
#pragma once

#include <cstdint>
#include <cstring>
#include <string>
#include <string_view>

namespace tratta {

inline void encode_u16(char* dst, uint16_t v) {
  dst[0] = static_cast<char>(v & 0xFF);
  dst[1] = static_cast<char>(v >> 8);
}

inline void encode_u32(char* dst, uint32_t v) {
  dst[0] = static_cast<char>(v & 0xFF);
  dst[1] = static_cast<char>((v >> 8) & 0xFF);
  dst[2] = static_cast<char>((v >> 16) & 0xFF);
  dst[3] = static_cast<char>(v >> 24);
}

/// IEEE 754 binary64, little-endian.
inline void encode_f64(char* dst, double v) {
  uint64_t bits;
  std::memcpy(&bits, &v, sizeof bits);
  encode_u32(dst, static_cast<uint32_t>(bits));
  encode_u32(dst + 4, static_cast<uint32_t>(bits >> 32));
}

inline void put_u8(std::string& out, uint8_t v) { out.push_back(static_cast<char>(v)); }

inline void put_u16(std::string& out, uint16_t v) {
  char b[2];
  encode_u16(b, v);
  out.append(b, 2);
}

inline void put_i16(std::string& out, int16_t v) { put_u16(out, static_cast<uint16_t>(v)); }

inline void put_u32(std::string& out, uint32_t v) {
  char b[4];
  encode_u32(b, v);
  out.append(b, 4);
}

inline void put_i32(std::string& out, int32_t v) { put_u32(out, static_cast<uint32_t>(v)); }

inline void put_bytes(std::string& out, std::string_view bytes) { out.append(bytes); }

}  // namespace tratta
