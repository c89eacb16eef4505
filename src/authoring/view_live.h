// The route page as the page server serves it: the page that `view` writes,
// with the live script, which listens to the server's events and, when a
// compile brings a new page, writes it into the same window, keeping the
// stretch in view (#FROM-TO in the address) and the scroll position; when a
// compile fails it shows the diagnostic and the warnings over the last good
// route. The page that `view` writes is left as it is.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

namespace tratta {

/// The live variant of `pagina` (a page of `view`), page number `numero`
/// of the server. The page's own script runs in a scope of its own, so
/// that the next page can be written into the same window without its
/// names clashing with the last one's.
std::string pagina_servita(std::string_view pagina, uint64_t numero);

/// The page served while no compile has succeeded yet: no route, only the
/// live script, which shows the failure (or that it waits for a compile).
std::string pagina_in_attesa(uint64_t numero);

/// The live script (view_live.js), carried byte for byte.
std::string_view script_live();

}  // namespace tratta
