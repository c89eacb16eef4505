#include "reader/field_reader.h"

#include <gtest/gtest.h>

#include <vector>

namespace tratta {

TEST(FieldReader, TextFields) {
  FieldReader in(
      "  pendenza,  950,\r\n"
      "\r\n"
      "     \r\n"
      "(GALLERIA)(  Monte  )   ,x\n"
      "\"a, quoted\" junk, next\r"
      "last");
  struct Atteso {
    std::string testo;
    int riga;
  };
  const std::vector<Atteso> attesi = {{"pendenza", 1}, {"950", 1},  {"", 1},
                                      {"", 2},         {"", 3},     {"(GALLERIA)(  Monte  )   ", 4},
                                      {"x", 4},        {"a, quoted", 5}, {"next", 5},
                                      {"last", 6}};
  for (const Atteso& a : attesi) {
    ASSERT_FALSE(in.fine());
    EXPECT_EQ(in.leggi_testo(), a.testo);
    EXPECT_EQ(in.riga_ultimo_campo(), a.riga) << a.testo;
  }
  EXPECT_TRUE(in.fine());
  EXPECT_THROW(in.leggi_testo(), ErroreLettura);
}

TEST(FieldReader, NumericFields) {
  FieldReader in("orologio,    7               6             30 \r\n"
                 "velocita' limite ,     0    ,   30\r\n"
                 "pendenza  , 253550   , -4\r\n"
                 "+12,-2147483648,2147483647\n");
  EXPECT_EQ(in.leggi_testo(), "orologio");
  for (int32_t atteso : {7, 6, 30}) EXPECT_EQ(in.leggi_numero(), atteso);
  // The line end after the last number is consumed with it.
  EXPECT_EQ(in.leggi_testo(), "velocita' limite ");
  EXPECT_EQ(in.leggi_numero(), 0);
  EXPECT_EQ(in.leggi_numero(), 30);
  EXPECT_EQ(in.leggi_testo(), "pendenza  ");
  EXPECT_EQ(in.leggi_numero(), 253550);
  EXPECT_EQ(in.leggi_numero(), -4);
  EXPECT_EQ(in.riga_ultimo_campo(), 3);
  EXPECT_EQ(in.leggi_numero(), 12);
  EXPECT_EQ(in.leggi_numero(), INT32_MIN);
  EXPECT_EQ(in.leggi_numero(), INT32_MAX);
  EXPECT_TRUE(in.fine());
}

TEST(FieldReader, RefusedNumbers) {
  for (const char* testo : {"abc", "12abc", "1.5", "", ",", "- 5", "2147483648", "-2147483649",
                            "99999999999999999999", "\r\n"}) {
    FieldReader in(testo);
    if (in.fine()) {
      EXPECT_THROW(in.leggi_numero(), ErroreLettura) << "at end";
      continue;
    }
    EXPECT_THROW(in.leggi_numero(), ErroreLettura) << testo;
  }
}

TEST(FieldReader, TabsAreNotBlanks) {
  // A tab before, inside or after a number, blanks aside, makes the field
  // no whole number, and the failure says that a tab stands there.
  for (const char* testo : {"\t5", " \t5", "-\t5", "5\t", "5\t6", "5\t,6", "5 \t", "5  \t\r\n"}) {
    FieldReader in(testo);
    try {
      in.leggi_numero();
      ADD_FAILURE() << "read a number from '" << testo << "'";
    } catch (const ErroreLettura& e) {
      EXPECT_NE(std::string(e.what()).find("a tab stands there"), std::string::npos)
          << testo << ": " << e.what();
    }
  }
  try {
    FieldReader("12abc").leggi_numero();
    ADD_FAILURE() << "read a number from '12abc'";
  } catch (const ErroreLettura& e) {
    EXPECT_EQ(std::string(e.what()), "not a whole number: '12abc'");
  }
  // Spaces still separate numbers; in a text field a tab is kept.
  FieldReader in("5 6,\tpendenza\t, 7\r\n");
  EXPECT_EQ(in.leggi_numero(), 5);
  EXPECT_EQ(in.leggi_numero(), 6);
  EXPECT_EQ(in.leggi_testo(), "\tpendenza\t");
  EXPECT_EQ(in.leggi_numero(), 7);
  EXPECT_TRUE(in.fine());
}

}  // namespace tratta
