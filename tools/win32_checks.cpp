// tratta_win32_checks: helper of tools/test-windows, built only for Windows.
//
//   tratta_win32_checks errore-1250
//       Writes, beside itself, a line description whose indication sign
//       lands on segment 1 and a minimal train description, shows the
//       window and runs the compile step as the real run does: the stamp
//       check fails, so the program must end through `errore` with
//       " Errore n. 1250" and write no scenario file. Exits with 3 when the
//       compile step did not stop.
//
//   tratta_win32_checks files
//       The file functions of the platform layer in a new folder with
//       letters outside the ANSI code page, beside the program: bytes go
//       through unchanged, a failed replace leaves no temporary file and
//       reports the file's name and the system's reason. Exits 0 or 1.
//
//   tratta_win32_checks window TIMEOUT_MS
//       Waits for the program's window and checks its client area and its
//       label against their sizes in twips, at the screen's DPI. Prints
//       "label-screen X Y W H" (the label's place on the screen) for the
//       caller's look at the pixels.
//
//       Also prints "controls PATH", the common controls library that the
//       program's process loaded ("controls none" when none): version 6,
//       from the side-by-side store, when its manifest asked for it.
//
//   tratta_win32_checks box TEXT TIMEOUT_MS
//   tratta_win32_checks box-starting TEXT TIMEOUT_MS
//       Waits for a message box that shows exactly TEXT (or a text that
//       starts with it) and checks that it has a single OK button. Prints
//       its caption.
//
//   tratta_win32_checks version FILE
//       Prints the version resource of FILE as Windows reads it for the
//       file's Properties: "file-version A.B.C.D", "product-version
//       A.B.C.D" and one line "string NAME VALUE" per text of its US
//       English table. Exits 1 when FILE has none.
//
//   tratta_win32_checks launch TIMEOUT_MS PROGRAM [ARGUMENTS...]
//       Starts PROGRAM as the Explorer does when it is double-clicked: a
//       console program gets a console window of its own, a windowed one
//       none. Watches the screen for console windows until the program
//       ends, then prints "console-windows N" and "exit STATUS". Exits 2
//       (and ends the program) when it is still running after TIMEOUT_MS.
//
// The watching modes exit 0 when all is as it should be, 1 on a mismatch
// and 2 when nothing appeared in time.

#include <windows.h>
// After windows.h, which they need.
#include <psapi.h>
#include <shellapi.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <cwctype>
#include <exception>
#include <set>
#include <string>
#include <vector>

#include "model/file_names.h"
#include "model/route_model.h"
#include "platform/output_set.h"
#include "platform/platform.h"
#include "compile/errore.h"
#include "compile/file_descriptions.h"
#include "compile/memorizza_percorso.h"

