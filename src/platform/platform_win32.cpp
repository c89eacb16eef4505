// The Windows platform layer: a real window and message box, wide-character
// file functions throughout, so that a program directory with letters
// outside the ANSI code page works.
//
// The same layer serves tratta_valle3.exe, a windowed program that gets no
// console, and its console twin tratta_valle3.com, which gets one when it
// is double-clicked and gives it up once its window shows. DPI awareness
// and the themed controls come from the manifest both carry.
//
// TRATTA_HOLD_MS (test aid, read only here): when set to a number of
// milliseconds, the end of the program waits until the window has been up
// that long, so that an automated check can see it. Capped at one minute.

#include <windows.h>
#include <shellapi.h>
#include <fcntl.h>
#include <io.h>

#include <algorithm>
#include <atomic>
#include <cstddef>
#include <cstdio>
#include <cstdlib>
#include <cwchar>
#include <functional>
#include <iostream>
#include <mutex>

#include "platform/bounded_read.h"
#include "platform/byte_stream.h"
#include "platform/folder_lock.h"
#include "platform/folder_watch.h"
#include "platform/platform.h"
#include "platform/resources.h"
#include "platform/thread.h"

namespace tratta::platform {

namespace fs = std::filesystem;

namespace {

// Sizes of the window and its label, in twips (1440 per inch).
constexpr int kClientWidthTw = 4200;
constexpr int kClientHeightTw = 2688;
constexpr int kLabelLeftTw = 960;
constexpr int kLabelTopTw = 960;
constexpr int kLabelWidthTw = 2652;
constexpr int kLabelHeightTw = 792;
constexpr int kLabelFontPoints = 24;
constexpr wchar_t kLabelFontFace[] = L"MS Sans Serif";
constexpr wchar_t kWindowClass[] = L"Form1";
constexpr wchar_t kWindowTitle[] = L"tratta_valle3";
constexpr DWORD kMaxHoldMs = 60000;

HWND main_window = nullptr;
HFONT label_font = nullptr;
ULONGLONG window_shown_at = 0;
DWORD hold_ms = 0;

std::string utf8(std::wstring_view w) {
  if (w.empty()) return {};
  int n = WideCharToMultiByte(CP_UTF8, 0, w.data(), static_cast<int>(w.size()), nullptr, 0, nullptr,
                              nullptr);
  std::string s(static_cast<size_t>(n), '\0');
  WideCharToMultiByte(CP_UTF8, 0, w.data(), static_cast<int>(w.size()), s.data(), n, nullptr,
                      nullptr);
  return s;
}

std::wstring wide(std::string_view s) {
  if (s.empty()) return {};
  int n = MultiByteToWideChar(CP_UTF8, 0, s.data(), static_cast<int>(s.size()), nullptr, 0);
  std::wstring w(static_cast<size_t>(n), L'\0');
  MultiByteToWideChar(CP_UTF8, 0, s.data(), static_cast<int>(s.size()), w.data(), n);
  return w;
}

/// The system's own text for an error code, without the trailing line end.
std::string system_message(DWORD err) {
  wchar_t* buffer = nullptr;
  DWORD n = FormatMessageW(
      FORMAT_MESSAGE_ALLOCATE_BUFFER | FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS,
      nullptr, err, 0, reinterpret_cast<wchar_t*>(&buffer), 0, nullptr);
  std::wstring text;
  if (n != 0 && buffer != nullptr) text.assign(buffer, n);
  if (buffer != nullptr) LocalFree(buffer);
  while (!text.empty() && (text.back() == L'\r' || text.back() == L'\n' || text.back() == L' '))
    text.pop_back();
  if (text.empty()) return "error " + std::to_string(err);
  return utf8(text) + " (" + std::to_string(err) + ")";
}

FileError fail(std::string_view what, const fs::path& path, DWORD err) {
  return FileError{std::string(what) + " '" + utf8(path.native()) + "': " + system_message(err)};
}

bool is_missing(DWORD err) { return err == ERROR_FILE_NOT_FOUND || err == ERROR_PATH_NOT_FOUND; }

/// Closes a handle when it goes out of scope.
class Handle {
 public:
  explicit Handle(HANDLE h) : h_(h) {}
  ~Handle() { close(); }
  Handle(const Handle&) = delete;
  Handle& operator=(const Handle&) = delete;
  bool valid() const { return h_ != INVALID_HANDLE_VALUE; }
  HANDLE get() const { return h_; }
  /// Closes now; false (with GetLastError set) when the system refused.
  bool close() {
    if (!valid()) return true;
    HANDLE h = h_;
    h_ = INVALID_HANDLE_VALUE;
    return CloseHandle(h) != 0;
  }

