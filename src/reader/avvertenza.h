// A warning of the reader, as a value: something in a description that the
// reader passed over or read otherwise than its author likely meant, with
// the description and the line it names. Warnings never change what the
// reader does.
#pragma once

#include <filesystem>
#include <string>

namespace tratta {

struct Avvertenza {
  std::filesystem::path file;
  int riga = 0;
  /// What the reader did, in words; texts quoted from the description keep
  /// their bytes.
  std::string messaggio;
};

}  // namespace tratta
