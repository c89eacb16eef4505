// `tratta_valle3 lsp`: the language server over standard input and output.
#pragma once

#include <chrono>
#include <istream>
#include <ostream>

namespace tratta {

/// Serves the editor's messages from `in` until `exit` or the end of the
/// stream, answering on `out`; gives back the exit status (0 after
/// `shutdown` and `exit`, else 1).
int serve_lsp(std::istream& in, std::ostream& out,
              std::chrono::milliseconds ritardo = std::chrono::milliseconds(25));

}  // namespace tratta