 private:
  HANDLE h_;
};

/// Writes all of `bytes`, as they are, in pieces that fit a DWORD.
bool write_all(HANDLE h, std::string_view bytes, DWORD& err) {
  const char* p = bytes.data();
  size_t left = bytes.size();
  while (left > 0) {
    DWORD chunk = left > (1u << 30) ? (1u << 30) : static_cast<DWORD>(left);
    DWORD written = 0;
    if (!WriteFile(h, p, chunk, &written, nullptr)) {
      err = GetLastError();
      return false;
    }
    p += written;
    left -= written;
  }
  return true;
}

/// The program's own path.
FileResult<fs::path> module_path() {
  std::wstring buffer(MAX_PATH, L'\0');
  for (;;) {
    DWORD n = GetModuleFileNameW(nullptr, buffer.data(), static_cast<DWORD>(buffer.size()));
    if (n == 0) {
      DWORD err = GetLastError();
      return FileError{"cannot find the program's own path: " + system_message(err)};
    }
    if (n < buffer.size()) {
      buffer.resize(n);
      return fs::path(buffer);
    }
    buffer.resize(buffer.size() * 2);  // cut short: try again with more room
  }
}

/// True when the standard handle leads to a console, a file or a pipe.
bool leads_somewhere(DWORD which) {
  HANDLE h = GetStdHandle(which);
  return h != nullptr && h != INVALID_HANDLE_VALUE && GetFileType(h) != FILE_TYPE_UNKNOWN;
}

/// Pixels for a length in twips at `dpi` pixels per inch.
int twips_to_pixels(int twips, int dpi) { return MulDiv(twips, dpi, 1440); }

DWORD hold_from_environment() {
  wchar_t value[16];
  DWORD n = GetEnvironmentVariableW(L"TRATTA_HOLD_MS", value, 16);
  if (n == 0 || n >= 16) return 0;
  unsigned long ms = std::wcstoul(value, nullptr, 10);
  return ms > kMaxHoldMs ? kMaxHoldMs : static_cast<DWORD>(ms);
}

/// Registered with atexit when a hold is asked for: keeps the window up
/// until it has been shown for `hold_ms`.
void hold_window_at_exit() {
  ULONGLONG shown_for = GetTickCount64() - window_shown_at;
  if (shown_for < hold_ms) Sleep(static_cast<DWORD>(hold_ms - shown_for));
}

}  // namespace

void init(int, char**) {}

std::vector<std::string> arguments() {
  // The narrow argv is in the ANSI code page; the wide command line holds
  // every letter of a path.
  std::vector<std::string> out;
  int n = 0;
  LPWSTR* wide = CommandLineToArgvW(GetCommandLineW(), &n);
  if (wide == nullptr) return out;
  for (int i = 1; i < n; ++i) out.push_back(utf8(wide[i]));
  LocalFree(wide);
  return out;
}

FileResult<fs::path> program_directory() {
  FileResult<fs::path> p = module_path();
  if (!p.ok()) return p;
  return p.value().parent_path();
}

void show_window(std::string_view label) {
  // The console twin, double-clicked, got a console window of its own,
  // which the one-shot run never writes to: let it go. A console shared
  // with a shell stays.
  DWORD console_processes[2];
  if (GetConsoleWindow() != nullptr && GetConsoleProcessList(console_processes, 2) == 1)
    FreeConsole();

  // Sizes follow the screen's real DPI rather than a scaled 96: the
  // manifest declares the program DPI-aware.
  HINSTANCE instance = GetModuleHandleW(nullptr);

  WNDCLASSEXW wc{};
  wc.cbSize = sizeof wc;
  wc.lpfnWndProc = DefWindowProcW;
  wc.hInstance = instance;
  wc.hIcon = LoadIconW(instance, MAKEINTRESOURCEW(TRATTA_ICON));
  if (wc.hIcon == nullptr)
    wc.hIcon = LoadIconW(nullptr, reinterpret_cast<LPCWSTR>(IDI_APPLICATION));
  wc.hCursor = LoadCursorW(nullptr, reinterpret_cast<LPCWSTR>(IDC_ARROW));
  wc.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_BTNFACE + 1);
  wc.lpszClassName = kWindowClass;
  if (!RegisterClassExW(&wc)) return;  // no window: the run goes on without it

  HDC screen = GetDC(nullptr);
  const int dpi_x = screen ? GetDeviceCaps(screen, LOGPIXELSX) : 96;
  const int dpi_y = screen ? GetDeviceCaps(screen, LOGPIXELSY) : 96;
  if (screen) ReleaseDC(nullptr, screen);

  // Fixed size: the window is painted once and never laid out again.
  const DWORD style = WS_OVERLAPPED | WS_CAPTION | WS_SYSMENU | WS_MINIMIZEBOX;
  RECT frame{0, 0, twips_to_pixels(kClientWidthTw, dpi_x), twips_to_pixels(kClientHeightTw, dpi_y)};
  AdjustWindowRectEx(&frame, style, FALSE, 0);
  main_window = CreateWindowExW(0, kWindowClass, kWindowTitle, style, CW_USEDEFAULT, CW_USEDEFAULT,
                                frame.right - frame.left, frame.bottom - frame.top, nullptr,
                                nullptr, instance, nullptr);
  if (main_window == nullptr) return;

  HWND text =
      CreateWindowExW(0, L"STATIC", wide(label).c_str(), WS_CHILD | WS_VISIBLE | SS_LEFT,
                      twips_to_pixels(kLabelLeftTw, dpi_x), twips_to_pixels(kLabelTopTw, dpi_y),
                      twips_to_pixels(kLabelWidthTw, dpi_x), twips_to_pixels(kLabelHeightTw, dpi_y),
                      main_window, reinterpret_cast<HMENU>(1), instance, nullptr);
  label_font = CreateFontW(-MulDiv(kLabelFontPoints, dpi_y, 72), 0, 0, 0, FW_BOLD, FALSE, FALSE,
                           FALSE, ANSI_CHARSET, OUT_DEFAULT_PRECIS, CLIP_DEFAULT_PRECIS,
                           DEFAULT_QUALITY, DEFAULT_PITCH | FF_DONTCARE, kLabelFontFace);
  if (text != nullptr && label_font != nullptr)
    SendMessageW(text, WM_SETFONT, reinterpret_cast<WPARAM>(label_font), FALSE);

