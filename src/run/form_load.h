// The one-shot run of the program.
#pragma once

namespace tratta {

/// Shows the "Attendere" window, writes the five documents into the program
/// directory, compiles the two descriptions into the scenario files and
/// returns the exit status. A taken stamp ends the program through
/// `errore`.
int Form_Load();

}  // namespace tratta
