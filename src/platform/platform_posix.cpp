#include <fcntl.h>
#include <poll.h>
#include <sys/eventfd.h>
#include <sys/inotify.h>
#include <limits.h>
#include <signal.h>
#include <spawn.h>
#include <sys/file.h>
#include <sys/mman.h>
#include <sys/wait.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <atomic>
#include <cerrno>
#include <csignal>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <ctime>
#include <iostream>

#include "platform/bounded_read.h"
#include "platform/byte_stream.h"
#include "platform/folder_lock.h"
#include "platform/folder_watch.h"
#include "platform/platform.h"
#include "platform/thread.h"

namespace tratta::platform {

namespace fs = std::filesystem;

namespace {

std::string argv0;
std::vector<std::string> args;

FileError fail(std::string_view what, const fs::path& path, int err) {
  return FileError{std::string(what) + " '" + path.string() + "': " + std::strerror(err)};
}

// The interrupt cleanup's register of held files: fixed memory, so that the
// signal handler reads it without allocating. A slot is free (0), being
// filled (1) or names a held file (2).
constexpr int kSlots = 32;
struct Slot {
  std::atomic<int> state{0};
  char path[PATH_MAX] = {};
};
// Constant-initialised: no page of it is touched before a slot is taken.
constinit Slot slots[kSlots];

const int kInterrupts[] = {SIGINT, SIGTERM, SIGHUP};

int register_held(const fs::path& path) {
  if (path.native().size() >= PATH_MAX) return -1;
  for (int i = 0; i < kSlots; ++i) {
    int free = 0;
    if (slots[i].state.compare_exchange_strong(free, 1)) {
      std::memcpy(slots[i].path, path.c_str(), path.native().size() + 1);
      slots[i].state.store(2);
      return i;
    }
  }
  return -1;  // full: a leftover is then removed by the next run
}

void unregister_held(HeldFile& file) {
  if (file.slot >= 0) slots[file.slot].state.store(0);
  file.slot = -1;
}

void close_held(HeldFile& file) {
  if (file.handle >= 0) ::close(static_cast<int>(file.handle));
  file.handle = -1;
}

extern "C" void remove_held_on_interrupt(int signal) {
  for (Slot& slot : slots)
    if (slot.state.load() == 2) ::unlink(slot.path);
  // The handler was reset to the default action when it was called: the
  // signal, raised again, ends the process once the handler returns.
  ::raise(signal);
}

}  // namespace

void init(int argc, char** argv) {
  if (argc > 0 && argv[0] != nullptr) argv0 = argv[0];
  args.assign(argv + (argc > 0 ? 1 : 0), argv + argc);
}

std::vector<std::string> arguments() { return args; }

FileResult<fs::path> program_directory() {
  std::error_code ec;
  fs::path exe = fs::read_symlink("/proc/self/exe", ec);
  if (ec || exe.empty()) exe = fs::absolute(argv0, ec);
  return exe.parent_path();
}

void show_window(std::string_view label) {
  std::cout << label << std::endl;
}

void message_box(std::string_view text) {
  std::cerr << text << std::endl;
  if (::isatty(STDIN_FILENO)) {
    std::cerr << "[OK: premere Invio]" << std::flush;
    std::string ignored;
    std::getline(std::cin, ignored);
  }
}

bool command_output_ready() { return true; }

void binary_standard_streams() {}

void report_failure(std::string_view text) {
  std::cerr << "tratta_valle3: " << text << std::endl;
}

bool open_in_browser(const std::string& address) {
  // Spawned, not forked: the program may have threads (the page server).
  // The opener goes through a shell that leaves it in the background and
  // ends at once, so that nothing here waits for a browser that some
  // openers stay with, and no thread is left to reap it. The opener's own
  // messages would land among the watch's lines.
  posix_spawn_file_actions_t actions;
  if (::posix_spawn_file_actions_init(&actions) != 0) return false;
  for (int fd : {STDIN_FILENO, STDOUT_FILENO, STDERR_FILENO})
    ::posix_spawn_file_actions_addopen(&actions, fd, "/dev/null", fd == STDIN_FILENO ? O_RDONLY : O_WRONLY, 0);
  std::string shell = "/bin/sh", option = "-c", script = "command -v xdg-open >/dev/null || exit 127; xdg-open \"$1\" &", name = "sh";
  char* argv[] = {shell.data(), option.data(), script.data(), name.data(),
                  const_cast<char*>(address.c_str()), nullptr};
  pid_t pid = 0;
  const int failed = ::posix_spawn(&pid, shell.c_str(), &actions, nullptr, argv, environ);
  ::posix_spawn_file_actions_destroy(&actions);
  if (failed != 0) return false;
  int status = 0;
  while (::waitpid(pid, &status, 0) < 0 && errno == EINTR) {
  }
  return WIFEXITED(status) && WEXITSTATUS(status) == 0;
}

void prepare_memory(void* p, std::size_t size) noexcept {
#if defined(__linux__)
#ifndef MADV_POPULATE_WRITE
  constexpr int MADV_POPULATE_WRITE = 23;  // Linux 5.14; older kernels refuse it
#endif
  // The whole pages the range lies in: pages of it already mapped, and a
  // neighbour's page at either end, are left as they are.
  const std::uintptr_t page = static_cast<std::uintptr_t>(::sysconf(_SC_PAGESIZE));
  const std::uintptr_t begin = reinterpret_cast<std::uintptr_t>(p) & ~(page - 1);
  const std::uintptr_t end = reinterpret_cast<std::uintptr_t>(p) + size;
  if (size > 0) (void)::madvise(reinterpret_cast<void*>(begin), end - begin, MADV_POPULATE_WRITE);
#else
  (void)p;
  (void)size;
#endif
}

std::string local_clock_time() {
  const std::time_t now = std::time(nullptr);
  std::tm parts{};
  char text[16] = "??:??:??";
  if (::localtime_r(&now, &parts) != nullptr) std::strftime(text, sizeof text, "%H:%M:%S", &parts);
  return text;
}

void end_program(int status) {
  std::cout.flush();
  std::cerr.flush();
  std::exit(status);
}

bool file_exists(const fs::path& path) {
  struct stat st;
  return ::stat(path.c_str(), &st) == 0;
}

namespace {

/// Reads the open descriptor `fd` from where it stands to its end, as
/// read_bounded does; `name` for messages.
FileResult<ReadOutcome> read_descriptor(int fd, const fs::path& name, std::uint64_t limit,
                                        std::string& bytes) {
  std::optional<std::uint64_t> size;
  struct stat st;
  if (::fstat(fd, &st) == 0 && S_ISREG(st.st_mode)) {
    const off_t at = ::lseek(fd, 0, SEEK_CUR);
    if (at >= 0 && at <= st.st_size) size = static_cast<std::uint64_t>(st.st_size - at);
  }
  const ReadSome read_some = [&](char* into, std::size_t n) -> FileResult<std::size_t> {
    for (;;) {
      const ssize_t got = ::read(fd, into, n);
      if (got >= 0) return static_cast<std::size_t>(got);
      if (errno != EINTR) return fail("cannot read", name, errno);
    }
  };
  return read_to_end(read_some, size, limit, bytes);
}

}  // namespace

FileResult<ReadOutcome> read_bounded(const fs::path& path, std::uint64_t limit,
                                     std::string& bytes, ReadKinds kinds) {
  bytes.clear();
  // Opened without waiting when only a regular file is taken: the open of
  // a FIFO waits for a writer otherwise.
  const bool regular_only = kinds == ReadKinds::kRegularOnly;
  const int fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC | (regular_only ? O_NONBLOCK : 0));
  if (fd < 0) {
    if (errno == ENOENT) return ReadOutcome::kMissing;
    return fail("cannot open", path, errno);
  }
  if (regular_only) {
    struct stat st;
    if (::fstat(fd, &st) != 0 || !S_ISREG(st.st_mode)) {
      ::close(fd);
      return ReadOutcome::kNotRegular;
    }
  }
  FileResult<ReadOutcome> read = read_descriptor(fd, path, limit, bytes);
  ::close(fd);
  return read;
}