namespace {

std::string utf8(const std::wstring& w) {
  return tratta::platform::path_to_utf8(std::filesystem::path(w));
}

std::wstring window_text(HWND h) {
  wchar_t buffer[512];
  int n = GetWindowTextW(h, buffer, 512);
  return std::wstring(buffer, n > 0 ? static_cast<size_t>(n) : 0);
}

std::wstring class_name(HWND h) {
  wchar_t buffer[256];
  int n = GetClassNameW(h, buffer, 256);
  return std::wstring(buffer, n > 0 ? static_cast<size_t>(n) : 0);
}

std::vector<HWND> children(HWND parent) {
  std::vector<HWND> found;
  EnumChildWindows(
      parent,
      [](HWND h, LPARAM p) -> BOOL {
        reinterpret_cast<std::vector<HWND>*>(p)->push_back(h);
        return TRUE;
      },
      reinterpret_cast<LPARAM>(&found));
  return found;
}

std::vector<HWND> top_level_windows() {
  std::vector<HWND> found;
  EnumWindows(
      [](HWND h, LPARAM p) -> BOOL {
        reinterpret_cast<std::vector<HWND>*>(p)->push_back(h);
        return TRUE;
      },
      reinterpret_cast<LPARAM>(&found));
  return found;
}

int failures = 0;

void expect(bool ok, const std::string& what) {
  std::printf("%s %s\n", ok ? "ok  " : "FAIL", what.c_str());
  if (!ok) ++failures;
}

void write_text(const tratta::platform::FolderLock& folder, const std::filesystem::path& name,
                const char* text) {
  std::string crlf;
  for (const char* c = text; *c != '\0'; ++c) {
    if (*c == '\n') crlf += '\r';
    crlf += *c;
  }
  if (!tratta::replace_file(folder, name, crlf).ok())
    std::fprintf(stderr, "cannot write a description\n");
}

int errore_1250() {
  tratta::RouteModel modello;
  modello.nomi = tratta::nomi_predefiniti();
  const std::filesystem::path cartella = tratta::platform::program_directory().value();
  const std::filesystem::path linea = cartella / tratta::nome_descrizione_linea(modello.nomi);
  const std::filesystem::path treno = cartella / tratta::nome_descrizione_treno(modello.nomi);
  tratta::FileDescriptions descrizioni(linea, treno, true);
  const tratta::platform::FolderLock blocco = std::move(
      tratta::platform::lock_folder(cartella, tratta::platform::LockMode::kExclusive).value());
  // The sign at 0 m goes to segment round(0 / 50 + 1) = 1, whose valore1
  // then holds the sign's slot: the stamp 5121 finds it taken.
  write_text(blocco, linea.filename(),
             "prova errore 1250\n"
             "\n"
             "inizio dati\n"
             "[generale]\n"
             "lunghezza percorso,    10000\n"
             "[cartelli]\n"
             "cartello_indicatore,    0,    [galleria] [Prova] [100 m]\n"
             "[fine]\n"
             "                \n");
  write_text(blocco, treno.filename(),
             "prova errore 1250\n"
             "\n"
             "inizio dati\n"
             "[generale]\n"
             "velocita,    0,    100\n"
             "aderenza,    0,    80\n"
             "[fine]\n"
             "     \n");

  tratta::platform::show_window("Attendere");
  const int32_t j = 1;
  tratta::EsitoCompilazione esito;
  (void)tratta::memorizza_percorso(modello, j, descrizioni, blocco, esito);
  if (esito.errore_fatale != 0) tratta::errore(std::to_string(esito.errore_fatale));
  std::fprintf(stderr, "the compile step did not stop (codice_errore %d, %zu files written)\n",
               static_cast<int>(esito.diagnosi.codice_errore), esito.file_scritti.size());
  return 3;
}

int check_files() {
  namespace fs = std::filesystem;
  namespace platform = tratta::platform;
  const fs::path folder = platform::program_directory().value() / L"prova-\u00e8\u0107\u65e5";
  fs::remove_all(folder);
  fs::create_directory(folder);
  auto entries = [&folder] {
    std::vector<std::string> names;
    for (const auto& e : fs::directory_iterator(folder))
      if (e.path().filename() != platform::kLockFileName)
        names.push_back(utf8(e.path().filename().native()));
    return names;
  };

  // The folder's lock: one exclusive holder, or shared ones, never both.
  {
    auto first = platform::try_lock_folder(folder, platform::LockMode::kExclusive);
    expect(first.ok() && first.value().has_value() && first.value()->held(),
           "the folder locked exclusively");
    auto second = platform::try_lock_folder(folder, platform::LockMode::kShared);
    expect(second.ok() && !second.value().has_value(), "and not again, shared, meanwhile");
    first.value()->release();
    auto a = platform::try_lock_folder(folder, platform::LockMode::kShared);
    auto b = platform::try_lock_folder(folder, platform::LockMode::kShared);
    expect(a.ok() && a.value() && b.ok() && b.value(), "once let go, shared by two");
    auto c = platform::try_lock_folder(folder, platform::LockMode::kExclusive);
    expect(c.ok() && !c.value().has_value(), "and not exclusively while they hold it");
  }
  platform::FolderLock lock =
      std::move(platform::lock_folder(folder, platform::LockMode::kExclusive).value());

  // Every byte value, line ends and Ctrl-Z included: nothing is translated.
  std::string bytes;
  for (int i = 0; i < 256; ++i) bytes += static_cast<char>(i);
  bytes += "\r\n\n\r\x1A end";
  const fs::path file = folder / L"d\u00e0ti.txt";
  expect(tratta::replace_file(lock, file.filename(), std::string(100000, 'x')).ok() &&
             tratta::replace_file(lock, file.filename(), bytes).ok(),
         "a file written, then replaced");
  std::string back;
  const platform::FileResult<bool> read = platform::read_file(file, back);
  expect(read.ok() && read.value() && back == bytes,
         "a longer file replaced whole by every byte value, read back unchanged");
  expect(entries() == std::vector<std::string>{"d\u00e0ti.txt"}, "no temporary file beside it");
  expect(platform::directory_writable(folder) && !platform::directory_writable(folder / L"no"),
         "folder writable, missing folder not");

  // A folder of the file's name cannot be replaced by a file.
  const fs::path blocked = folder / L"cart\u00e8lla";
  fs::create_directory(blocked);
  const platform::FileStatus replaced = tratta::replace_file(lock, blocked.filename(), "x");
  const std::string message = replaced.ok() ? std::string() : replaced.error().text;
  expect(message.find(utf8(blocked.native())) != std::string::npos &&
             message.size() > utf8(blocked.native()).size() + 20,
         "failed replace names the file and the reason: " + message);
  expect(entries().size() == 2 && fs::is_directory(blocked), "and leaves no temporary file");

  const bool deleted = platform::delete_file(file).ok();
  const bool missing_not_an_error = platform::delete_file(file).ok();
  const platform::FileResult<bool> read_missing = platform::read_file(file, back);
  expect(deleted && missing_not_an_error && !platform::file_exists(file) && read_missing.ok() &&
             !read_missing.value(),
         "deleted; a missing file reads as absent");
  lock.release();
  fs::remove_all(folder);
  return failures == 0 ? 0 : 1;
}

/// Polls every 50 ms until `find` gives a window or `timeout_ms` is over.
template <typename Find>
HWND wait_for(Find find, DWORD timeout_ms) {
  const ULONGLONG until = GetTickCount64() + timeout_ms;
  for (;;) {
    if (HWND h = find()) return h;
    if (GetTickCount64() >= until) return nullptr;
    Sleep(50);
  }
}

std::wstring lower(std::wstring text) {
  for (wchar_t& c : text) c = static_cast<wchar_t>(std::towlower(c));
  return text;
}

bool ends_with(const std::wstring& text, const std::wstring& end) {
  return text.size() >= end.size() && text.compare(text.size() - end.size(), end.size(), end) == 0;
}

/// The path of the common controls library loaded in the process of
/// `window`, or "none".
std::wstring common_controls_of(HWND window) {
  DWORD pid = 0;
  GetWindowThreadProcessId(window, &pid);
  HANDLE process = OpenProcess(PROCESS_QUERY_INFORMATION | PROCESS_VM_READ, FALSE, pid);
  if (process == nullptr) return L"none";
  std::vector<HMODULE> modules(1024);
  DWORD bytes = 0;
  std::wstring found = L"none";
  const DWORD room = static_cast<DWORD>(modules.size() * sizeof(HMODULE));
  if (EnumProcessModulesEx(process, modules.data(), room, &bytes, LIST_MODULES_ALL)) {
    modules.resize(std::min<size_t>(modules.size(), bytes / sizeof(HMODULE)));
    for (HMODULE m : modules) {
      wchar_t path[MAX_PATH];
      DWORD n = GetModuleFileNameExW(process, m, path, MAX_PATH);
      if (n > 0 && ends_with(lower(std::wstring(path, n)), L"\\comctl32.dll"))
        found.assign(path, n);
    }
  }
  CloseHandle(process);
  return found;
}

int check_window(DWORD timeout_ms) {
  HWND window = wait_for(
      [] {
        HWND h = FindWindowW(L"Form1", L"tratta_valle3");
        return h != nullptr && IsWindowVisible(h) ? h : nullptr;
      },
      timeout_ms);
  if (window == nullptr) {
    std::printf("FAIL no visible window \"tratta_valle3\" within %lu ms\n", timeout_ms);
    return 2;
  }
  HDC screen = GetDC(nullptr);
  const int dpi_x = GetDeviceCaps(screen, LOGPIXELSX);
  const int dpi_y = GetDeviceCaps(screen, LOGPIXELSY);
  ReleaseDC(nullptr, screen);
  auto px = [](int twips, int dpi) { return MulDiv(twips, dpi, 1440); };
  std::printf("dpi %d x %d\n", dpi_x, dpi_y);

  RECT client;
  GetClientRect(window, &client);
  expect(client.right == px(4200, dpi_x) && client.bottom == px(2688, dpi_y),
         "client area " + std::to_string(client.right) + " x " + std::to_string(client.bottom) +
             " px (4200 x 2688 twips)");

  std::vector<HWND> inside = children(window);
  expect(inside.size() == 1,
         "one control in the window (found " + std::to_string(inside.size()) + ")");
  if (inside.empty()) return 1;
  HWND label = inside.front();
  expect(class_name(label) == L"Static",
         "the control is a label (" + utf8(class_name(label)) + ")");
  expect(window_text(label) == L"Attendere", "label text \"" + utf8(window_text(label)) + "\"");
  expect(IsWindowVisible(label) != 0, "label visible");
  RECT r;
  GetWindowRect(label, &r);
  MapWindowPoints(HWND_DESKTOP, window, reinterpret_cast<POINT*>(&r), 2);
  expect(r.left == px(960, dpi_x) && r.top == px(960, dpi_y) &&
             r.right - r.left == px(2652, dpi_x) && r.bottom - r.top == px(792, dpi_y),
         "label at " + std::to_string(r.left) + "," + std::to_string(r.top) + " size " +
             std::to_string(r.right - r.left) + " x " + std::to_string(r.bottom - r.top) +
             " px (960,960 2652 x 792 twips)");
  POINT origin{r.left, r.top};
  ClientToScreen(window, &origin);
  std::printf("label-screen %ld %ld %ld %ld\n", origin.x, origin.y, r.right - r.left,
              r.bottom - r.top);
  std::printf("controls %s\n", utf8(common_controls_of(window)).c_str());
  return failures == 0 ? 0 : 1;
}

int check_box(const std::wstring& text, bool whole, DWORD timeout_ms) {
  auto shows_text = [&text, whole](HWND h) {
    if (class_name(h) != L"#32770" || !IsWindowVisible(h)) return false;
    for (HWND c : children(h)) {
      if (class_name(c) != L"Static") continue;
      const std::wstring shown = window_text(c);
      if (whole ? shown == text : shown.rfind(text, 0) == 0) return true;
    }
    return false;
  };
  HWND box = wait_for(
      [&] {
        for (HWND h : top_level_windows())
          if (shows_text(h)) return h;
        return static_cast<HWND>(nullptr);
      },
      timeout_ms);
  if (box == nullptr) {
    std::printf("FAIL no message box showing \"%s\" within %lu ms\n", utf8(text).c_str(),
                timeout_ms);
    return 2;
  }
  std::printf("caption \"%s\"\n", utf8(window_text(box)).c_str());
  std::printf("ok   message box shows \"%s\"\n", utf8(text).c_str());
  int buttons = 0;
  std::wstring button_text;
  for (HWND c : children(box)) {
    if (class_name(c) == L"Button" && IsWindowVisible(c)) {
      ++buttons;
      button_text = window_text(c);
    }
  }
  expect(buttons == 1 && button_text == L"OK",
         std::to_string(buttons) + " button(s), \"" + utf8(button_text) + "\"");
  return failures == 0 ? 0 : 1;
}

int print_version(const std::wstring& file) {
  DWORD ignored = 0;
  const DWORD size = GetFileVersionInfoSizeW(file.c_str(), &ignored);
  std::vector<unsigned char> block(size);
  if (size == 0 || !GetFileVersionInfoW(file.c_str(), 0, size, block.data())) {
    std::printf("FAIL no version resource in %s\n", utf8(file).c_str());
    return 1;
  }
  VS_FIXEDFILEINFO* fixed = nullptr;
  UINT length = 0;
  if (!VerQueryValueW(block.data(), L"\\", reinterpret_cast<void**>(&fixed), &length) ||
      length < sizeof *fixed || fixed->dwSignature != VS_FFI_SIGNATURE) {
    std::printf("FAIL no fixed file information in %s\n", utf8(file).c_str());
    return 1;
  }
  auto dotted = [](DWORD high, DWORD low) {
    std::printf("%u.%u.%u.%u\n", HIWORD(high), LOWORD(high), HIWORD(low), LOWORD(low));
  };
  std::printf("file-version ");
  dotted(fixed->dwFileVersionMS, fixed->dwFileVersionLS);
  std::printf("product-version ");
  dotted(fixed->dwProductVersionMS, fixed->dwProductVersionLS);
  for (const wchar_t* name : {L"FileDescription", L"FileVersion", L"InternalName",
                              L"OriginalFilename", L"ProductName", L"ProductVersion"}) {
    const std::wstring key = std::wstring(L"\\StringFileInfo\\040904B0\\") + name;
    wchar_t* value = nullptr;
    if (VerQueryValueW(block.data(), key.c_str(), reinterpret_cast<void**>(&value), &length) &&
        value != nullptr)
      std::printf("string %s %s\n", utf8(name).c_str(), utf8(value).c_str());
  }
  return 0;
}

/// A visible console window: the system's console host draws it.
bool is_console_window(HWND h) {
  if (!IsWindowVisible(h)) return false;
  if (class_name(h) == L"ConsoleWindowClass") return true;
  DWORD pid = 0;
  GetWindowThreadProcessId(h, &pid);
  HANDLE process = OpenProcess(PROCESS_QUERY_LIMITED_INFORMATION, FALSE, pid);
  if (process == nullptr) return false;
  wchar_t image[MAX_PATH];
  DWORD n = MAX_PATH;
  std::wstring name;
  if (QueryFullProcessImageNameW(process, 0, image, &n)) name.assign(image, n);
  CloseHandle(process);
  return ends_with(lower(name), L"\\conhost.exe");
}

int launch(DWORD timeout_ms, std::wstring command_line) {
  STARTUPINFOW startup{};
  startup.cb = sizeof startup;
  PROCESS_INFORMATION started{};
  // The Explorer has no console: a console program it starts gets a new one.
  if (!CreateProcessW(nullptr, command_line.data(), nullptr, nullptr, FALSE, CREATE_NEW_CONSOLE,
                      nullptr, nullptr, &startup, &started)) {
    std::printf("FAIL cannot start %s (error %lu)\n", utf8(command_line).c_str(), GetLastError());
    return 2;
  }
  CloseHandle(started.hThread);
  std::set<HWND> consoles;
  const ULONGLONG until = GetTickCount64() + timeout_ms;
  while (WaitForSingleObject(started.hProcess, 5) == WAIT_TIMEOUT) {
    for (HWND h : top_level_windows())
      if (is_console_window(h)) consoles.insert(h);
    if (GetTickCount64() >= until) {
      TerminateProcess(started.hProcess, 124);
      CloseHandle(started.hProcess);
      std::printf("FAIL still running after %lu ms\n", timeout_ms);
      return 2;
    }
  }
  DWORD status = 0;
  GetExitCodeProcess(started.hProcess, &status);
  CloseHandle(started.hProcess);
  std::printf("console-windows %zu\nexit %lu\n", consoles.size(), status);
  return 0;
}

}  // namespace

