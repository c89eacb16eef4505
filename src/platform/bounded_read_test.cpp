#include "platform/bounded_read.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <string>

#include "testing/scratch_dir.h"

namespace tratta {

namespace {

namespace fs = std::filesystem;
using platform::ReadOutcome;

/// A stream of `lunghezza` bytes ('a', 'b', ... in turn), given at most
/// `pezzo` bytes a read, that keeps what the reading asked of it.
struct Flusso {
  std::uint64_t lunghezza;
  std::size_t pezzo;
  const std::string* byte = nullptr;  // the string read into, to watch its room
  std::uint64_t dati = 0;
  std::size_t stanza_massima = 0;
  int letture = 0;

  platform::ReadSome lettore() {
    return [this](char* into, std::size_t n) -> platform::FileResult<std::size_t> {
      ++letture;
      if (byte) stanza_massima = std::max(stanza_massima, byte->capacity());
      const std::size_t k =
          static_cast<std::size_t>(std::min<std::uint64_t>({n, pezzo, lunghezza - dati}));
      for (std::size_t i = 0; i < k; ++i) into[i] = static_cast<char>('a' + (dati + i) % 26);
      dati += k;
      return k;
    };
  }
};

std::string attesi(std::uint64_t lunghezza) {
  std::string s;
  for (std::uint64_t i = 0; i < lunghezza; ++i) s += static_cast<char>('a' + i % 26);
  return s;
}

}  // namespace

TEST(BoundedRead, ReadsToTheEndOrStopsOneBytePastTheBound) {
  constexpr std::uint64_t kLimite = 300000;
  struct Caso {
    const char* nome;
    std::uint64_t lunghezza;
    bool dimensione_nota;  // a regular file, whose size is known beforehand
    std::size_t pezzo;
    ReadOutcome esito;
  } casi[] = {
      {"stream of exactly the bound", kLimite, false, 7000, ReadOutcome::kRead},
      {"stream one byte longer", kLimite + 1, false, 7000, ReadOutcome::kTooLarge},
      {"endless stream", UINT64_MAX, false, 1 << 20, ReadOutcome::kTooLarge},
      {"empty stream", 0, false, 1, ReadOutcome::kRead},
      {"file of exactly the bound", kLimite, true, 1 << 20, ReadOutcome::kRead},
      {"file one byte longer", kLimite + 1, true, 1 << 20, ReadOutcome::kTooLarge},
      {"empty file", 0, true, 1 << 20, ReadOutcome::kRead},
  };
  for (const Caso& c : casi) {
    std::string byte = "left from before";
    Flusso f{c.lunghezza, c.pezzo, &byte};
    std::optional<std::uint64_t> dimensione;
    if (c.dimensione_nota) dimensione = c.lunghezza;
    const auto letto = platform::read_to_end(f.lettore(), dimensione, kLimite, byte);
    ASSERT_TRUE(letto.ok()) << c.nome;
    EXPECT_EQ(letto.value(), c.esito) << c.nome;
    // Never more than one byte past the bound is read, nor room taken for
    // more than that and a chunk.
    EXPECT_LE(f.dati, kLimite + 1) << c.nome;
    EXPECT_LE(f.stanza_massima, kLimite + 1 + platform::kReadChunk) << c.nome;
    if (c.esito == ReadOutcome::kRead) {
      EXPECT_EQ(byte, attesi(c.lunghezza)) << c.nome;
    } else {
      EXPECT_TRUE(byte.empty()) << c.nome;
    }
    if (c.dimensione_nota) {
      // A file is read into room taken once from its size; one larger
      // than the bound is not read at all.
      EXPECT_LE(f.stanza_massima, std::max<std::uint64_t>(c.lunghezza + 1, std::string().capacity()))
          << c.nome;
      if (c.esito == ReadOutcome::kTooLarge) {
        EXPECT_EQ(f.letture, 0) << c.nome;
      }
    }
  }
}

TEST(BoundedRead, AFailureMidwayIsGivenBackWithNothingRead) {
  std::string byte;
  int letture = 0;
  const auto letto = platform::read_to_end(
      [&](char* into, std::size_t n) -> platform::FileResult<std::size_t> {
        if (++letture == 3) return platform::FileError{"cannot read 'x': simulated failure"};
        std::fill(into, into + std::min<std::size_t>(n, 100), 'x');
        return std::min<std::size_t>(n, 100);
      },
      std::nullopt, 1000, byte);
  ASSERT_FALSE(letto.ok());
  EXPECT_EQ(letto.error().text, "cannot read 'x': simulated failure");
  EXPECT_TRUE(byte.empty());
}

TEST(BoundedRead, FilesOnDisk) {
  testing::ScratchDir dir;
  testing::write_bytes(dir / "4096", std::string(4096, 'x'));
  testing::write_bytes(dir / "4097", std::string(4097, 'y'));
  std::string byte;
  auto letto = platform::read_bounded(dir / "4096", 4096, byte);
  ASSERT_TRUE(letto.ok());
  EXPECT_EQ(letto.value(), ReadOutcome::kRead);
  EXPECT_EQ(byte, std::string(4096, 'x'));

  letto = platform::read_bounded(dir / "4097", 4096, byte);
  ASSERT_TRUE(letto.ok());
  EXPECT_EQ(letto.value(), ReadOutcome::kTooLarge);
  EXPECT_TRUE(byte.empty());

  letto = platform::read_bounded(dir / "missing", 4096, byte);
  ASSERT_TRUE(letto.ok());
  EXPECT_EQ(letto.value(), ReadOutcome::kMissing);

  // A folder cannot be read: the system's reason, naming it.
  fs::create_directory(dir / "cartella");
  letto = platform::read_bounded(dir / "cartella", 4096, byte);
  ASSERT_FALSE(letto.ok());
  EXPECT_NE(letto.error().text.find("cartella"), std::string::npos) << letto.error().text;
}

}  // namespace tratta
