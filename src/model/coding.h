// Fixed-width little-endian encoding into byte buffers.
//
// encode_* write into a buffer that already has room; put_* append to a
// string. The scenario files are built field by field with these, never by
// copying a struct, so neither padding nor host byte order reaches a file.
// They are read back the same way: decode_* read from a place the caller
// has checked, ByteCursor's get_* check every field against the end.
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

inline uint16_t decode_u16(const char* src) {
  return static_cast<uint16_t>(static_cast<unsigned char>(src[0]) |
                               (static_cast<unsigned char>(src[1]) << 8));
}

inline uint32_t decode_u32(const char* src) {
  return decode_u16(src) | (static_cast<uint32_t>(decode_u16(src + 2)) << 16);
}

/// IEEE 754 binary64, little-endian.
inline double decode_f64(const char* src) {
  const uint64_t bits = decode_u32(src) | (static_cast<uint64_t>(decode_u32(src + 4)) << 32);
  double v;
  std::memcpy(&v, &bits, sizeof v);
  return v;
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

inline void put_f64(std::string& out, double v) {
  char b[8];
  encode_f64(b, v);
  out.append(b, 8);
}

/// Reads fixed-width little-endian fields one after another from a byte
/// buffer. A get_* that would run past the end reads nothing, leaves the
/// cursor where it was and returns false; offset() then says where the
/// field began.
class ByteCursor {
 public:
  explicit ByteCursor(std::string_view bytes) : bytes_(bytes) {}

  size_t offset() const { return at_; }
  size_t remaining() const { return bytes_.size() - at_; }
  bool at_end() const { return at_ == bytes_.size(); }

  bool get_u8(uint8_t& v) {
    if (remaining() < 1) return false;
    v = static_cast<uint8_t>(bytes_[at_++]);
    return true;
  }
  bool get_u16(uint16_t& v) { return get(v, 2, decode_u16); }
  bool get_i16(int16_t& v) {
    uint16_t u;
    if (!get_u16(u)) return false;
    v = static_cast<int16_t>(u);
    return true;
  }
  bool get_u32(uint32_t& v) { return get(v, 4, decode_u32); }
  bool get_i32(int32_t& v) {
    uint32_t u;
    if (!get_u32(u)) return false;
    v = static_cast<int32_t>(u);
    return true;
  }
  bool get_f64(double& v) { return get(v, 8, decode_f64); }
  /// The next `n` bytes as they stand.
  bool get_bytes(size_t n, std::string_view& v) {
    if (remaining() < n) return false;
    v = bytes_.substr(at_, n);
    at_ += n;
    return true;
  }

 private:
  template <typename T, typename Decode>
  bool get(T& v, size_t n, Decode decode) {
    if (remaining() < n) return false;
    v = decode(bytes_.data() + at_);
    at_ += n;
    return true;
  }

  std::string_view bytes_;
  size_t at_ = 0;
};

}  // namespace tratta