  ShowWindow(main_window, SW_SHOWDEFAULT);
  UpdateWindow(main_window);
  // Let the system finish showing it (activation, the first paint); after
  // this nothing reads the queue again, so the window is never updated.
  MSG msg;
  while (PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) {
    TranslateMessage(&msg);
    DispatchMessageW(&msg);
  }

  window_shown_at = GetTickCount64();
  hold_ms = hold_from_environment();
  if (hold_ms > 0) std::atexit(hold_window_at_exit);
}

void message_box(std::string_view text) {
  // No title: the system's default caption applies.
  MessageBoxW(main_window, wide(text).c_str(), nullptr, MB_OK);
}

bool command_output_ready() {
  if (leads_somewhere(STD_OUTPUT_HANDLE) && leads_somewhere(STD_ERROR_HANDLE)) return true;
  // The windowed program started with a command from the Explorer, a
  // shortcut or a shell that does not wait for it: there is nowhere to
  // print, so point to the console twin beside it.
  const FileResult<fs::path> own = module_path();
  fs::path twin = own.ok() ? own.value() : fs::path(L"tratta_valle3.exe");
  twin.replace_extension(L".com");
  const std::wstring text =
      L"The authoring commands print into a console, and this program has none.\n\n"
      L"Run them from a command prompt with\n\n" +
      twin.native() +
      L"\n\n(in a command prompt in that folder, typing tratta_valle3 runs it).\n\n"
      L"Nothing was done.";
  MessageBoxW(nullptr, text.c_str(), kWindowTitle, MB_OK | MB_ICONINFORMATION);
  return false;
}

void binary_standard_streams() {
  _setmode(_fileno(stdin), _O_BINARY);
  _setmode(_fileno(stdout), _O_BINARY);
}

void report_failure(std::string_view text) {
  std::cerr << "tratta_valle3: " << text << std::endl;
  MessageBoxW(main_window, wide(text).c_str(), kWindowTitle, MB_OK | MB_ICONERROR);
}

bool open_in_browser(const std::string& address) {
  const HINSTANCE done = ShellExecuteW(nullptr, L"open", wide(address).c_str(), nullptr, nullptr,
                                       SW_SHOWNORMAL);
  return reinterpret_cast<INT_PTR>(done) > 32;
}

void prepare_memory(void* p, std::size_t size) noexcept {
  // Pages are mapped on their first touch; nothing is asked ahead here.
  (void)p;
  (void)size;
}

std::string local_clock_time() {
  SYSTEMTIME now;
  GetLocalTime(&now);
  char text[16];
  std::snprintf(text, sizeof text, "%02u:%02u:%02u", static_cast<unsigned>(now.wHour),
                static_cast<unsigned>(now.wMinute), static_cast<unsigned>(now.wSecond));
  return text;
}

void end_program(int status) {
  // Every file function closes its own handle before it returns, so no
  // file is open here; exit() flushes the streams.
  std::cout.flush();
  std::cerr.flush();
  std::exit(status);
}

bool file_exists(const fs::path& path) {
  return GetFileAttributesW(path.c_str()) != INVALID_FILE_ATTRIBUTES;
}

namespace {

/// Reads the open handle `h` from where it stands to its end, as
/// read_bounded does; `name` for messages.
FileResult<ReadOutcome> read_handle(HANDLE h, const fs::path& name, std::uint64_t limit,
                                    std::string& bytes) {
  std::optional<std::uint64_t> size;
  LARGE_INTEGER whole{}, at{}, zero{};
  if (GetFileType(h) == FILE_TYPE_DISK && GetFileSizeEx(h, &whole) &&
      SetFilePointerEx(h, zero, &at, FILE_CURRENT) && at.QuadPart >= 0 &&
      at.QuadPart <= whole.QuadPart)
    size = static_cast<std::uint64_t>(whole.QuadPart - at.QuadPart);
  const ReadSome read_some = [&](char* into, std::size_t n) -> FileResult<std::size_t> {
    const DWORD ask = n > (1u << 30) ? (1u << 30) : static_cast<DWORD>(n);
    DWORD got = 0;
    if (ReadFile(h, into, ask, &got, nullptr)) return static_cast<std::size_t>(got);
    const DWORD err = GetLastError();
    // The writer closed its end of a pipe: the end of the stream.
    if (err == ERROR_BROKEN_PIPE) return std::size_t{0};
    return fail("cannot read", name, err);
  };
  return read_to_end(read_some, size, limit, bytes);
}

}  // namespace

FileResult<ReadOutcome> read_bounded(const fs::path& path, std::uint64_t limit,
                                     std::string& bytes, ReadKinds kinds) {
  bytes.clear();
  Handle file(CreateFileW(
      path.c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr,
      OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL | FILE_FLAG_SEQUENTIAL_SCAN, nullptr));
  if (!file.valid()) {
    DWORD err = GetLastError();
    if (is_missing(err)) return ReadOutcome::kMissing;
    return fail("cannot open", path, err);
  }
  // A named pipe, a console, a device: only a file of the disk is a file.
  if (kinds == ReadKinds::kRegularOnly && GetFileType(file.get()) != FILE_TYPE_DISK)
    return ReadOutcome::kNotRegular;
  return read_handle(file.get(), path, limit, bytes);
}

