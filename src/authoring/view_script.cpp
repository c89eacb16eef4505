#include "authoring/view_script.h"

// Made at build time from view_page.css and view_page.js, beside this file.
#include "authoring/view_page.css.h"
#include "authoring/view_page.js.h"

namespace tratta {

std::string_view stile_pagina() { return {kStilePagina, sizeof kStilePagina - 1}; }

std::string_view script_pagina() { return {kScriptPagina, sizeof kScriptPagina - 1}; }

}  // namespace tratta
