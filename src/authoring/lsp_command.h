// `tratta_valle3 lsp`: the language server over standard input and output.
#pragma once

#include <chrono>
#include <ostream>

#include "authoring/language_server.h"
#include "platform/byte_stream.h"

namespace tratta {

/// Serves the editor's messages from `in` until `exit` or the end of the
/// stream, answering on `out`; gives back the exit status (0 after
/// `shutdown` and `exit`, else 1). The messages are read on a thread of
/// their own, joined before it returns; `leggi` reads the descriptions that
/// are not open (the disk's, by default).
int serve_lsp(platform::ByteStream& in, std::ostream& out,
              std::chrono::milliseconds ritardo = std::chrono::milliseconds(25),
              LanguageServer::LettoreFile leggi = {});

}  // namespace tratta