FileResult<ReadOutcome> read_standard_input(std::uint64_t limit, std::string& bytes) {
  bytes.clear();
  const fs::path name(kStandardInputName);
  HANDLE h = GetStdHandle(STD_INPUT_HANDLE);
  if (h == nullptr || h == INVALID_HANDLE_VALUE) return fail("cannot read", name, ERROR_INVALID_HANDLE);
  return read_handle(h, name, limit, bytes);
}

FileStatus delete_file(const fs::path& path) {
  if (!DeleteFileW(path.c_str())) {
    DWORD err = GetLastError();
    if (!is_missing(err)) return fail("cannot delete", path, err);
  }
  return {};
}

bool directory_writable(const fs::path& directory) {
  DWORD attributes = GetFileAttributesW(directory.c_str());
  if (attributes == INVALID_FILE_ATTRIBUTES || !(attributes & FILE_ATTRIBUTE_DIRECTORY))
    return false;
  // Read-only attributes on folders mean nothing to Windows; only trying
  // tells. The probe file goes away when its handle is closed.
  fs::path probe = directory / (L".tratta-probe-" + std::to_wstring(GetCurrentProcessId()));
  Handle file(CreateFileW(probe.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_NEW,
                          FILE_ATTRIBUTE_TEMPORARY | FILE_FLAG_DELETE_ON_CLOSE, nullptr));
  return file.valid();
}

// --- Held files ---------------------------------------------------------------
//
// A temporary is held by its handle, opened without FILE_SHARE_DELETE: a
// later run cannot delete it while this one lives, and the handle (with
// DELETE access) lets the console handler mark it for deletion when the
// console goes away. Backups are not held: a handle on an output's older
// file would stop the rename that replaces it.

namespace {

constexpr int kSlots = 32;

/// The register of held temporaries, shared with the console handler,
/// which runs on a thread of its own.
struct Register {
  CRITICAL_SECTION lock;
  HANDLE handles[kSlots];
  Register() {
    InitializeCriticalSection(&lock);
    for (HANDLE& h : handles) h = INVALID_HANDLE_VALUE;
  }
};

Register& held_register() {
  static Register r;
  return r;
}

class RegisterLock {
 public:
  RegisterLock() { EnterCriticalSection(&held_register().lock); }
  ~RegisterLock() { LeaveCriticalSection(&held_register().lock); }
  RegisterLock(const RegisterLock&) = delete;
  RegisterLock& operator=(const RegisterLock&) = delete;
};

HANDLE handle_of(const HeldFile& file) {
  return file.handle == -1 ? INVALID_HANDLE_VALUE : reinterpret_cast<HANDLE>(file.handle);
}

/// Marks the file of `h` to be deleted when its last handle closes.
void mark_for_deletion(HANDLE h) {
  FILE_DISPOSITION_INFO info{};
  info.DeleteFile = TRUE;
  SetFileInformationByHandle(h, FileDispositionInfo, &info, sizeof info);
}

void let_go(HeldFile& file) {
  RegisterLock lock;
  if (file.slot >= 0) held_register().handles[file.slot] = INVALID_HANDLE_VALUE;
  file.slot = -1;
  if (HANDLE h = handle_of(file); h != INVALID_HANDLE_VALUE) CloseHandle(h);
  file.handle = -1;
}

BOOL WINAPI remove_held_on_console_event(DWORD) {
  // Taken for good: an output set in the middle of its renames finishes
  // them first, and nothing is renamed after this.
  EnterCriticalSection(&held_register().lock);
  for (HANDLE h : held_register().handles)
    if (h != INVALID_HANDLE_VALUE) mark_for_deletion(h);
  // Not handled here: the system ends the process, which closes the
  // handles and so deletes the files.
  return FALSE;
}

}  // namespace

FileResult<HeldFile> create_held(const fs::path& path, const fs::path& output) {
  RegisterLock lock;
  HANDLE h = CreateFileW(path.c_str(), GENERIC_WRITE | DELETE, FILE_SHARE_READ, nullptr, CREATE_NEW,
                         FILE_ATTRIBUTE_NORMAL, nullptr);
  if (h == INVALID_HANDLE_VALUE) return fail("cannot create", output, GetLastError());
  HeldFile file{path, output, reinterpret_cast<std::intptr_t>(h), -1};
  for (int i = 0; i < kSlots; ++i) {
    if (held_register().handles[i] == INVALID_HANDLE_VALUE) {
      held_register().handles[i] = h;
      file.slot = i;
      break;
    }
  }
  return file;
}

FileStatus write_held_at(HeldFile& file, std::uint64_t offset, std::string_view bytes) {
  LARGE_INTEGER where;
  where.QuadPart = static_cast<LONGLONG>(offset);
  if (!SetFilePointerEx(handle_of(file), where, nullptr, FILE_BEGIN))
    return fail("cannot write", file.output, GetLastError());
  DWORD err = 0;
  if (!write_all(handle_of(file), bytes, err)) return fail("cannot write", file.output, err);
  return {};
}

