#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <atomic>
#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <iostream>

#include "platform/platform.h"

namespace tratta::platform {

namespace fs = std::filesystem;

namespace {

std::string argv0;
std::vector<std::string> args;

[[noreturn]] void fail(std::string_view what, const fs::path& path, int err) {
  throw FileError(std::string(what) + " '" + path.string() + "': " + std::strerror(err));
}

/// Writes all of `bytes` to `fd`, going on after short writes.
bool write_all(int fd, std::string_view bytes, int& err) {
  const char* p = bytes.data();
  size_t left = bytes.size();
  while (left > 0) {
    ssize_t n = ::write(fd, p, left);
    if (n < 0) {
      if (errno == EINTR) continue;
      err = errno;
      return false;
    }
    p += n;
    left -= static_cast<size_t>(n);
  }
  return true;
}

}  // namespace

void init(int argc, char** argv) {
  if (argc > 0 && argv[0] != nullptr) argv0 = argv[0];
  args.assign(argv + (argc > 0 ? 1 : 0), argv + argc);
}

std::vector<std::string> arguments() { return args; }

fs::path program_directory() {
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

void report_failure(std::string_view text) {
  std::cerr << "tratta_valle3: " << text << std::endl;
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

bool read_file(const fs::path& path, std::string& bytes) {
  int fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC);
  if (fd < 0) {
    if (errno == ENOENT) return false;
    fail("cannot open", path, errno);
  }
  bytes.clear();
  char buf[1 << 16];
  for (;;) {
    ssize_t n = ::read(fd, buf, sizeof buf);
    if (n < 0) {
      if (errno == EINTR) continue;
      int err = errno;
      ::close(fd);
      fail("cannot read", path, err);
    }
    if (n == 0) break;
    bytes.append(buf, static_cast<size_t>(n));
  }
  ::close(fd);
  return true;
}

void delete_file(const fs::path& path) {
  if (::unlink(path.c_str()) != 0 && errno != ENOENT) fail("cannot delete", path, errno);
}

void replace_file(const fs::path& path, std::string_view bytes) {
  static std::atomic<unsigned> counter{0};
  fs::path temp = path;
  temp += ".tmp-" + std::to_string(::getpid()) + "-" + std::to_string(counter++);
  int fd = ::open(temp.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0666);
  if (fd < 0) fail("cannot create", path, errno);
  int err = 0;
  bool ok = write_all(fd, bytes, err);
  if (::close(fd) != 0 && ok) {
    ok = false;
    err = errno;
  }
  if (ok && ::rename(temp.c_str(), path.c_str()) != 0) {
    ok = false;
    err = errno;
  }
  if (!ok) {
    ::unlink(temp.c_str());
    fail("cannot write", path, err);
  }
}

bool directory_writable(const fs::path& directory) {
  struct stat st;
  if (::stat(directory.c_str(), &st) != 0 || !S_ISDIR(st.st_mode)) return false;
  return ::access(directory.c_str(), W_OK | X_OK) == 0;
}

}  // namespace tratta::platform
