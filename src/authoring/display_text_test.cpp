#include "authoring/display_text.h"

#include <gtest/gtest.h>

#include <limits>

namespace tratta {

TEST(DisplayText, TerminalAndJson) {
  struct Case {
    std::string testo, terminale, json;
  } cases[] = {
      {"pendenza, 500", "pendenza, 500", "\"pendenza, 500\""},
      {"citt\xC3\xA0 \xE6\x97\xA5", "citt\xC3\xA0 \xE6\x97\xA5", "\"citt\xC3\xA0 \xE6\x97\xA5\""},
      {"\xE8 \xB0", "\\xe8 \\xb0", "\"\\u00e8 \\u00b0\""},
      {"a\"b\\c", "a\"b\\c", "\"a\\\"b\\\\c\""},
      {std::string("\0\r\n\t\x7F", 5), "\\x00\\x0d\\x0a\\x09\\x7f",
       "\"\\u0000\\u000d\\u000a\\u0009\\u007f\""},
      // A UTF-8 lead byte without its continuation is a byte like any other.
      {"\xC3(", "\\xc3(", "\"\\u00c3(\""},
      {"\xF0\x9F\x98", "\\xf0\\x9f\\x98", "\"\\u00f0\\u009f\\u0098\""},
      // Well-formed in shape only: an overlong '/', a surrogate, a code
      // point above U+10FFFF.
      {"\xE0\x80\xAF", "\\xe0\\x80\\xaf", "\"\\u00e0\\u0080\\u00af\""},
      {"\xED\xA0\x80", "\\xed\\xa0\\x80", "\"\\u00ed\\u00a0\\u0080\""},
      {"\xF4\x90\x80\x80", "\\xf4\\x90\\x80\\x80", "\"\\u00f4\\u0090\\u0080\\u0080\""},
      // The edges that are well-formed: U+D7FF, U+E000, U+10FFFF.
      {"\xED\x9F\xBF\xEE\x80\x80\xF4\x8F\xBF\xBF", "\xED\x9F\xBF\xEE\x80\x80\xF4\x8F\xBF\xBF",
       "\"\xED\x9F\xBF\xEE\x80\x80\xF4\x8F\xBF\xBF\""},
      // A C1 control is shown, not passed to the terminal.
      {"\xC2\x9B" "2J", "\\xc2\\x9b2J", "\"\\u009b2J\""},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(visibile(c.testo), c.terminale);
    EXPECT_EQ(json_stringa(c.testo), c.json);
  }
  EXPECT_EQ(visibile(std::string(300, 'x')), std::string(200, 'x') + "...");
  EXPECT_EQ(visibile("abcdef", 3), "abc...");
}

// A plan read from a foreign file may hold any double: its figures are
// written whole, never cut short.
TEST(DisplayText, FixedFiguresOfAnyDouble) {
  EXPECT_EQ(fisso(-61.25, 1), "-61.2");
  EXPECT_EQ(fisso(1e300, 1).size(), 303u);
  const std::string piu_grande = fisso(-std::numeric_limits<double>::max(), 2);
  EXPECT_EQ(piu_grande.substr(0, 18), "-17976931348623157");
  EXPECT_EQ(piu_grande.substr(piu_grande.size() - 3), ".00");
  EXPECT_EQ(piu_grande.size(), 313u);
}

}  // namespace tratta
