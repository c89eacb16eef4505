// The framing of the editor's messages, whole and broken.
#include "authoring/lsp_framing.h"

#include <gtest/gtest.h>

#include <sstream>
#include <utility>
#include <vector>

namespace tratta {

namespace {

using Kind = Frame::Kind;

std::vector<std::pair<Kind, std::string>> frames(std::string stream, std::size_t largest,
                                                 std::size_t piece = 1 << 16) {
  platform::BytesInMemory in(std::move(stream), piece);
  MessageReader reader(in, largest);
  std::vector<std::pair<Kind, std::string>> out;
  for (;;) {
    Frame f = reader.next();
    out.emplace_back(f.kind, f.body);
    if (f.kind == Kind::kEnd) return out;
  }
}

}  // namespace

// Messages one after another, headers in any case, blank lines between
// them; a message without a length or too long is dropped and the next
// one read; the same whether the bytes come at once or one at a time.
TEST(Framing, ReadsMessagesOneAfterAnother) {
  const std::string stream = "Content-Length: 2\r\n\r\n{}"
                             "\r\ncontent-length:3\r\nContent-Type: x\r\n\r\n[1]"
                             "X-Other: 1\r\n\r\n"
                             "Content-Length: 10\r\n\r\n0123456789"
                             "Content-Length: 4\r\n\r\nnull";
  const std::vector<std::pair<Kind, std::string>> expected = {
      {Kind::kMessage, "{}"},
      {Kind::kMessage, "[1]"},
      {Kind::kBroken, "a message without a Content-Length"},
      {Kind::kBroken, "a message of 10 bytes, larger than 8: dropped"},
      {Kind::kMessage, "null"},
      {Kind::kEnd, ""},
  };
  EXPECT_EQ(frames(stream, 8), expected);
  EXPECT_EQ(frames(stream, 8, 1), expected);

  std::ostringstream out;
  write_message(out, "{\"a\":\"\xC3\xA0\"}");
  EXPECT_EQ(out.str(), "Content-Length: 10\r\n\r\n{\"a\":\"\xC3\xA0\"}");
}

// After whatever breaks the framing, the next well-framed message is read:
// the reader says what it passed over and finds the next header, even when
// it follows a body on the same line.
TEST(Framing, FindsTheNextMessageAfterAnyBreak) {
  const std::string good = "Content-Length: 7\r\n\r\n{\"a\":1}";
  struct Case {
    const char* name;
    std::string broken;
    std::vector<std::pair<Kind, std::string>> said;  // before the good message
  } cases[] = {
      {"a negative length", "Content-Length: -5\r\n\r\n{\"x\":2}",
       {{Kind::kBroken, "a message whose Content-Length '-5' is no length: passed over"},
        {Kind::kBroken, "7 bytes passed over: no message starts there"}}},
      {"a length that is no number", "Content-Length: abc\r\n\r\n{}",
       {{Kind::kBroken, "a message whose Content-Length 'abc' is no length: passed over"},
        {Kind::kBroken, "2 bytes passed over: no message starts there"}}},
      {"a length past any number", "Content-Length: 99999999999999999999999\r\n\r\n",
       {{Kind::kBroken, "a message whose Content-Length '99999999999999999999999' is no length: passed over"}}},
      {"a body with no header", "{\"jsonrpc\":\"2.0\",\"id\":1}",
       {{Kind::kBroken, "24 bytes passed over: no message starts there"}}},
      {"a body with no header, on lines of its own", "{\n\"id\": 1\n}\n",
       {{Kind::kBroken, "2 bytes passed over: no message starts there"}}},
      {"a long line of no header", std::string(5000, 'x'),
       {{Kind::kBroken, "5000 bytes passed over: no message starts there"}}},
      {"bytes between messages", "\r\n\r\nhello\r\n",
       {{Kind::kBroken, "7 bytes passed over: no message starts there"}}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    std::vector<std::pair<Kind, std::string>> expected = c.said;
    expected.emplace_back(Kind::kMessage, "{\"a\":1}");
    expected.emplace_back(Kind::kMessage, "{\"a\":1}");
    expected.emplace_back(Kind::kEnd, "");
    EXPECT_EQ(frames(c.broken + good + good, 1 << 20), expected);
    EXPECT_EQ(frames(c.broken + good + good, 1 << 20, 3), expected);
  }
  // What the stream ends with is said too.
  EXPECT_EQ(frames(good + "garbage", 1 << 20),
            (std::vector<std::pair<Kind, std::string>>{{Kind::kMessage, "{\"a\":1}"},
                                                       {Kind::kBroken, "7 bytes passed over: the stream ended"},
                                                       {Kind::kEnd, ""}}));
}

}  // namespace tratta