FileResult<ReadOutcome> read_standard_input(std::uint64_t limit, std::string& bytes) {
  return read_descriptor(STDIN_FILENO, fs::path(kStandardInputName), limit, bytes);
}

FileStatus delete_file(const fs::path& path) {
  if (::unlink(path.c_str()) != 0 && errno != ENOENT) return fail("cannot delete", path, errno);
  return {};
}

bool directory_writable(const fs::path& directory) {
  struct stat st;
  if (::stat(directory.c_str(), &st) != 0 || !S_ISDIR(st.st_mode)) return false;
  return ::access(directory.c_str(), W_OK | X_OK) == 0;
}

FileResult<HeldFile> create_held(const fs::path& path, const fs::path& output) {
  HeldFile file{path, output, -1, register_held(path)};
  int fd = ::open(path.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_NOFOLLOW | O_CLOEXEC, 0666);
  if (fd < 0) {
    int err = errno;
    unregister_held(file);
    return fail("cannot create", output, err);
  }
  file.handle = fd;
  // The lock says "in use" to later runs; it goes with the process, however
  // that ends. A file system without locks leaves the file unlocked.
  ::flock(fd, LOCK_EX | LOCK_NB);
  return file;
}

FileStatus write_held_at(HeldFile& file, std::uint64_t offset, std::string_view bytes) {
  const char* p = bytes.data();
  size_t left = bytes.size();
  while (left > 0) {
    const ssize_t n = ::pwrite(static_cast<int>(file.handle), p, left, static_cast<off_t>(offset));
    if (n < 0) {
      if (errno == EINTR) continue;
      return fail("cannot write", file.output, errno);
    }
    p += n;
    left -= static_cast<size_t>(n);
    offset += static_cast<std::uint64_t>(n);
  }
  return {};
}

