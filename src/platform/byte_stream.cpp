#include "platform/byte_stream.h"

#include <algorithm>
#include <cstring>

namespace tratta::platform {

FileResult<std::size_t> BytesInMemory::read_some(char* into, std::size_t n) {
  if (cancelled_) return std::size_t{0};
  const std::size_t k = std::min({n, piece_, bytes_.size() - at_});
  std::memcpy(into, bytes_.data() + at_, k);
  at_ += k;
  return k;
}

}  // namespace tratta::platform
