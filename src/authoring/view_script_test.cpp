// The route page's style and script as the program carries them: the
// files beside this one, byte for byte, and nothing in them that would end
// their element of the page early.
#include "authoring/view_script.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cctype>
#include <filesystem>

#include "testing/scratch_dir.h"

namespace tratta {

namespace {

struct Incluso {
  const char* file;  // beside this source
  std::string_view testo;
  const char* chiusura;  // the tag that ends its element in the page
};

std::vector<Incluso> inclusi() {
  return {{"view_page.css", stile_pagina(), "</style"},
          {"view_page.js", script_pagina(), "</script"}};
}

TEST(ViewScript, TheProgramCarriesTheFilesByteForByte) {
  for (const Incluso& c : inclusi()) {
    SCOPED_TRACE(c.file);
    // The build names this source by its full path.
    const std::string file =
        testing::read_bytes(std::filesystem::path(__FILE__).parent_path() / c.file);
    ASSERT_FALSE(file.empty());
    ASSERT_EQ(c.testo.size(), file.size());
    const auto diversi = std::mismatch(file.begin(), file.end(), c.testo.begin());
    EXPECT_EQ(diversi.first, file.end())
        << "first different byte at " << diversi.first - file.begin();
  }
}

TEST(ViewScript, NothingEndsItsElementEarly) {
  for (const Incluso& c : inclusi()) {
    SCOPED_TRACE(c.file);
    std::string minuscolo(c.testo);
    std::transform(minuscolo.begin(), minuscolo.end(), minuscolo.begin(),
                   [](unsigned char k) { return static_cast<char>(std::tolower(k)); });
    EXPECT_EQ(minuscolo.find(c.chiusura), std::string::npos);
    EXPECT_EQ(minuscolo.find("<!--"), std::string::npos);
  }
}

}  // namespace

}  // namespace tratta
