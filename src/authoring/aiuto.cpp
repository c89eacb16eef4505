#include "authoring/aiuto.h"

#include <algorithm>
#include <vector>

#include "authoring/aiuto.txt.h"

namespace tratta {

namespace {

/// The help's paragraphs, each with its closing newline.
std::vector<std::string_view> paragrafi() {
  std::vector<std::string_view> out;
  std::string_view resto = aiuto();
  while (!resto.empty()) {
    const size_t fine = resto.find("\n\n");
    const size_t lunghezza = fine == std::string_view::npos ? resto.size() : fine + 1;
    out.push_back(resto.substr(0, lunghezza));
    resto.remove_prefix(std::min(resto.size(), lunghezza + 1));
  }
  return out;
}

/// The entry of the usage paragraph for `sottocomando`: its first line and
/// the lines indented further that follow it.
std::string_view voce_uso(std::string_view uso, std::string_view sottocomando) {
  const std::string inizio = "\n  tratta_valle3 " + std::string(sottocomando) + " ";
  const size_t da = uso.find(inizio);
  if (da == std::string_view::npos) return {};
  size_t a = uso.find('\n', da + 1);
  while (a != std::string_view::npos && uso.substr(a + 1).starts_with("    ")) a = uso.find('\n', a + 1);
  return uso.substr(da + 1, a == std::string_view::npos ? uso.size() - da - 1 : a - da);
}

}  // namespace

std::string_view aiuto() { return {kAiuto, sizeof kAiuto - 1}; }

std::string aiuto_di(std::string_view sottocomando, bool opzioni_compile) {
  const std::vector<std::string_view> p = paragrafi();
  if (p.empty()) return {};
  const std::string_view voce = voce_uso(p[0], sottocomando);
  if (voce.empty()) return {};
  std::string out = "usage:\n" + std::string(voce);
  for (size_t i = 0; i < p.size(); ++i) {
    if (opzioni_compile && p[i].starts_with("compile options:")) {
      out += "\n" + std::string(p[i]);
      if (i + 1 < p.size()) out += "\n" + std::string(p[i + 1]);
    }
  }
  for (std::string_view q : p)
    if (q.starts_with("exit status:")) out += "\n" + std::string(q);
  return out;
}

}  // namespace tratta
