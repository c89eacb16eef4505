#include "model/record_field.h"

#include <gtest/gtest.h>

namespace tratta {

namespace {

struct Prova {
  uint8_t a = 0;
  std::string t;
  int16_t b = 0;
  int32_t c = 0;

  bool operator==(const Prova&) const = default;
};

constexpr std::tuple kCampi{field("a", 0, &Prova::a), field("t", 1, &Prova::t),
                            field("b", 3, &Prova::b), field("c", 5, &Prova::c)};
static_assert(fixed_size(kCampi) == 9);
static_assert(fields_packed(kCampi));
// An offset that leaves a gap or overlaps the field before.
static_assert(!fields_packed(std::tuple{field("a", 0, &Prova::a), field("b", 2, &Prova::b)}));
static_assert(!fields_packed(std::tuple{field("c", 0, &Prova::c), field("b", 3, &Prova::b)}));
static_assert(!fields_packed(std::tuple{field("b", 1, &Prova::b)}));

}  // namespace

TEST(RecordField, FieldsInTableOrderLittleEndianWithTheTextAfterItsLength) {
  const Prova p{0xF1, "xyz", -2, 0x01020304};
  std::string b;
  put_record(b, p, kCampi);
  EXPECT_EQ(b, std::string("\xF1\x03\x00xyz\xFE\xFF\x04\x03\x02\x01", 12));

  Prova letto;
  ByteCursor c(b);
  ASSERT_TRUE(get_record(c, letto, kCampi));
  EXPECT_TRUE(c.at_end());
  EXPECT_EQ(letto, p);

  std::vector<std::string_view> nomi;
  for_each_field(kCampi, [&](const auto& f) { nomi.push_back(f.name); });
  EXPECT_EQ(nomi, (std::vector<std::string_view>{"a", "t", "b", "c"}));
}

TEST(RecordField, RecordCutShortReadsTheFieldsBeforeTheCut) {
  const Prova p{7, std::string(300, 'n'), -300, -5};
  std::string b;
  put_record(b, p, kCampi);
  ASSERT_EQ(b.size(), 9u + 300);
  const struct {
    size_t byte;  // bytes left of the record
    Prova atteso;
  } casi[] = {
      {0, {}},
      {1, {7, "", 0, 0}},
      {2, {7, "", 0, 0}},                    // inside the text's length
      {3 + 299, {7, "", 0, 0}},              // inside the text
      {3 + 300 + 1, {7, p.t, 0, 0}},         // inside b
      {3 + 300 + 2 + 3, {7, p.t, -300, 0}},  // inside c
  };
  for (const auto& k : casi) {
    SCOPED_TRACE(k.byte);
    Prova letto;
    ByteCursor c(std::string_view(b).substr(0, k.byte));
    EXPECT_FALSE(get_record(c, letto, kCampi));
    EXPECT_EQ(letto, k.atteso);
  }
}

}  // namespace tratta
