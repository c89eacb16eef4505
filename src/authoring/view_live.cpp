#include "authoring/view_live.h"

// Made at build time from view_live.js, beside this file.
#include "authoring/view_live.js.h"

namespace tratta {

namespace {

/// The live script's element, which tells the script its page's number.
std::string elemento_script(uint64_t numero) {
  return "<script data-live-page=\"" + std::to_string(numero) + "\">\n" + std::string(script_live()) +
         "</script>";
}

}  // namespace

std::string_view script_live() { return {kScriptLive, sizeof kScriptLive - 1}; }

std::string pagina_servita(std::string_view pagina, uint64_t numero) {
  std::string out(pagina);
  // The page's script (the last element <script>, with no attributes) in
  // a function of its own: its top-level names (the route's data, its
  // helpers) then belong to this page alone.
  const size_t apre = out.rfind("<script>");
  if (apre != std::string::npos) {
    const size_t corpo = apre + std::string_view("<script>").size();
    const size_t chiude = out.find("</script>", corpo);
    if (chiude != std::string::npos) {
      out.insert(chiude, "})();\n");
      out.insert(corpo, "(function () {");
    }
  }
  const size_t fine = out.rfind("</body>");
  out.insert(fine == std::string::npos ? out.size() : fine, elemento_script(numero));
  return out;
}

std::string pagina_in_attesa(uint64_t numero) {
  return "<!DOCTYPE html>\n<html lang=\"en\"><head><meta charset=\"utf-8\">"
         "<meta name=\"viewport\" content=\"width=device-width, initial-scale=1\">"
         "<title>route: no compile has succeeded yet</title><style>\nbody { font: 14px/1.4 "
         "system-ui, sans-serif; margin: 16px 24px; color: #222; background: #f6f6f3; }\n"
         "</style></head><body data-ready=\"yes\"><header><h1>No route yet</h1><p>The route "
         "appears here once the descriptions compile.</p></header>" +
         elemento_script(numero) + "</body></html>\n";
}

}  // namespace tratta
