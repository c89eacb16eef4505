// The style and the script of the route page, inline in every page. They
// are written in view_page.css and view_page.js and carried in the program
// byte for byte (cmake/embed_text.cmake).
#pragma once

#include <string_view>

namespace tratta {

std::string_view stile_pagina();

/// Runs after the page's data (PLAN, GRAD, SPEED, ADH): places
/// the marks for the stretch in view, zooms and pans the profile (wheel,
/// drag, double-click, keys), highlights that stretch on the plan and
/// shows a mark's details on hover. Errors of its own are written into the
/// page (#page-errors, body data-errors); data-ready="yes" on the body says
/// that it ran to the end.
std::string_view script_pagina();

}  // namespace tratta
