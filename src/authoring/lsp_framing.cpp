#include "authoring/lsp_framing.h"

#include <algorithm>
#include <cctype>
#include <charconv>

namespace tratta {

namespace {

/// The longest header line kept whole; of a longer one only its end is
/// kept, where the next header may start after bytes that are no message.
constexpr std::size_t kLongestHeader = 1024;
constexpr std::string_view kLengthField = "content-length";

/// Where "Content-Length" starts in `line`, in any case; npos for nowhere.
std::size_t find_length_field(std::string_view line) {
  const auto at = std::search(line.begin(), line.end(), kLengthField.begin(), kLengthField.end(),
                              [](char a, char b) {
                                return std::tolower(static_cast<unsigned char>(a)) == b;
                              });
  return at == line.end() ? std::string_view::npos : static_cast<std::size_t>(at - line.begin());
}

/// "N bytes that are no message passed over".
Frame passed_over(std::size_t n, std::string_view why) {
  return {Frame::Kind::kBroken, std::to_string(n) + (n == 1 ? " byte" : " bytes") +
                                    " passed over: " + std::string(why)};
}

}  // namespace

int MessageReader::get() {
  if (at_ == buffer_.size()) {
    if (ended_) return -1;
    buffer_.resize(1 << 14);
    at_ = 0;
    const platform::FileResult<std::size_t> n = in_.read_some(buffer_.data(), buffer_.size());
    buffer_.resize(n.ok() ? n.value() : 0);
    if (buffer_.empty()) {
      ended_ = true;
      return -1;
    }
  }
  return static_cast<unsigned char>(buffer_[at_++]);
}

bool MessageReader::take(std::size_t n, std::string* into) {
  while (n > 0) {
    if (at_ == buffer_.size()) {
      if (get() < 0) return false;
      --at_;
    }
    const std::size_t k = std::min(n, buffer_.size() - at_);
    if (into) into->append(buffer_, at_, k);
    at_ += k;
    n -= k;
  }
  return true;
}

bool MessageReader::header_line(std::string& line, std::size_t& dropped) {
  line.clear();
  for (int c; (c = get()) >= 0;) {
    if (c == '\n') {
      line_bytes_ = line.size() + 1;
      if (!line.empty() && line.back() == '\r') line.pop_back();
      return true;
    }
    line.push_back(static_cast<char>(c));
    if (line.size() > kLongestHeader) {
      // Only the end may still hold the start of a header.
      const std::size_t cut = line.size() - kLongestHeader / 2;
      line.erase(0, cut);
      dropped += cut;
    }
  }
  dropped += line.size();
  return false;
}

Frame MessageReader::next() {
  if (!ready_.empty()) {
    Frame f = std::move(ready_.front());
    ready_.pop_front();
    return f;
  }
  std::size_t length = 0;
  bool has_length = false;
  std::string unusable;  // a Content-Length that is no length
  bool header_seen = false;
  std::size_t skipped = 0;  // bytes before the header that are no part of it
  for (std::string line;;) {
    if (!header_line(line, skipped)) {
      if (skipped > 0) ready_.push_back(passed_over(skipped, "the stream ended"));
      ready_.push_back({});
      return next();
    }
    if (line.empty()) {
      if (!header_seen) continue;  // blank lines between messages
      break;
    }
    std::size_t field = find_length_field(line);
    if (field == std::string::npos) {
      // Another field of the header; before any header, bytes that are
      // none (a body sent without one).
      if (!header_seen && line.find(':') == std::string::npos) skipped += line_bytes_;
      else header_seen = true;
      continue;
    }
    if (field > 0) {
      // A header after bytes that are no message: it starts here.
      skipped += field;
      has_length = false;
      unusable.clear();
    }
    header_seen = true;
    std::string_view value = std::string_view(line).substr(field + kLengthField.size());
    const auto not_space = [](char c) { return c != ' ' && c != '\t'; };
    value.remove_prefix(std::find_if(value.begin(), value.end(), not_space) - value.begin());
    if (value.empty() || value.front() != ':') {
      unusable = std::string(value.substr(0, 40));
      continue;
    }
    value.remove_prefix(1);
    value.remove_prefix(std::find_if(value.begin(), value.end(), not_space) - value.begin());
    while (!value.empty() && !not_space(value.back())) value.remove_suffix(1);
    std::size_t n = 0;
    const auto [end, error] = std::from_chars(value.data(), value.data() + value.size(), n);
    has_length = error == std::errc() && end == value.data() + value.size() && !value.empty();
    length = has_length ? n : 0;
    unusable = has_length ? std::string() : std::string(value.substr(0, 40));
  }
  if (skipped > 0) ready_.push_back(passed_over(skipped, "no message starts there"));
  Frame f;
  if (!has_length) {
    f = {Frame::Kind::kBroken, unusable.empty()
                                   ? "a message without a Content-Length"
                                   : "a message whose Content-Length '" + unusable +
                                         "' is no length: passed over"};
  } else if (length > largest_) {
    // Read past, so that the next message is found where it starts.
    take(length, nullptr);
    f = {Frame::Kind::kBroken, "a message of " + std::to_string(length) + " bytes, larger than " +
                                   std::to_string(largest_) + ": dropped"};
  } else {
    f.kind = Frame::Kind::kMessage;
    f.body.reserve(length);
    if (!take(length, &f.body)) f = {};
  }
  if (ready_.empty()) return f;
  // What was passed over is told first, then what came after it.
  ready_.push_back(std::move(f));
  return next();
}

void write_message(std::ostream& out, std::string_view json) {
  out << "Content-Length: " << json.size() << "\r\n\r\n";
  out.write(json.data(), static_cast<std::streamsize>(json.size()));
  out.flush();
}

}  // namespace tratta
