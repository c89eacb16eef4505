// Fixed records of the scenario files as tables of fields.
//
// A record is a row of little-endian fields packed without gaps, each held
// by a member of a struct of the model. A record's layout is written down
// once, as a tuple of RecordField: the field's name, its offset in the
// record and the member that holds it. The member's type gives the width
// on file:
//
//   uint8_t      1 byte, unsigned
//   int16_t      2 bytes, signed
//   int32_t      4 bytes, signed
//   std::string  a 16-bit length, then that many bytes
//
// The encoder, the decoder and whatever lists the fields walk the same
// tuple; the walk is unrolled at compile time, so a record costs what the
// field-by-field code would. A text counts in the offsets as its length
// field: the fields after it lie that many bytes further on.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>
#include <tuple>
#include <type_traits>

#include "model/coding.h"

namespace tratta {

template <typename Record, typename T>
struct RecordField {
  using Type = T;

  std::string_view name;
  size_t offset;  ///< from the start of the record
  T Record::*member;

  /// Bytes of the field; for a text, those of its length.
  static constexpr size_t width = std::is_same_v<T, std::string> ? 2 : sizeof(T);
};

/// A field of `Record` held in `member`, at `offset`.
template <typename Record, typename T>
constexpr RecordField<Record, T> field(std::string_view name, size_t offset, T Record::*member) {
  static_assert(std::is_same_v<T, uint8_t> || std::is_same_v<T, int16_t> ||
                    std::is_same_v<T, int32_t> || std::is_same_v<T, std::string>,
                "a record field is uint8_t, int16_t, int32_t or a text");
  return {name, offset, member};
}

/// Calls `fn(f)` for every field `f` of `fields`, in order.
template <typename Fields, typename Fn>
constexpr void for_each_field(const Fields& fields, Fn&& fn) {
  std::apply([&](const auto&... f) { (fn(f), ...); }, fields);
}

/// Bytes of the record's fixed part: every field's width, a text's length
/// field but not its bytes.
template <typename Fields>
constexpr size_t fixed_size(const Fields& fields) {
  size_t n = 0;
  for_each_field(fields, [&](const auto& f) { n += f.width; });
  return n;
}

/// Whether every field starts where the one before it ends, the first at 0:
/// the offsets of the table agree with the widths of its members.
template <typename Fields>
constexpr bool fields_packed(const Fields& fields) {
  size_t next = 0;
  bool packed = true;
  for_each_field(fields, [&](const auto& f) {
    packed = packed && f.offset == next;
    next += f.width;
  });
  return packed;
}

/// Appends one field. A text's length is its size's low 16 bits: the
/// model keeps texts to 65535 bytes.
template <typename T>
void put_field(std::string& out, const T& v) {
  if constexpr (std::is_same_v<T, uint8_t>) {
    put_u8(out, v);
  } else if constexpr (std::is_same_v<T, int16_t>) {
    put_i16(out, v);
  } else if constexpr (std::is_same_v<T, int32_t>) {
    put_i32(out, v);
  } else {
    static_assert(std::is_same_v<T, std::string>);
    put_u16(out, static_cast<uint16_t>(v.size()));
    put_bytes(out, v);
  }
}

/// Reads one field; false when the bytes end inside it.
template <typename T>
bool get_field(ByteCursor& c, T& v) {
  if constexpr (std::is_same_v<T, uint8_t>) {
    return c.get_u8(v);
  } else if constexpr (std::is_same_v<T, int16_t>) {
    return c.get_i16(v);
  } else if constexpr (std::is_same_v<T, int32_t>) {
    return c.get_i32(v);
  } else {
    static_assert(std::is_same_v<T, std::string>);
    uint16_t n = 0;
    std::string_view bytes;
    if (!(c.get_u16(n) && c.get_bytes(n, bytes))) return false;
    v.assign(bytes);
    return true;
  }
}

/// Appends the fields of `r`, in the order of `fields`.
template <typename Record, typename Fields>
void put_record(std::string& out, const Record& r, const Fields& fields) {
  for_each_field(fields, [&](const auto& f) { put_field(out, r.*f.member); });
}

/// Reads the fields of `r`, in the order of `fields`; false when the bytes
/// end inside one (the fields before it are read, the rest left as they
/// were).
template <typename Record, typename Fields>
bool get_record(ByteCursor& c, Record& r, const Fields& fields) {
  return std::apply([&](const auto&... f) { return (get_field(c, r.*f.member) && ...); }, fields);
}

}  // namespace tratta