FileResult<bool> hold_backup(const fs::path& existing, const fs::path& backup, HeldFile& out) {
  out = HeldFile{};
  if (CreateHardLinkW(backup.c_str(), existing.c_str(), nullptr)) {
    out.path = backup;
    out.output = existing;
    return false;
  }
  DWORD err = GetLastError();
  if (is_missing(err)) return false;  // gone meanwhile: there is nothing to keep
  if (err == ERROR_NOT_SUPPORTED || err == ERROR_INVALID_FUNCTION ||
      err == ERROR_TOO_MANY_LINKS || err == ERROR_ACCESS_DENIED) {
    // No second name here: the older file itself moves aside.
    if (MoveFileExW(existing.c_str(), backup.c_str(), MOVEFILE_WRITE_THROUGH)) {
      out.path = backup;
      out.output = existing;
      return true;
    }
    err = GetLastError();
  }
  return fail("cannot keep the older file", existing, err);
}

void start_writeback(HeldFile&) noexcept {
  // NTFS gives a rename no extra work to do: nothing to start early.
}

FileStatus rename_held(HeldFile& file, const fs::path& target) {
  let_go(file);  // a file open without FILE_SHARE_DELETE cannot be renamed
  if (!MoveFileExW(file.path.c_str(), target.c_str(),
                   MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH))
    return fail("cannot replace", target, GetLastError());
  file.path.clear();
  return {};
}

void remove_held(HeldFile& file) noexcept {
  if (file.path.empty()) return;
  if (HANDLE h = handle_of(file); h != INVALID_HANDLE_VALUE) {
    mark_for_deletion(h);
    let_go(file);
  } else {
    let_go(file);
    DeleteFileW(file.path.c_str());
  }
  file.path.clear();
}

bool remove_if_abandoned(const fs::path& path) noexcept {
  DWORD attributes = GetFileAttributesW(path.c_str());
  if (attributes == INVALID_FILE_ATTRIBUTES) return is_missing(GetLastError());
  if (attributes & FILE_ATTRIBUTE_DIRECTORY) return false;
  // A live run holds its temporary open without FILE_SHARE_DELETE: the
  // deletion is then refused.
  return DeleteFileW(path.c_str()) != 0;
}

bool delete_quietly(const fs::path& path) noexcept {
  return DeleteFileW(path.c_str()) != 0 || is_missing(GetLastError());
}

void install_interrupt_cleanup() {
  held_register();
  SetConsoleCtrlHandler(remove_held_on_console_event, TRUE);
}

InterruptsHeld::InterruptsHeld() { EnterCriticalSection(&held_register().lock); }

InterruptsHeld::~InterruptsHeld() { LeaveCriticalSection(&held_register().lock); }

std::jthread start_thread(std::function<void(std::stop_token)> body) {
  // Console control events come on a thread the system starts for them;
  // the program's own threads take none.
  return std::jthread(std::move(body));
}

namespace {

/// The standard input (a pipe from the editor, a file, a console): each
/// read is a blocking ReadFile on the reading thread, which cancel() ends
/// with CancelSynchronousIo.
class StandardInputStream final : public ByteStream {
 public:
  ~StandardInputStream() override {
    if (reader_ != nullptr) CloseHandle(reader_);
  }
  FileResult<std::size_t> read_some(char* into, std::size_t n) override {
    {
      std::lock_guard<std::mutex> lock(m_);
      if (cancelled_) return std::size_t{0};
      if (reader_ == nullptr)
        DuplicateHandle(GetCurrentProcess(), GetCurrentThread(), GetCurrentProcess(), &reader_, 0,
                        FALSE, DUPLICATE_SAME_ACCESS);
      reading_ = true;
    }
    DWORD got = 0;
    const BOOL ok = ReadFile(GetStdHandle(STD_INPUT_HANDLE), into,
                             static_cast<DWORD>(std::min<std::size_t>(n, 1u << 30)), &got, nullptr);
    const DWORD err = ok ? ERROR_SUCCESS : GetLastError();
    std::lock_guard<std::mutex> lock(m_);
    reading_ = false;
    if (cancelled_) return std::size_t{0};
    if (ok) return static_cast<std::size_t>(got);
    // The writer closed its end of the pipe: the end of the stream.
    if (err == ERROR_BROKEN_PIPE || err == ERROR_HANDLE_EOF) return std::size_t{0};
    return FileError{"cannot read " + std::string(kStandardInputName) + ": " + system_message(err)};
  }
  void cancel() noexcept override {
    // The read may be about to start: asked again until it has ended.
    for (int i = 0; i < 200; ++i) {
      {
        std::lock_guard<std::mutex> lock(m_);
        cancelled_ = true;
        if (!reading_) return;
        if (reader_ != nullptr) CancelSynchronousIo(reader_);
      }
      Sleep(5);
    }
  }

 private:
  std::mutex m_;
  HANDLE reader_ = nullptr;
  bool reading_ = false, cancelled_ = false;
};

}  // namespace

std::unique_ptr<ByteStream> standard_input_stream() { return std::make_unique<StandardInputStream>(); }

