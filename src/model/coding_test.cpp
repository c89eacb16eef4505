#include "model/coding.h"

#include <gtest/gtest.h>

#include <cmath>
#include <limits>

namespace tratta {

TEST(Coding, EveryFieldReadsBackWhatWasPut) {
  std::string b;
  put_u8(b, 0xFE);
  put_i16(b, -2);
  put_u16(b, 0xBEEF);
  put_i32(b, -123456789);
  put_u32(b, 0xDEADBEEF);
  put_f64(b, -0.1);
  put_f64(b, std::numeric_limits<double>::denorm_min());
  put_bytes(b, "abc");
  ASSERT_EQ(b.size(), 1u + 2 + 2 + 4 + 4 + 8 + 8 + 3);
  // Little-endian, low byte first.
  EXPECT_EQ(static_cast<unsigned char>(b[1]), 0xFE);
  EXPECT_EQ(static_cast<unsigned char>(b[2]), 0xFF);

  ByteCursor c(b);
  uint8_t u8 = 0;
  int16_t i16 = 0;
  uint16_t u16 = 0;
  int32_t i32 = 0;
  uint32_t u32 = 0;
  double d1 = 0, d2 = 0;
  std::string_view testo;
  ASSERT_TRUE(c.get_u8(u8) && c.get_i16(i16) && c.get_u16(u16) && c.get_i32(i32) &&
              c.get_u32(u32) && c.get_f64(d1) && c.get_f64(d2) && c.get_bytes(3, testo));
  EXPECT_EQ(u8, 0xFE);
  EXPECT_EQ(i16, -2);
  EXPECT_EQ(u16, 0xBEEF);
  EXPECT_EQ(i32, -123456789);
  EXPECT_EQ(u32, 0xDEADBEEFu);
  EXPECT_EQ(d1, -0.1);
  EXPECT_EQ(d2, std::numeric_limits<double>::denorm_min());
  EXPECT_EQ(testo, "abc");
  EXPECT_TRUE(c.at_end());
}

// A field that would run past the end reads nothing and leaves the cursor
// where the field began, whatever its width.
TEST(Coding, CursorNeverReadsPastTheEnd) {
  struct Caso {
    const char* nome;
    size_t byte;   // bytes in the buffer
    size_t prima;  // bytes read before the field
    bool (*leggi)(ByteCursor&);
  };
  const Caso casi[] = {
      {"u8 at the end", 3, 3,
       [](ByteCursor& c) {
         uint8_t v;
         return c.get_u8(v);
       }},
      {"u16 one byte short", 3, 2,
       [](ByteCursor& c) {
         uint16_t v;
         return c.get_u16(v);
       }},
      {"i16 on nothing", 0, 0,
       [](ByteCursor& c) {
         int16_t v;
         return c.get_i16(v);
       }},
      {"u32 three bytes short", 4, 3,
       [](ByteCursor& c) {
         uint32_t v;
         return c.get_u32(v);
       }},
      {"i32 one byte short", 4, 1,
       [](ByteCursor& c) {
         int32_t v;
         return c.get_i32(v);
       }},
      {"f64 one byte short", 8, 1,
       [](ByteCursor& c) {
         double v;
         return c.get_f64(v);
       }},
      {"bytes one short", 5, 1,
       [](ByteCursor& c) {
         std::string_view v;
         return c.get_bytes(5, v);
       }},
      {"bytes far too many", 5, 0,
       [](ByteCursor& c) {
         std::string_view v;
         return c.get_bytes(SIZE_MAX, v);
       }},
  };
  for (const Caso& k : casi) {
    SCOPED_TRACE(k.nome);
    const std::string b(k.byte, '\x5A');
    ByteCursor c(b);
    std::string_view saltati;
    ASSERT_TRUE(c.get_bytes(k.prima, saltati));
    EXPECT_FALSE(k.leggi(c));
    EXPECT_EQ(c.offset(), k.prima);
    EXPECT_EQ(c.remaining(), k.byte - k.prima);
  }
}

TEST(Coding, DecodeReadsWhatEncodeWrote) {
  char b[8];
  encode_u16(b, 0x1234);
  EXPECT_EQ(decode_u16(b), 0x1234);
  encode_u32(b, 0x89ABCDEF);
  EXPECT_EQ(decode_u32(b), 0x89ABCDEFu);
  for (double v : {0.0, -0.0, 1.5, -1e300, std::numeric_limits<double>::infinity()}) {
    encode_f64(b, v);
    EXPECT_EQ(decode_f64(b), v);
    EXPECT_EQ(std::signbit(decode_f64(b)), std::signbit(v));
  }
}

}  // namespace tratta
