// What the program needs of the operating system, one source file per
// platform (platform_posix.cpp, platform_win32.cpp).
#pragma once

#include <filesystem>
#include <stdexcept>
#include <string>
#include <string_view>
#include <vector>

namespace tratta::platform {

/// A file operation that failed; the message names the file and the
/// system's reason.
class FileError : public std::runtime_error {
 public:
  using std::runtime_error::runtime_error;
};

/// Remembers how the program was started, for program_directory() and
/// arguments().
void init(int argc, char** argv);

/// The program's arguments without its name, as UTF-8 text.
std::vector<std::string> arguments();

/// A path from UTF-8 text (an argument), and back, on every platform.
inline std::filesystem::path path_from_utf8(std::string_view text) {
  return std::filesystem::path(std::u8string(text.begin(), text.end()));
}
inline std::string path_to_utf8(const std::filesystem::path& path) {
  const std::u8string u = path.u8string();
  return std::string(u.begin(), u.end());
}

/// The directory that holds the program; the base of every path of the
/// one-shot run.
std::filesystem::path program_directory();

/// Shows the window with its one label and repaints it once; it stays up,
/// never updated, until the program ends.
void show_window(std::string_view label);

/// A modal box with the text and one OK button; returns once it is closed.
void message_box(std::string_view text);

/// Whether an authoring subcommand has somewhere to print: its standard
/// output and standard error lead to a console, a file or a pipe. When
/// they do not (a windowed program started without redirections), shows in
/// a box where to run the subcommands instead and returns false; the caller
/// then does nothing.
bool command_output_ready();

/// Reports an unexpected failure the way the platform reports errors.
void report_failure(std::string_view text);

/// Closes every open file and ends the process with `status`.
[[noreturn]] void end_program(int status);

bool file_exists(const std::filesystem::path& path);

/// Reads a whole file. Returns false when it does not exist; throws
/// FileError when it exists but cannot be read.
bool read_file(const std::filesystem::path& path, std::string& bytes);

/// Deletes a file; a missing file is not an error. Throws FileError.
void delete_file(const std::filesystem::path& path);

/// Replaces the file at `path` whole with `bytes`: they go to a temporary
/// file in the same directory, which is then renamed over the old file. On
/// failure the old file stays as it was, no temporary file remains, and
/// FileError is thrown.
void replace_file(const std::filesystem::path& path, std::string_view bytes);

/// True when `directory` exists and a file can be created in it.
bool directory_writable(const std::filesystem::path& directory);

}  // namespace tratta::platform
