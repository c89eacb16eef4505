// The reference of the two descriptions for authors, made from the
// reader's table of records and the catalogue of the diagnostic codes:
// docs/descriptions.md is this text, and a test keeps it so.
#pragma once

#include <string>

namespace tratta {

/// The whole reference, as Markdown.
std::string riferimento_descrizioni();

}  // namespace tratta
