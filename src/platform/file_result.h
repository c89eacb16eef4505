// The outcome of a file operation, given back as a value: success (with
// what the operation gives, if anything) or the failure, named with the
// file and the system's reason.
#pragma once

#include <optional>
#include <string>
#include <utility>
#include <variant>

namespace tratta::platform {

/// A file operation that failed. The text names the file and the system's
/// reason, as bytes: a path in it may hold any byte, NUL included, so show
/// it through `visibile` or `json_stringa`.
struct FileError {
  std::string text;
};

/// Success, or the failure of a file operation that gives nothing back.
class [[nodiscard]] FileStatus {
 public:
  FileStatus() = default;
  FileStatus(FileError error) : error_(std::move(error)) {}  // NOLINT(google-explicit-constructor)

  bool ok() const { return !error_.has_value(); }
  /// The failure; only when !ok().
  const FileError& error() const { return *error_; }

 private:
  std::optional<FileError> error_;
};

/// What a file operation gives back, or its failure.
template <typename T>
class [[nodiscard]] FileResult {
 public:
  FileResult(T value) : v_(std::in_place_index<0>, std::move(value)) {}  // NOLINT
  FileResult(FileError error) : v_(std::in_place_index<1>, std::move(error)) {}  // NOLINT

  bool ok() const { return v_.index() == 0; }
  /// What the operation gave; only when ok().
  T& value() { return std::get<0>(v_); }
  const T& value() const { return std::get<0>(v_); }
  /// The failure; only when !ok().
  const FileError& error() const { return std::get<1>(v_); }
  /// The outcome without the value.
  FileStatus status() const { return ok() ? FileStatus() : FileStatus(error()); }

 private:
  std::variant<T, FileError> v_;
};

}  // namespace tratta::platform