int main() {
  // Same pixel measure as the program, whatever the display scaling.
  SetProcessDPIAware();
  int argc = 0;
  wchar_t** argv = CommandLineToArgvW(GetCommandLineW(), &argc);
  const std::wstring mode = argc > 1 ? argv[1] : L"";
  if (mode == L"errore-1250" && argc == 2) {
    try {
      return errore_1250();
    } catch (const std::exception& e) {
      std::fprintf(stderr, "%s\n", e.what());
      return 4;
    }
  }
  if (mode == L"files" && argc == 2) {
    try {
      return check_files();
    } catch (const std::exception& e) {
      std::printf("FAIL %s\n", e.what());
      return 1;
    }
  }
  if (mode == L"window" && argc == 3) return check_window(std::wcstoul(argv[2], nullptr, 10));
  if ((mode == L"box" || mode == L"box-starting") && argc == 4)
    return check_box(argv[2], mode == L"box", std::wcstoul(argv[3], nullptr, 10));
  if (mode == L"version" && argc == 3) return print_version(argv[2]);
  if (mode == L"launch" && argc >= 4) {
    std::wstring command_line;
    for (int i = 3; i < argc; ++i)
      command_line += (i > 3 ? L" \"" : L"\"") + std::wstring(argv[i]) + L"\"";
    return launch(std::wcstoul(argv[2], nullptr, 10), command_line);
  }
  std::fprintf(stderr,
               "usage: tratta_win32_checks errore-1250 | files | window TIMEOUT_MS\n"
               "       | box TEXT TIMEOUT_MS | box-starting TEXT TIMEOUT_MS | version FILE\n"
               "       | launch TIMEOUT_MS PROGRAM [ARGUMENTS...]\n");
  return 64;
}
