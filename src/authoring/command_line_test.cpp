#include "authoring/command_line.h"

#include <gtest/gtest.h>

namespace tratta {

TEST(CommandLine, SizesInBytesOrWithAUnit) {
  struct Caso {
    const char* testo;
    std::optional<std::uint64_t> byte;
  } casi[] = {
      {"1", 1},
      {"4095", 4095},
      {"4K", 4096},
      {"4k", 4096},
      {"64M", std::uint64_t{64} << 20},
      {"2G", std::uint64_t{2} << 30},
      {"18446744073709551615", UINT64_MAX},
      {"17179869183G", std::uint64_t{17179869183} << 30},
      // Not a size.
      {"", std::nullopt},
      {"0", std::nullopt},
      {"0M", std::nullopt},
      {"K", std::nullopt},
      {"-1", std::nullopt},
      {"+1", std::nullopt},
      {" 1", std::nullopt},
      {"1 ", std::nullopt},
      {"1.5M", std::nullopt},
      {"1KB", std::nullopt},
      {"1MK", std::nullopt},
      {"1T", std::nullopt},
      {"0x10", std::nullopt},
      // Too large to count.
      {"18446744073709551616", std::nullopt},
      {"17179869184G", std::nullopt},
  };
  for (const Caso& c : casi) EXPECT_EQ(leggi_misura(c.testo), c.byte) << "'" << c.testo << "'";
}

}  // namespace tratta
