#include "model/windows1252.h"

#include <gtest/gtest.h>

namespace tratta {

TEST(Windows1252, EveryByteStringComesBackUnchanged) {
  std::string tutti;
  for (int b = 0; b < 256; ++b) tutti.push_back(static_cast<char>(b));
  const std::string testo = decode_windows1252(tutti);
  ASSERT_EQ(encode_windows1252(testo), tutti);
}

TEST(Windows1252, LettersOfTheCodePage) {
  const struct {
    const char* byte;
    const char* utf8;
  } casi[] = {
      {"CITT\xC0", "CITT\xC3\x80"},  // À
      {"citt\xE0", "citt\xC3\xA0"},  // à
      {"\x80", "\xE2\x82\xAC"},      // euro sign
      {"\x92", "\xE2\x80\x99"},      // right single quotation mark
      {"\x9F", "\xC5\xB8"},          // Ÿ
      {"\xB0", "\xC2\xB0"},          // degree sign
      {"\x81", "\xC2\x81"},          // unassigned: its own control character
      {"\"\\", "\"\\"},
  };
  for (const auto& k : casi) {
    SCOPED_TRACE(k.utf8);
    EXPECT_EQ(decode_windows1252(k.byte), k.utf8);
    EXPECT_EQ(encode_windows1252(k.utf8), k.byte);
  }
}

TEST(Windows1252, TextThatHasNoBytesIsRefused) {
  for (const char* t : {"\xE2\x82", "\xC3", "\xFF", "\xC0\x80", "\xED\xA0\x80", "\xE2\x86\x92",
                        "\xC2\x80", "\xF0\x9F\x9A\x82"})
    EXPECT_FALSE(encode_windows1252(t).has_value()) << t;
}

}  // namespace tratta
