#include "emitter/document_writer.h"

#include <gtest/gtest.h>

#include "emitter/documents.h"
#include "testing/scratch_dir.h"

namespace tratta {

TEST(DocumentWriter, LinesUpToTheMarker) {
  constexpr std::string_view kTabella[] = {
      "prima riga",
      "",
      "     ",
      "riferimento fine del file ",
      "nota: riferimento fine del file",
      "Riferimento fine del file",
      kFineDelFile,
      "mai scritta",
  };
  EXPECT_EQ(componi_documento(kTabella),
            "prima riga\r\n\r\n     \r\nriferimento fine del file \r\n"
            "nota: riferimento fine del file\r\nRiferimento fine del file\r\n");
}

TEST(DocumentWriter, TableWithoutMarkerStopsAtItsEnd) {
  constexpr std::string_view kTabella[] = {"a", "b"};
  EXPECT_EQ(componi_documento(kTabella), "a\r\nb\r\n");
  EXPECT_EQ(componi_documento(TabellaRighe()), "");
}

TEST(DocumentWriter, Windows1252Bytes) {
  constexpr std::string_view kTabella[] = {"1° Bivio", "città è così però più", kFineDelFile};
  static_assert(tabella_codificabile(kTabella));
  EXPECT_EQ(componi_documento(kTabella),
            "1\xB0 Bivio\r\ncitt\xE0 \xE8 cos\xEC per\xF2 pi\xF9\r\n");
}

TEST(DocumentWriter, CharactersOutsideTheSetAreRefused) {
  for (std::string_view riga : {"tab\there", "é", "€", "\xC3", "ü", "\x7F"}) {
    EXPECT_FALSE(codificabile(riga)) << riga;
    const std::string_view tabella[] = {riga};
    EXPECT_THROW(componi_documento(tabella), std::invalid_argument) << riga;
  }
  EXPECT_TRUE(codificabile("Localita' di Servizio `x` ~"));
}

TEST(Documents, AllFiveWrittenUnderTheirNamesReplacingOlderFilesWhole) {
  testing::ScratchDir dir;
  testing::write_bytes(dir / "S_9_note.txt", std::string(50000, 'x'));
  ASSERT_TRUE(scrivi_documenti(dir.lock(), {"S", "9"}).ok());
  for (const char* nome : {"S_linea.txt", "S_9-.txt", "S_9_note.txt", "S_9_rallentamenti.txt",
                           "S_9_scheda_treno.txt"}) {
    EXPECT_TRUE(std::filesystem::exists(dir / nome)) << nome;
  }
  EXPECT_EQ(testing::read_bytes(dir / "S_9_note.txt"), componi_documento(righe_note()));
}

}  // namespace tratta
