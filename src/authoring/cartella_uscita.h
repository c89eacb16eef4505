// The folder that a subcommand writes a set of files into: made when it is
// missing, locked exclusively while the run writes there, and taken back,
// with the folders made for it, when the run ends having written nothing.
#pragma once

#include <filesystem>

#include "platform/file_result.h"
#include "platform/folder_lock.h"

namespace tratta {

class CartellaUscita {
 public:
  explicit CartellaUscita(std::filesystem::path cartella) : cartella_(std::move(cartella)) {}
  ~CartellaUscita();
  CartellaUscita(const CartellaUscita&) = delete;
  CartellaUscita& operator=(const CartellaUscita&) = delete;

  /// Makes the folder where it is missing and takes its lock, waiting for
  /// another run as `attesa` says.
  platform::FileStatus prepara(const platform::LockWait& attesa);
  /// The folder's lock, once prepared.
  const platform::FolderLock& blocco() const { return blocco_; }
  /// Something was written: the folders made stay.
  void scritta() { scritta_ = true; }

 private:
  std::filesystem::path cartella_;
  /// The outermost folder that prepara() made; empty when it made none.
  std::filesystem::path prima_creata_;
  platform::FolderLock blocco_;
  bool scritta_ = false;
};

}  // namespace tratta