namespace {

/// The file system's own index of the open file (NtQueryInformationFile,
/// FileInternalInformation): asked of the file alone, so that no volume
/// serial number is needed, which some volumes refuse to give.
bool file_index(HANDLE h, std::uint64_t& index) {
  struct IoStatus {
    union {
      LONG status;
      void* pointer;
    };
    ULONG_PTR information;
  };
  using Query = LONG(WINAPI*)(HANDLE, IoStatus*, void*, ULONG, int);
  constexpr int kFileInternalInformation = 6;
  static const Query query = reinterpret_cast<Query>(
      reinterpret_cast<void*>(GetProcAddress(GetModuleHandleW(L"ntdll.dll"), "NtQueryInformationFile")));
  LARGE_INTEGER value{};
  IoStatus io{};
  if (query == nullptr || query(h, &io, &value, sizeof value, kFileInternalInformation) < 0)
    return false;
  index = static_cast<std::uint64_t>(value.QuadPart);
  return true;
}

/// A number for the volume that holds the open file, from the name of its
/// mount point, taken from the file's final path (links and junctions
/// followed): files on one volume give the same number.
std::uint64_t volume_number(HANDLE h) {
  std::wstring final_path(MAX_PATH, L'\0');
  for (;;) {
    DWORD n = GetFinalPathNameByHandleW(h, final_path.data(), static_cast<DWORD>(final_path.size()),
                                        FILE_NAME_NORMALIZED | VOLUME_NAME_DOS);
    if (n == 0) return 0;
    if (n < final_path.size()) {
      final_path.resize(n);
      break;
    }
    final_path.resize(n + 1);
  }
  std::wstring mount(final_path.size() + 1, L'\0');
  if (!GetVolumePathNameW(final_path.c_str(), mount.data(), static_cast<DWORD>(mount.size())))
    return 0;
  mount.resize(std::wcslen(mount.c_str()));
  CharUpperBuffW(mount.data(), static_cast<DWORD>(mount.size()));
  return std::hash<std::wstring>{}(mount);
}

/// The identity of the open file `h`.
std::optional<FileId> identity_of(HANDLE h) {
  std::uint64_t index = 0;
  if (!file_index(h, index)) return std::nullopt;
  return FileId{volume_number(h), 0, index};
}

}  // namespace

std::optional<FileId> file_identity(const fs::path& path) {
  Handle file(CreateFileW(path.c_str(), 0, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
                          nullptr, OPEN_EXISTING, FILE_FLAG_BACKUP_SEMANTICS, nullptr));
  if (!file.valid()) return std::nullopt;
  return identity_of(file.get());
}

std::optional<FileId> standard_input_identity() {
  HANDLE h = GetStdHandle(STD_INPUT_HANDLE);
  if (h == nullptr || h == INVALID_HANDLE_VALUE || GetFileType(h) != FILE_TYPE_DISK)
    return std::nullopt;
  return identity_of(h);
}

std::size_t max_name_length(const fs::path& directory) {
  std::error_code ec;
  fs::path p = fs::absolute(directory.empty() ? fs::path(L".") : directory, ec);
  while (!ec && !fs::exists(p, ec) && p.has_relative_path()) p = p.parent_path();
  // Asked through a handle, for the limit alone: the volume's label and
  // serial are not needed (and a volume may refuse them).
  Handle folder(CreateFileW(p.c_str(), 0, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
                            nullptr, OPEN_EXISTING, FILE_FLAG_BACKUP_SEMANTICS, nullptr));
  DWORD longest = 0;
  if (folder.valid() &&
      GetVolumeInformationByHandleW(folder.get(), nullptr, 0, nullptr, &longest, nullptr, nullptr,
                                    0) &&
      longest > 0)
    return longest;
  return 255;
}

std::size_t name_length(const fs::path& name) { return name.native().size(); }

FileStatus create_directories(const fs::path& directory) {
  DWORD attributes = GetFileAttributesW(directory.c_str());
  if (attributes != INVALID_FILE_ATTRIBUTES) {
    if (!(attributes & FILE_ATTRIBUTE_DIRECTORY))
      return fail("cannot create the folder", directory, ERROR_DIRECTORY);
    return {};
  }
  const fs::path parent = directory.parent_path();
  if (!parent.empty() && parent != directory && parent.has_relative_path()) {
    if (FileStatus s = platform::create_directories(parent); !s.ok()) return s;
  }
  if (!CreateDirectoryW(directory.c_str(), nullptr) && GetLastError() != ERROR_ALREADY_EXISTS)
    return fail("cannot create the folder", directory, GetLastError());
  return {};
}

FileResult<std::optional<FolderLock>> try_lock_folder(const fs::path& folder, LockMode mode) {
  // A folder's handle takes no byte-range lock: a hidden file in it does.
  const fs::path file = folder / kLockFileName;
  HANDLE h = CreateFileW(file.c_str(), GENERIC_READ | GENERIC_WRITE,
                         FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr,
                         OPEN_ALWAYS, FILE_ATTRIBUTE_HIDDEN, nullptr);
  if (h == INVALID_HANDLE_VALUE) return fail("cannot lock the folder", folder, GetLastError());
  FolderLock lock;
  lock.folder_ = folder;
  lock.mode_ = mode;
  OVERLAPPED at{};
  const DWORD flags =
      (mode == LockMode::kExclusive ? LOCKFILE_EXCLUSIVE_LOCK : 0) | LOCKFILE_FAIL_IMMEDIATELY;
  if (LockFileEx(h, flags, 0, 1, 0, &at)) {
    lock.handle_ = reinterpret_cast<std::intptr_t>(h);
    return std::optional<FolderLock>(std::move(lock));
  }
  const DWORD err = GetLastError();
  CloseHandle(h);
  if (err == ERROR_LOCK_VIOLATION || err == ERROR_SHARING_VIOLATION)
    return std::optional<FolderLock>();
  // A file system without locks: the run goes on unlocked.
  return std::optional<FolderLock>(std::move(lock));
}

