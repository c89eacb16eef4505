// Identifiers of the Windows resources (run/tratta_valle3.rc), shared with the
// code that loads them.
#pragma once

#define TRATTA_ICON 1