FileResult<bool> hold_backup(const fs::path& existing, const fs::path& backup, HeldFile& out) {
  out = HeldFile{backup, existing, -1, register_held(backup)};
  if (::link(existing.c_str(), backup.c_str()) == 0) {
    int fd = ::open(backup.c_str(), O_RDONLY | O_NONBLOCK | O_NOFOLLOW | O_CLOEXEC);
    if (fd >= 0) {
      out.handle = fd;
      ::flock(fd, LOCK_EX | LOCK_NB);
    }
    return false;
  }
  int err = errno;
  unregister_held(out);
  if (err == ENOENT) {  // gone meanwhile: there is nothing to keep
    out.path.clear();
    return false;
  }
  if (err == EPERM || err == EOPNOTSUPP || err == EXDEV || err == EMLINK) {
    // No second name here: the older file itself moves aside. It is not
    // registered with the interrupt cleanup, which must never delete it.
    if (::rename(existing.c_str(), backup.c_str()) == 0) return true;
    err = errno;
  }
  out.path.clear();
  return fail("cannot keep the older file", existing, err);
}

void start_writeback(HeldFile& file) noexcept {
#ifdef __linux__
  if (file.handle >= 0)
    ::sync_file_range(static_cast<int>(file.handle), 0, 0, SYNC_FILE_RANGE_WRITE);
#else
  (void)file;
#endif
}

FileStatus rename_held(HeldFile& file, const fs::path& target) {
  if (::rename(file.path.c_str(), target.c_str()) != 0) return fail("cannot replace", target, errno);
  unregister_held(file);
  close_held(file);
  file.path.clear();
  return {};
}

void remove_held(HeldFile& file) noexcept {
  if (file.path.empty()) return;
  ::unlink(file.path.c_str());
  unregister_held(file);
  close_held(file);
  file.path.clear();
}

bool remove_if_abandoned(const fs::path& path) noexcept {
  struct stat st;
  if (::lstat(path.c_str(), &st) != 0) return errno == ENOENT;
  if (S_ISLNK(st.st_mode)) return ::unlink(path.c_str()) == 0;
  if (!S_ISREG(st.st_mode)) return false;
  int fd = ::open(path.c_str(), O_RDONLY | O_NONBLOCK | O_NOFOLLOW | O_CLOEXEC);
  if (fd < 0) return false;
  bool gone = false;
  struct stat held;
  // A live run holds its lock until the file is renamed or removed.
  if (::flock(fd, LOCK_EX | LOCK_NB) == 0 || errno != EWOULDBLOCK) {
    gone = ::fstat(fd, &held) == 0 && held.st_dev == st.st_dev && held.st_ino == st.st_ino &&
           ::unlink(path.c_str()) == 0;
  }
  ::close(fd);
  return gone;
}

bool delete_quietly(const fs::path& path) noexcept {
  return ::unlink(path.c_str()) == 0 || errno == ENOENT;
}

void install_interrupt_cleanup() {
  for (int signal : kInterrupts) {
    struct sigaction old;
    if (::sigaction(signal, nullptr, &old) == 0 && old.sa_handler == SIG_IGN) continue;
    struct sigaction action {};
    action.sa_handler = remove_held_on_interrupt;
    action.sa_flags = SA_RESETHAND;
    sigemptyset(&action.sa_mask);
    for (int other : kInterrupts) sigaddset(&action.sa_mask, other);
    ::sigaction(signal, &action, nullptr);
  }
}