void FolderLock::release() noexcept {
  if (handle_ != -1) CloseHandle(reinterpret_cast<HANDLE>(handle_));
  handle_ = -1;
}

// --- Notices of changes (folder_watch.h) ------------------------------------

struct FolderWatch::State {
  /// One folder: its handle (INVALID_HANDLE_VALUE while the folder is
  /// gone), the read of its changes under way and where they land, and the
  /// names it looks for.
  struct Folder {
    fs::path path;
    std::vector<fs::path> names;
    HANDLE handle = INVALID_HANDLE_VALUE;
    OVERLAPPED overlapped{};
    alignas(DWORD) unsigned char buffer[16384];
  };
  HANDLE wake = nullptr;  // a manual-reset event that a stop request sets
  std::atomic<bool> stop{false};
  std::vector<std::unique_ptr<Folder>> folders;

  ~State() {
    for (auto& f : folders) {
      close(*f);
      if (f->overlapped.hEvent != nullptr) CloseHandle(f->overlapped.hEvent);
    }
    if (wake != nullptr) CloseHandle(wake);
  }

  /// Ends the read under way and lets the folder go.
  static void close(Folder& f) {
    if (f.handle == INVALID_HANDLE_VALUE) return;
    CancelIoEx(f.handle, &f.overlapped);
    DWORD ignored;
    GetOverlappedResult(f.handle, &f.overlapped, &ignored, TRUE);
    CloseHandle(f.handle);
    f.handle = INVALID_HANDLE_VALUE;
    ResetEvent(f.overlapped.hEvent);
  }

  /// Opens the folder and asks for its changes; the system's error when
  /// it cannot.
  static DWORD watch(Folder& f) {
    f.handle = CreateFileW(f.path.c_str(), FILE_LIST_DIRECTORY,
                           FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr,
                           OPEN_EXISTING, FILE_FLAG_BACKUP_SEMANTICS | FILE_FLAG_OVERLAPPED, nullptr);
    if (f.handle == INVALID_HANDLE_VALUE) return GetLastError();
    if (read_changes(f)) return ERROR_SUCCESS;
    const DWORD err = GetLastError();
    close(f);
    return err;
  }

  /// Asks for the folder's next changes; they come when its event is set.
  static bool read_changes(Folder& f) {
    constexpr DWORD kWhat = FILE_NOTIFY_CHANGE_FILE_NAME | FILE_NOTIFY_CHANGE_LAST_WRITE |
                            FILE_NOTIFY_CHANGE_SIZE | FILE_NOTIFY_CHANGE_ATTRIBUTES |
                            FILE_NOTIFY_CHANGE_CREATION;
    ResetEvent(f.overlapped.hEvent);
    return ReadDirectoryChangesW(f.handle, f.buffer, sizeof f.buffer, FALSE, kWhat, nullptr,
                                 &f.overlapped, nullptr) != 0;
  }

  bool any_gone() const {
    return std::any_of(folders.begin(), folders.end(),
                       [](const auto& f) { return f->handle == INVALID_HANDLE_VALUE; });
  }
  /// Watches again each folder that is gone and has come back: true when
  /// one did.
  bool watch_returned() {
    bool back = false;
    for (auto& f : folders)
      if (f->handle == INVALID_HANDLE_VALUE && watch(*f) == ERROR_SUCCESS) back = true;
    return back;
  }
};

FolderWatch::FolderWatch(std::unique_ptr<State> state) : state_(std::move(state)) {}
FolderWatch::FolderWatch(FolderWatch&&) noexcept = default;
FolderWatch& FolderWatch::operator=(FolderWatch&&) noexcept = default;
FolderWatch::~FolderWatch() = default;

FileResult<FolderWatch> FolderWatch::open(const std::vector<fs::path>& files) {
  if (files.empty()) return FileError{"no file to watch"};
  auto state = std::make_unique<State>();
  state->wake = CreateEventW(nullptr, TRUE, FALSE, nullptr);
  if (state->wake == nullptr) return fail("cannot watch the folder", files.front(), GetLastError());
  // WaitForMultipleObjects takes the stop event and at most 63 folders.
  for (WatchedFolder& w : folders_to_watch(files)) {
    auto f = std::make_unique<State::Folder>();
    f->path = w.folder;
    f->names = std::move(w.names);
    f->overlapped.hEvent = CreateEventW(nullptr, TRUE, FALSE, nullptr);
    if (f->overlapped.hEvent == nullptr)
      return fail("cannot watch the folder", w.folder, GetLastError());
    const DWORD err = State::watch(*f);
    state->folders.push_back(std::move(f));
    if (err != ERROR_SUCCESS) return fail("cannot watch the folder", w.folder, err);
    if (state->folders.size() >= MAXIMUM_WAIT_OBJECTS)
      return fail("cannot watch the folder", w.folder, ERROR_TOO_MANY_OPEN_FILES);
  }
  return FolderWatch(std::move(state));
}

