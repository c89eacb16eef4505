// Text and numbers as the route page writes them.
#pragma once

#include <string>
#include <string_view>

namespace tratta {

/// UTF-8 text for HTML text and attribute values: the five special
/// characters escaped, bytes that are not UTF-8 shown as \xNN, control
/// characters (which HTML does not allow) dropped.
std::string html(std::string_view testo);

}  // namespace tratta