namespace {
sigset_t interrupts_before;
}

InterruptsHeld::InterruptsHeld() {
  sigset_t set;
  sigemptyset(&set);
  for (int signal : kInterrupts) sigaddset(&set, signal);
  ::pthread_sigmask(SIG_BLOCK, &set, &interrupts_before);
}

InterruptsHeld::~InterruptsHeld() { ::pthread_sigmask(SIG_SETMASK, &interrupts_before, nullptr); }

std::jthread start_thread(std::function<void(std::stop_token)> body) {
  // A new thread takes the signal mask of the thread that starts it.
  sigset_t held, before;
  sigemptyset(&held);
  for (int signal : kInterrupts) sigaddset(&held, signal);
  ::pthread_sigmask(SIG_BLOCK, &held, &before);
  struct Restore {
    sigset_t* mask;
    ~Restore() { ::pthread_sigmask(SIG_SETMASK, mask, nullptr); }
  } restore{&before};
  return std::jthread(std::move(body));
}

namespace {

/// The standard input, waited for together with an eventfd that cancel()
/// writes to.
class StandardInputStream final : public ByteStream {
 public:
  StandardInputStream() : wake_(::eventfd(0, EFD_NONBLOCK | EFD_CLOEXEC)) {}
  ~StandardInputStream() override {
    if (wake_ >= 0) ::close(wake_);
  }
  FileResult<std::size_t> read_some(char* into, std::size_t n) override {
    for (;;) {
      if (cancelled_.load()) return std::size_t{0};
      struct pollfd fds[2] = {{STDIN_FILENO, POLLIN, 0}, {wake_, POLLIN, 0}};
      const int ready = ::poll(fds, wake_ >= 0 ? 2 : 1, -1);
      if (ready < 0 && errno == EINTR) continue;
      if (ready < 0) return fail("cannot read", fs::path(kStandardInputName), errno);
      if (cancelled_.load()) return std::size_t{0};
      const ssize_t got = ::read(STDIN_FILENO, into, n);
      if (got >= 0) return static_cast<std::size_t>(got);
      if (errno == EINTR || errno == EAGAIN) continue;
      return fail("cannot read", fs::path(kStandardInputName), errno);
    }
  }
  void cancel() noexcept override {
    cancelled_.store(true);
    const std::uint64_t one = 1;
    if (wake_ >= 0) [[maybe_unused]] ssize_t ignored = ::write(wake_, &one, sizeof one);
  }

 private:
  int wake_;
  std::atomic<bool> cancelled_{false};
};

}  // namespace

std::unique_ptr<ByteStream> standard_input_stream() { return std::make_unique<StandardInputStream>(); }

namespace {
FileId identity_of(const struct stat& st) {
  return FileId{static_cast<std::uint64_t>(st.st_dev), 0, static_cast<std::uint64_t>(st.st_ino)};
}
}  // namespace

std::optional<FileId> file_identity(const fs::path& path) {
  struct stat st;
  if (::stat(path.c_str(), &st) != 0) return std::nullopt;
  return identity_of(st);
}

std::optional<FileId> standard_input_identity() {
  struct stat st;
  if (::fstat(STDIN_FILENO, &st) != 0 || !S_ISREG(st.st_mode)) return std::nullopt;
  return identity_of(st);
}

std::size_t max_name_length(const fs::path& directory) {
  fs::path p = directory.empty() ? fs::path(".") : directory;
  for (;;) {
    errno = 0;
    long n = ::pathconf(p.c_str(), _PC_NAME_MAX);
    if (n > 0) return static_cast<std::size_t>(n);
    if (errno != ENOENT && errno != ENOTDIR) return NAME_MAX;
    fs::path parent = p.parent_path();
    if (parent.empty() || parent == p) parent = p.is_absolute() ? p.root_path() : fs::path(".");
    if (parent == p) return NAME_MAX;
    p = parent;
  }
}

std::size_t name_length(const fs::path& name) { return name.native().size(); }

FileStatus create_directories(const fs::path& directory) {
  struct stat st;
  if (::stat(directory.c_str(), &st) == 0) {
    if (!S_ISDIR(st.st_mode)) return fail("cannot create the folder", directory, ENOTDIR);
    return {};
  }
  const fs::path parent = directory.parent_path();
  if (!parent.empty() && parent != directory) {
    if (FileStatus s = platform::create_directories(parent); !s.ok()) return s;
  }
  if (::mkdir(directory.c_str(), 0777) != 0 && errno != EEXIST)
    return fail("cannot create the folder", directory, errno);
  return {};
}