FileResult<FolderWatch::Outcome> FolderWatch::wait(
    std::optional<std::chrono::milliseconds> timeout) {
  using Clock = std::chrono::steady_clock;
  // While a folder is gone, the watch looks for its return this often.
  constexpr DWORD kLookAgainMs = 200;
  const auto until = timeout ? Clock::now() + *timeout : Clock::time_point::max();
  bool changed = false;
  for (;;) {
    if (state_->stop.load()) return Outcome::kStopped;
    // A folder that has come back is a change: its files may be there.
    if (state_->any_gone() && state_->watch_returned()) changed = true;
    std::vector<HANDLE> events{state_->wake};
    std::vector<State::Folder*> watched;
    for (auto& f : state_->folders) {
      if (f->handle == INVALID_HANDLE_VALUE) continue;
      events.push_back(f->overlapped.hEvent);
      watched.push_back(f.get());
    }
    DWORD ms = INFINITE;
    if (changed) {
      ms = 0;  // only what has come already
    } else if (timeout) {
      const auto left = std::chrono::ceil<std::chrono::milliseconds>(until - Clock::now()).count();
      ms = static_cast<DWORD>(std::clamp<long long>(left, 0, INFINITE - 1));
    }
    if (state_->any_gone()) ms = std::min(ms, kLookAgainMs);
    const DWORD r =
        WaitForMultipleObjects(static_cast<DWORD>(events.size()), events.data(), FALSE, ms);
    if (r == WAIT_FAILED)
      return FileError{"cannot wait for changes: " + system_message(GetLastError())};
    if (state_->stop.load()) return Outcome::kStopped;
    if (r == WAIT_TIMEOUT) {
      if (changed) return Outcome::kChanged;
      if (timeout && Clock::now() >= until) return Outcome::kTimedOut;
      continue;
    }
    const DWORD i = r - WAIT_OBJECT_0;
    if (i == 0 || i >= events.size()) continue;
    State::Folder& f = *watched[i - 1];
    DWORD got = 0;
    if (!GetOverlappedResult(f.handle, &f.overlapped, &got, FALSE)) {
      if (GetLastError() != ERROR_NOTIFY_ENUM_DIR) {
        // The folder went away (removed, renamed): its files with it.
        State::close(f);
        changed = true;
        continue;
      }
      got = 0;
    }
    // No bytes: more changes than the buffer held, so some were lost.
    if (got == 0) changed = true;
    for (DWORD at = 0; got >= sizeof(FILE_NOTIFY_INFORMATION) && at < got;) {
      const auto* n = reinterpret_cast<const FILE_NOTIFY_INFORMATION*>(f.buffer + at);
      const std::size_t units = n->FileNameLength / sizeof(wchar_t);
      if (at + offsetof(FILE_NOTIFY_INFORMATION, FileName) + n->FileNameLength > got) break;
      const std::wstring name(n->FileName, units);
      for (const fs::path& watched_name : f.names)
        if (CompareStringOrdinal(name.c_str(), static_cast<int>(name.size()),
                                 watched_name.c_str(), static_cast<int>(watched_name.native().size()),
                                 TRUE) == CSTR_EQUAL)
          changed = true;
      if (n->NextEntryOffset == 0) break;
      at += n->NextEntryOffset;
    }
    if (!State::read_changes(f)) {
      State::close(f);
      changed = true;
    }
    if (!changed && timeout && Clock::now() >= until) return Outcome::kTimedOut;
  }
}

void FolderWatch::request_stop() noexcept {
  state_->stop.store(true);
  SetEvent(state_->wake);
}

bool FolderWatch::stop_requested() const noexcept { return state_->stop.load(); }

namespace {

std::atomic<FolderWatch*> watch_to_stop{nullptr};
HANDLE watch_stopped = nullptr;  // set once the watch has ended

BOOL WINAPI stop_watch_on_console_event(DWORD event) {
  FolderWatch* watch = watch_to_stop.load();
  if (watch == nullptr) return FALSE;
  const bool first = !watch->stop_requested();
  watch->request_stop();
  if (event == CTRL_C_EVENT || event == CTRL_BREAK_EVENT) {
    // The first is handled by the watch; a second one ends the process,
    // the held files removed (remove_held_on_console_event).
    return first ? TRUE : FALSE;
  }
  // The console closed, a logoff, a shutdown: the system ends the process
  // once this returns. The run under way gets a moment to finish its set.
  WaitForSingleObject(watch_stopped, 3000);
  return FALSE;
}

}  // namespace

StopOnInterrupt::StopOnInterrupt(FolderWatch& watch) {
  if (watch_stopped == nullptr) watch_stopped = CreateEventW(nullptr, TRUE, FALSE, nullptr);
  if (watch_stopped != nullptr) ResetEvent(watch_stopped);
  watch_to_stop.store(&watch);
  SetConsoleCtrlHandler(stop_watch_on_console_event, TRUE);
}

StopOnInterrupt::~StopOnInterrupt() {
  SetConsoleCtrlHandler(stop_watch_on_console_event, FALSE);
  watch_to_stop.store(nullptr);
  if (watch_stopped != nullptr) SetEvent(watch_stopped);
}

}  // namespace tratta::platform
