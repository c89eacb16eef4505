// The system's disk with a hook before each temporary of an output set is
// made, each piece written into it and each rename into place: a test makes that step fail, as a
// full disk or a refused rename would, or stops the run there.
#pragma once

#include <cstdint>
#include <filesystem>
#include <functional>
#include <optional>
#include <string>
#include <string_view>
#include <utility>

#include "platform/disk.h"

namespace tratta::testing {

/// kWrite: a temporary made; kPiece: bytes written into it; kRename: a
/// temporary renamed over its output.
enum class DiskStep { kWrite, kPiece, kRename };

class FaultyDisk : public platform::Disk {
 public:
  /// `hook` is called before each step; the failure it gives back is that
  /// step's outcome, nothing lets the step run.
  using Hook = std::function<std::optional<platform::FileError>(DiskStep)>;
  explicit FaultyDisk(Hook hook) : hook_(std::move(hook)) {}

  /// Fails the `n`-th step of kind `step` with `text`.
  static FaultyDisk failing(DiskStep step, int n, std::string_view text) {
    return FaultyDisk([step, n, text = std::string(text), k = 0](DiskStep s) mutable
                      -> std::optional<platform::FileError> {
      if (s == step && ++k == n) return platform::FileError{text};
      return std::nullopt;
    });
  }

  platform::FileResult<platform::HeldFile> create_held(
      const std::filesystem::path& path, const std::filesystem::path& output) override {
    if (auto e = hook_(DiskStep::kWrite)) return *e;
    return Disk::create_held(path, output);
  }
  platform::FileStatus write_held_at(platform::HeldFile& file, std::uint64_t offset,
                                     std::string_view bytes) override {
    if (auto e = hook_(DiskStep::kPiece)) return *e;
    return Disk::write_held_at(file, offset, bytes);
  }
  platform::FileStatus rename_held(platform::HeldFile& file,
                                   const std::filesystem::path& target) override {
    if (auto e = hook_(DiskStep::kRename)) return *e;
    return Disk::rename_held(file, target);
  }

 private:
  Hook hook_;
};

}  // namespace tratta::testing
