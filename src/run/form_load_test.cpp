// The one-shot run as a user meets it: the program started with no
// arguments in a folder of its own.

#include <gtest/gtest.h>

#ifndef _WIN32

#include <unistd.h>

#include <cstdlib>
#include <set>

#include "model/codice_gara.h"
#include "model/coding.h"
#include "testing/program_copy.h"

namespace tratta {

namespace {

namespace fs = std::filesystem;
using testing::CartellaProgramma;

/// The little-endian number of `bytes` bytes at `at`, checked against the
/// end of `b`.
uint32_t le(const std::string& b, size_t at, int bytes) {
  if (at > b.size() || b.size() - at < static_cast<size_t>(bytes)) throw std::out_of_range("past the end");
  return bytes == 2 ? decode_u16(b.data() + at) : decode_u32(b.data() + at);
}

/// Offset of slot `slot`'s record in a train file.
size_t record_treno(const std::string& sim, int slot) {
  size_t at = 0;
  for (int i = 0; i < slot; ++i) at += 34 + le(sim, at + 14, 2);
  return at;
}

const std::set<std::string> kDopoLaCorsa = {
    "tratta_valle3",         "out.log",
    "err.log",               "Tratta_Valle3_30_note.txt",
    "Tratta_Valle3_30_rallentamenti.txt", "Tratta_Valle3_30_scheda_treno.txt",
    "Tratta_Valle3_linea.dat", "Tratta_Valle3_30.sim",
    "Tratta_Valle3_30.dat"};

}  // namespace

TEST(OneShotRun, WritesBesideItselfAndAgainTheSameBytes) {
  CartellaProgramma p;
  p.dir.path();
  testing::write_bytes(p.dir / "Tratta_Valle3_30.dat", std::string(200000, 'x'));
  ASSERT_EQ(p.esegui(), 0) << p.leggi("err.log");
  EXPECT_EQ(p.leggi("out.log"), "Attendere\n");
  EXPECT_EQ(p.file(), kDopoLaCorsa);
  const std::string sim = p.leggi("Tratta_Valle3_30.sim");
  const std::string dat = p.leggi("Tratta_Valle3_30.dat");
  const std::string lin = p.leggi("Tratta_Valle3_linea.dat");
  // The older, longer route file is gone: 5341 records of 15 bytes.
  EXPECT_EQ(dat.size(), 80115u);
  EXPECT_EQ(lin.size(), 20u * 267000 - 36);
  EXPECT_GE(sim.size(), 87u * 34);
  // The stamps and route codes: slot 85 carries the mark 610 and the
  // weighted code, segment 1 the mark 5121 and the plain code.
  const size_t r85 = record_treno(sim, 85);
  ASSERT_EQ(sim.substr(r85 + 16, 13), "Tratta_Valle3");
  EXPECT_EQ(le(sim, r85 + 16 + 13, 2), 610u);
  EXPECT_EQ(le(sim, r85 + 30 + 13, 4), static_cast<uint32_t>(codice_gara_st("30", "Tratta_Valle3")));
  EXPECT_EQ(le(dat, 15 + 1, 2), 5121u);
  EXPECT_EQ(le(dat, 15 + 3, 2), static_cast<uint32_t>(codice_gara_og("30", "Tratta_Valle3")));
  EXPECT_EQ(record_treno(sim, 87), sim.size());

  ASSERT_EQ(p.esegui(), 0);
  EXPECT_EQ(p.leggi("Tratta_Valle3_30.sim"), sim);
  EXPECT_EQ(p.leggi("Tratta_Valle3_30.dat"), dat);
  EXPECT_EQ(p.leggi("Tratta_Valle3_linea.dat"), lin);
}

TEST(OneShotRun, ReadOnlyFolderFailsClearlyAndKeepsOlderFiles) {
  CartellaProgramma p;
  const std::string vecchio(100000, 'v');
  testing::write_bytes(p.dir / "Tratta_Valle3_30.dat", vecchio);
  std::string prefisso;
  if (::geteuid() == 0) {
    // Root writes anywhere: run the program as an ordinary user instead.
    prefisso = "setpriv --reuid=65534 --regid=65534 --clear-groups";
    if (std::system("command -v setpriv > /dev/null") != 0) GTEST_SKIP() << "no setpriv";
    fs::permissions(p.dir / "Tratta_Valle3_30.dat", fs::perms::all);
  } else {
    fs::permissions(p.dir.path(), fs::perms::owner_write, fs::perm_options::remove);
  }
  EXPECT_NE(p.esegui(prefisso), 0);
  const std::string err = p.leggi("err.log");
  EXPECT_NE(err.find("Tratta_Valle3_linea.txt"), std::string::npos) << err;
  EXPECT_NE(err.find("denied"), std::string::npos) << err;
  EXPECT_EQ(p.leggi("Tratta_Valle3_30.dat"), vecchio);
}

}  // namespace tratta

#endif  // _WIN32
