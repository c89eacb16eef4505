#include "platform/folder_watch.h"

#include <gtest/gtest.h>

#include <thread>

#include "testing/scratch_dir.h"

namespace tratta::platform {
namespace {

namespace fs = std::filesystem;
using namespace std::chrono_literals;
using Outcome = FolderWatch::Outcome;

TEST(FolderWatch, KeepsOnlyTheNamedFilesOfEachFolder) {
  testing::ScratchDir dir;
  fs::create_directories(dir / "a");
  fs::create_directories(dir / "b");
  auto opened = FolderWatch::open({dir / "a/linea.txt", dir / "b/treno.txt"});
  ASSERT_TRUE(opened.ok()) << opened.error().text;
  FolderWatch& watch = opened.value();
  // Another name, in either folder, and a watched name in the other folder.
  testing::write_bytes(dir / "a/treno.txt", "x");
  testing::write_bytes(dir / "b/linea.txt~", "x");
  auto quiet = watch.wait(50ms);
  ASSERT_TRUE(quiet.ok());
  EXPECT_EQ(quiet.value(), Outcome::kTimedOut);
  for (const char* name : {"a/linea.txt", "b/treno.txt"}) {
    SCOPED_TRACE(name);
    testing::write_bytes(dir / name, "x");
    auto changed = watch.wait(2s);
    ASSERT_TRUE(changed.ok());
    EXPECT_EQ(changed.value(), Outcome::kChanged);
  }
  // Renamed away and back: both count, whichever end names the file.
  fs::rename(dir / "a/linea.txt", dir / "a/altro.txt");
  auto away = watch.wait(2s);
  ASSERT_TRUE(away.ok());
  EXPECT_EQ(away.value(), Outcome::kChanged);
}

TEST(FolderWatch, AFileReachedThroughALinkIsWatchedWhereItLeads) {
  testing::ScratchDir dir;
  fs::create_directories(dir / "a");
  fs::create_directories(dir / "b");
  testing::write_bytes(dir / "b/vera.txt", "x");
  std::error_code ec;
  fs::create_symlink(dir / "b/vera.txt", dir / "a/linea.txt", ec);
  if (ec) GTEST_SKIP() << "no links here: " << ec.message();
  auto opened = FolderWatch::open({dir / "a/linea.txt"});
  ASSERT_TRUE(opened.ok()) << opened.error().text;
  testing::write_bytes(dir / "a/linea.txt", "y");  // written through the link
  auto changed = opened.value().wait(2s);
  ASSERT_TRUE(changed.ok());
  EXPECT_EQ(changed.value(), Outcome::kChanged);
}

TEST(FolderWatch, AStopRequestWakesTheWaitAndEveryLaterOne) {
  testing::ScratchDir dir;
  auto opened = FolderWatch::open({dir / "linea.txt", dir / "treno.txt"});
  ASSERT_TRUE(opened.ok()) << opened.error().text;
  FolderWatch& watch = opened.value();
  std::thread stopper([&] {
    std::this_thread::sleep_for(50ms);
    watch.request_stop();
  });
  auto woken = watch.wait(std::nullopt);
  stopper.join();
  ASSERT_TRUE(woken.ok());
  EXPECT_EQ(woken.value(), Outcome::kStopped);
  testing::write_bytes(dir / "linea.txt", "x");
  auto later = watch.wait(std::nullopt);
  ASSERT_TRUE(later.ok());
  EXPECT_EQ(later.value(), Outcome::kStopped);
}

TEST(FolderWatch, AMissingFolderCannotBeWatched) {
  testing::ScratchDir dir;
  auto opened = FolderWatch::open({dir / "nessuna/linea.txt"});
  ASSERT_FALSE(opened.ok());
  EXPECT_NE(opened.error().text.find("nessuna"), std::string::npos) << opened.error().text;
}

}  // namespace
}  // namespace tratta::platform
