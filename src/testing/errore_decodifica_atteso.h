// The check shared by the decoders' tests: a scenario file refused with
// its name, the byte where it stops making sense, and what was found.
#pragma once

#include <cstddef>
#include <optional>
#include <string>
#include <string_view>

#include <gtest/gtest.h>

#include "model/errore_decodifica.h"

namespace tratta::testing {

inline void controlla_errore(const std::optional<ErroreDecodifica>& e, std::string_view file,
                             std::size_t offset, std::string_view cosa) {
  ASSERT_TRUE(e.has_value());
  EXPECT_EQ(e->offset, offset);
  EXPECT_NE(e->cosa.find(cosa), std::string::npos) << e->cosa;
  EXPECT_EQ(e->testo().rfind(std::string(file) + ": byte " + std::to_string(offset) + ": ", 0), 0u)
      << e->testo();
}

}  // namespace tratta::testing