FileResult<std::optional<FolderLock>> try_lock_folder(const fs::path& folder, LockMode mode) {
  const int fd = ::open(folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
  if (fd < 0) return fail("cannot lock the folder", folder, errno);
  FolderLock lock;
  lock.folder_ = folder;
  lock.mode_ = mode;
  if (::flock(fd, (mode == LockMode::kExclusive ? LOCK_EX : LOCK_SH) | LOCK_NB) == 0) {
    lock.handle_ = fd;
    return std::optional<FolderLock>(std::move(lock));
  }
  const int err = errno;
  ::close(fd);
  if (err == EWOULDBLOCK) return std::optional<FolderLock>();
  // A file system without locks: the run goes on unlocked.
  return std::optional<FolderLock>(std::move(lock));
}

void FolderLock::release() noexcept {
  if (handle_ != -1) ::close(static_cast<int>(handle_));
  handle_ = -1;
}


// --- Notices of changes (folder_watch.h) ------------------------------------

struct FolderWatch::State {
  int notices = -1;  // the inotify descriptor
  int wake = -1;     // an eventfd that a stop request writes to
  std::atomic<bool> stop{false};
  /// Each folder: its path, its watch (-1 while the folder is gone), and
  /// the names it looks for.
  struct Folder {
    fs::path path;
    int wd = -1;
    std::vector<fs::path> names;
  };
  std::vector<Folder> folders;

  ~State() {
    if (notices >= 0) ::close(notices);
    if (wake >= 0) ::close(wake);
  }

  bool any_gone() const {
    return std::any_of(folders.begin(), folders.end(), [](const Folder& f) { return f.wd < 0; });
  }
  /// Watches again each folder that is gone and has come back: true when
  /// one did.
  bool watch_returned() {
    bool back = false;
    for (Folder& f : folders) {
      if (f.wd >= 0) continue;
      f.wd = ::inotify_add_watch(notices, f.path.c_str(), kMask);
      back = back || f.wd >= 0;
    }
    return back;
  }
  // Every way a file comes, goes or changes, and the folder's own going
  // away (removed, or renamed: its path no longer leads to it); not its
  // reading.
  static constexpr std::uint32_t kMask = IN_CLOSE_WRITE | IN_MODIFY | IN_ATTRIB | IN_CREATE |
                                         IN_DELETE | IN_MOVED_FROM | IN_MOVED_TO | IN_DELETE_SELF |
                                         IN_MOVE_SELF | IN_ONLYDIR;
};

FolderWatch::FolderWatch(std::unique_ptr<State> state) : state_(std::move(state)) {}
FolderWatch::FolderWatch(FolderWatch&&) noexcept = default;
FolderWatch& FolderWatch::operator=(FolderWatch&&) noexcept = default;
FolderWatch::~FolderWatch() = default;

FileResult<FolderWatch> FolderWatch::open(const std::vector<fs::path>& files) {
  if (files.empty()) return FileError{"no file to watch"};
  auto state = std::make_unique<State>();
  state->notices = ::inotify_init1(IN_NONBLOCK | IN_CLOEXEC);
  const fs::path first = files.front().parent_path();
  if (state->notices < 0) return fail("cannot watch the folder", first, errno);
  state->wake = ::eventfd(0, EFD_NONBLOCK | EFD_CLOEXEC);
  if (state->wake < 0) return fail("cannot watch the folder", first, errno);
  for (WatchedFolder& w : folders_to_watch(files)) {
    const int wd = ::inotify_add_watch(state->notices, w.folder.c_str(), State::kMask);
    if (wd < 0) return fail("cannot watch the folder", w.folder, errno);
    state->folders.push_back({w.folder, wd, std::move(w.names)});
  }
  return FolderWatch(std::move(state));
}

FileResult<FolderWatch::Outcome> FolderWatch::wait(
    std::optional<std::chrono::milliseconds> timeout) {
  using Clock = std::chrono::steady_clock;
  // While a folder is gone, the watch looks for its return this often.
  constexpr long long kLookAgainMs = 200;
  const auto until = timeout ? Clock::now() + *timeout : Clock::time_point::max();
  for (;;) {
    if (state_->stop.load()) return Outcome::kStopped;
    long long ms = -1;
    if (timeout)
      ms = std::clamp<long long>(
          std::chrono::ceil<std::chrono::milliseconds>(until - Clock::now()).count(), 0, INT_MAX);
    if (state_->any_gone()) ms = ms < 0 ? kLookAgainMs : std::min(ms, kLookAgainMs);
    struct pollfd fds[2] = {{state_->notices, POLLIN, 0}, {state_->wake, POLLIN, 0}};
    const int n = ::poll(fds, 2, static_cast<int>(ms));
    if (n < 0 && errno == EINTR) continue;
    if (n < 0) return FileError{std::string("cannot wait for changes: ") + std::strerror(errno)};
    if (state_->stop.load()) return Outcome::kStopped;
    // A folder that has come back is a change: its files may be there.
    if (state_->any_gone() && state_->watch_returned()) return Outcome::kChanged;
    if (n == 0) {
      if (timeout && Clock::now() >= until) return Outcome::kTimedOut;
      continue;
    }
    // Every notice already come, each kept when it names a watched file,
    // or when the system lost some (its queue overflowed), or a folder
    // went away.
    bool changed = false;
    alignas(struct inotify_event) char buffer[16384];
    for (;;) {
      const ssize_t got = ::read(state_->notices, buffer, sizeof buffer);
      if (got < 0 && errno == EINTR) continue;
      if (got <= 0) break;
      for (ssize_t at = 0; at + static_cast<ssize_t>(sizeof(struct inotify_event)) <= got;) {
        const auto* e = reinterpret_cast<const struct inotify_event*>(buffer + at);
        at += static_cast<ssize_t>(sizeof(struct inotify_event) + e->len);
        if (at > got) break;
        if (e->mask & IN_Q_OVERFLOW) {
          changed = true;
          continue;
        }
        for (State::Folder& f : state_->folders) {
          if (f.wd != e->wd) continue;
          if (e->mask & (IN_DELETE_SELF | IN_MOVE_SELF | IN_IGNORED)) {
            // Gone: its files with it. Looked for again by its path.
            if (e->mask & IN_MOVE_SELF) ::inotify_rm_watch(state_->notices, f.wd);
            f.wd = -1;
            changed = true;
          } else if (e->len > 0) {
            const fs::path name(std::string(e->name, ::strnlen(e->name, e->len)));
            if (std::find(f.names.begin(), f.names.end(), name) != f.names.end()) changed = true;
          }
        }
      }
    }
    if (changed) return Outcome::kChanged;
    if (timeout && Clock::now() >= until) return Outcome::kTimedOut;
  }
}

void FolderWatch::request_stop() noexcept {
  state_->stop.store(true);
  const std::uint64_t one = 1;
  [[maybe_unused]] ssize_t ignored = ::write(state_->wake, &one, sizeof one);
}

bool FolderWatch::stop_requested() const noexcept { return state_->stop.load(); }

namespace {

std::atomic<FolderWatch*> watch_to_stop{nullptr};
struct sigaction interrupts_before_watch[3];

extern "C" void stop_watch_on_interrupt(int signal) {
  FolderWatch* watch = watch_to_stop.load();
  if (watch != nullptr && !watch->stop_requested()) {
    watch->request_stop();
    return;
  }
  // The second one: the held files removed, the process ended as the
  // signal ends it.
  struct sigaction fallback {};
  fallback.sa_handler = SIG_DFL;
  sigemptyset(&fallback.sa_mask);
  ::sigaction(signal, &fallback, nullptr);
  remove_held_on_interrupt(signal);
}

}  // namespace

StopOnInterrupt::StopOnInterrupt(FolderWatch& watch) {
  watch_to_stop.store(&watch);
  for (std::size_t i = 0; i < std::size(kInterrupts); ++i) {
    struct sigaction action {};
    action.sa_handler = stop_watch_on_interrupt;
    action.sa_flags = SA_RESTART;
    sigemptyset(&action.sa_mask);
    for (int other : kInterrupts) sigaddset(&action.sa_mask, other);
    ::sigaction(kInterrupts[i], &action, &interrupts_before_watch[i]);
    // An interrupt the program was started to ignore stays ignored.
    if (interrupts_before_watch[i].sa_handler == SIG_IGN)
      ::sigaction(kInterrupts[i], &interrupts_before_watch[i], nullptr);
  }
}

StopOnInterrupt::~StopOnInterrupt() {
  for (std::size_t i = 0; i < std::size(kInterrupts); ++i)
    ::sigaction(kInterrupts[i], &interrupts_before_watch[i], nullptr);
  watch_to_stop.store(nullptr);
}

}  // namespace tratta::platform
