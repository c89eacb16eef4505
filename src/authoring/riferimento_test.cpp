#include "authoring/riferimento.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>

#include "model/catalogo_codici.h"
#include "reader/tabella_record.h"
#include "testing/scratch_dir.h"

namespace tratta {

#ifndef _WIN32
// docs/descriptions.md is what the table of records and the catalogue
// give: a record or a code changed without it fails here. The text made
// is left beside the build, to copy over the committed one. (The Linux
// build checks it; the Windows one runs where the source tree has no
// path of its own.)
TEST(Riferimento, TheCommittedReferenceIsTheGeneratedOne) {
  const std::string fatto = riferimento_descrizioni();
  const std::filesystem::path committed = TRATTA_DOCS_DIR "/descriptions.md";
  if (testing::read_bytes(committed) != fatto) {
    const std::filesystem::path nuovo = std::filesystem::current_path() / "descriptions.md";
    std::ofstream(nuovo, std::ios::binary) << fatto;
    FAIL() << committed << " differs from what the table of records and the catalogue give: "
           << "the text they give is in " << nuovo << ", to copy over it";
  }
}
#endif

// Every record and every code stands in it, with its example and its mend.
TEST(Riferimento, NamesEveryRecordAndCode) {
  const std::string r = riferimento_descrizioni();
  for (const DefinizioneRecord& d : kTabellaRecord) {
    EXPECT_NE(r.find("#### " + std::string(d.nome) + "\n"), std::string::npos) << d.nome;
    EXPECT_NE(r.find("    " + std::string(d.esempio) + "\n"), std::string::npos) << d.nome;
  }
  for (const Codice& c : kCatalogoCodici) {
    if (c.numero == 0) continue;
    EXPECT_FALSE(c.rimedio.empty()) << c.numero;
    EXPECT_NE(r.find("| " + std::to_string(c.numero) + " | " + std::string(c.frase)), std::string::npos)
        << c.numero;
  }
}

}  // namespace tratta
