// What the program needs of the operating system, one source file per
// platform (platform_posix.cpp, platform_win32.cpp).
#pragma once

#include <cstddef>
#include <cstdint>
#include <filesystem>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "platform/file_result.h"

namespace tratta::platform {

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
FileResult<std::filesystem::path> program_directory();

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

/// Standard input and output pass bytes as they are, line ends included
/// (Windows translates them otherwise).
void binary_standard_streams();

/// Reports an unexpected failure the way the platform reports errors.
void report_failure(std::string_view text);

/// The local time of day as HH:MM:SS, for the lines of a long run.
std::string local_clock_time();

/// Asks the desktop to open `address` in the user's default browser
/// (xdg-open on Linux, the shell on Windows), without waiting for it.
/// False when it could not be asked.
bool open_in_browser(const std::string& address);

/// Gives memory about to be written, [`p`, `p` + `size`), its pages in one
/// call where the system can: each page a program touches for the first
/// time otherwise costs a trip into the system of its own. Nothing when
/// the system cannot; never an error.
void prepare_memory(void* p, std::size_t size) noexcept;

/// Closes every open file and ends the process with `status`.
[[noreturn]] void end_program(int status);

bool file_exists(const std::filesystem::path& path);

/// Reads a whole file into `bytes`. Gives false when it does not exist, a
/// FileError when it exists but cannot be read.
FileResult<bool> read_file(const std::filesystem::path& path, std::string& bytes);

/// What a read with a bound on the size found.
enum class ReadOutcome {
  kRead,        ///< read whole, to its end
  kMissing,     ///< there is no such file
  kTooLarge,    ///< more than the bound: the reading stopped there
  kNotRegular,  ///< not a regular file, where only one is taken: not read
};

/// Which files a read takes.
enum class ReadKinds {
  kAny,          ///< whatever it is: a regular file, a pipe, a FIFO, a device
  kRegularOnly,  ///< regular files only; anything else is looked at
                 ///< without waiting (a FIFO with no writer) and not read
};

/// The name that messages give the standard input.
inline constexpr std::string_view kStandardInputName = "<stdin>";

/// Reads what the file at `path` holds into `bytes`, once, from its start
/// to its end, whatever it is: a regular file, a pipe, a FIFO, a device.
/// A regular file is read into room taken at once from its size, and one
/// larger than `limit` is not read at all; a stream into room that grows
/// as its bytes come. Past `limit` bytes the reading stops at once, having
/// read at most limit + 1, and gives kTooLarge with `bytes` empty. With
/// ReadKinds::kRegularOnly anything but a regular file gives kNotRegular,
/// never having waited for it or read a byte of it.
FileResult<ReadOutcome> read_bounded(const std::filesystem::path& path, std::uint64_t limit,
                                     std::string& bytes, ReadKinds kinds = ReadKinds::kAny);

/// The same for the standard input, from where it stands to its end;
/// messages name it kStandardInputName. Never kMissing.
FileResult<ReadOutcome> read_standard_input(std::uint64_t limit, std::string& bytes);

/// Deletes a file; a missing file is not an error.
FileStatus delete_file(const std::filesystem::path& path);

/// True when `directory` exists and a file can be created in it.
bool directory_writable(const std::filesystem::path& directory);

// --- Files held by this run beside its outputs (output_set.h) -------------
//
// A held file is a temporary with an output's new bytes, or a backup (a
// second name) of an output's older file. The run keeps it open, and so
// marked as in use, until it is renamed into place or removed: a later run
// removes only held files that nobody holds any more, the leftovers of a
// killed run. Each is registered with the interrupt cleanup while it
// exists under its own name.

struct HeldFile {
  std::filesystem::path path;    // empty once renamed or removed
  std::filesystem::path output;  // the output it stands for, named in messages
  std::intptr_t handle = -1;     // descriptor or HANDLE; -1 when closed
  int slot = -1;                 // place in the interrupt cleanup's register
};

/// Creates `path` as a new, empty held file (never an existing one) for the
/// output `output`.
FileResult<HeldFile> create_held(const std::filesystem::path& path,
                                 const std::filesystem::path& output);

/// Writes all of `bytes` into the held file from byte `offset` on; a gap
/// left before it is filled by later writes.
FileStatus write_held_at(HeldFile& file, std::uint64_t offset, std::string_view bytes);

/// Keeps the existing file `existing` under the name `backup` as well, as
/// a second name (hard link) that the run holds. Where the file system
/// gives no second name, the older file itself moves to `backup`, and this
/// gives true: the output's name is then free until the new file is renamed
/// there, and the backup is the only copy of the older file. `out` is left
/// empty when `existing` is gone.
FileResult<bool> hold_backup(const std::filesystem::path& existing,
                             const std::filesystem::path& backup, HeldFile& out);

/// Starts writing the held file's data back to the disk, without waiting;
/// where the system has no such call, nothing.
void start_writeback(HeldFile& file) noexcept;

/// Renames the held file to `target`, replacing any file there; it is no
/// longer held. On a failure the held file stays as it was.
FileStatus rename_held(HeldFile& file, const std::filesystem::path& target);

/// Removes the held file and lets it go. Never throws.
void remove_held(HeldFile& file) noexcept;

/// Removes `path` when it is a file that no live run holds; returns true
/// when it is gone. Never throws.
bool remove_if_abandoned(const std::filesystem::path& path) noexcept;

/// Deletes a file that this run made and no longer holds (a new output
/// taken back). Never throws; false when it could not.
bool delete_quietly(const std::filesystem::path& path) noexcept;

/// From now on SIGINT, SIGTERM and SIGHUP (Windows: Ctrl-C, Ctrl-Break, the
/// console being closed, logoff, shutdown) first remove every held file,
/// then end the process as the signal would have.
void install_interrupt_cleanup();

/// While one lives, an interrupt waits: the renames of an output set are
/// never cut in the middle by SIGINT or SIGTERM.
class InterruptsHeld {
 public:
  InterruptsHeld();
  ~InterruptsHeld();
  InterruptsHeld(const InterruptsHeld&) = delete;
  InterruptsHeld& operator=(const InterruptsHeld&) = delete;
};

// --- Names and identities ---------------------------------------------------

/// Identity of an existing file: device and inode (POSIX), volume serial
/// and file index (Windows).
struct FileId {
  std::uint64_t device = 0, index_high = 0, index_low = 0;
  bool operator==(const FileId&) const = default;
};

/// The identity of the file at `path` (links followed), or nothing when
/// there is no file there or it cannot be looked at.
std::optional<FileId> file_identity(const std::filesystem::path& path);

/// The identity of the file that the standard input reads, or nothing when
/// it reads no file (a pipe, a console) or cannot be looked at.
std::optional<FileId> standard_input_identity();

/// Longest file name, in the file system's own units (bytes on POSIX,
/// UTF-16 units on Windows), that `directory` (or, when it does not exist
/// yet, its nearest existing parent) takes.
std::size_t max_name_length(const std::filesystem::path& directory);

/// Length of `name` in the units of max_name_length.
std::size_t name_length(const std::filesystem::path& name);

/// Creates `directory` and its missing parents.
FileStatus create_directories(const std::filesystem::path& directory);

}  // namespace tratta::platform
