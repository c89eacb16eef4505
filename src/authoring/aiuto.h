// The program's help: one text, authoring/aiuto.txt, carried in the
// program as it is. --help prints it whole and `SUBCOMMAND --help` the
// pieces of it that concern the subcommand; the manual page and the
// manual of the Windows package are made from it at build time.
//
// The text's layout, which the pieces are cut by: paragraphs apart by one
// empty line. The first begins with "usage:" and holds one entry for each
// form of the command, beginning with "  tratta_valle3 " and going on in
// lines indented further. One paragraph begins with "compile options:"
// and is followed by the one that tells how a run replaces its files; one
// begins with "exit status:".
#pragma once

#include <string>
#include <string_view>

namespace tratta {

/// The whole help.
std::string_view aiuto();

/// The help of one subcommand: "usage:" with the subcommand's own entry,
/// compile's options and how files are replaced when `opzioni_compile`,
/// and the exit statuses. Empty when the help has no entry for it.
std::string aiuto_di(std::string_view sottocomando, bool opzioni_compile);

}  // namespace tratta
