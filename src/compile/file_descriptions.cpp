#include "compile/file_descriptions.h"

#include <algorithm>
#include <utility>

#include "model/windows1252.h"

#include "platform/file_result.h"
#include "platform/platform.h"

namespace tratta {

OrigineDescrizione OrigineDescrizione::standard_input() {
  OrigineDescrizione o(platform::path_from_utf8(platform::kStandardInputName));
  o.da_standard_input = true;
  return o;
}

namespace {

/// A size in bytes in words, in the largest unit that it is a whole number
/// of: "64 MiB", "4 KiB", "4095 bytes".
std::string misura_in_parole(std::uint64_t byte) {
  static constexpr const char* kUnita[] = {"GiB", "MiB", "KiB"};
  for (int i = 0; i < 3; ++i) {
    const std::uint64_t unita = std::uint64_t{1} << (10 * (3 - i));
    if (byte != 0 && byte % unita == 0) return std::to_string(byte / unita) + " " + kUnita[i];
  }
  return std::to_string(byte) + (byte == 1 ? " byte" : " bytes");
}

}  // namespace

FileDescriptions::FileDescriptions(OrigineDescrizione linea, OrigineDescrizione treno,
                                   bool consuma, std::uint64_t limite)
    : consuma_(consuma), limite_(limite) {
  linea_.origine = std::move(linea);
  treno_.origine = std::move(treno);
}

LetturaDescrizione leggi_descrizione(const OrigineDescrizione& origine, Descrizione d,
                                     std::uint64_t limite, platform::ReadKinds tipi,
                                     std::string& byte) {
  LetturaDescrizione l;
  const platform::FileResult<platform::ReadOutcome> letto =
      origine.da_standard_input ? platform::read_standard_input(limite, byte)
                                : platform::read_bounded(origine.percorso, limite, byte, tipi);
  const std::string nome = std::string(d == Descrizione::kLinea ? "the line" : "the train") +
                           " description '" + platform::path_to_utf8(origine.percorso) + "'";
  if (!letto.ok()) {
    l.guasto = letto.error().text;
  } else if (letto.value() == platform::ReadOutcome::kTooLarge) {
    l.troppo_grande = true;
    l.guasto = nome + " is larger than " + misura_in_parole(limite);
  } else if (letto.value() == platform::ReadOutcome::kNotRegular) {
    l.non_file = true;
    l.guasto = nome + " is not a regular file (a FIFO, a device or a folder): only a file can "
                      "be read again at each change";
  } else {
    l.presente = letto.value() == platform::ReadOutcome::kRead;
  }
  return l;
}

TestoDescrizione FileDescriptions::apri(Descrizione d) {
  File& f = file(d);
  if (!f.letto) {
    const LetturaDescrizione l = leggi_descrizione(f.origine, d, limite_, tipi_, f.byte);
    TestoDescrizione t;
    t.presente = l.presente;
    t.guasto = l.guasto;
    f.troppo_grande = l.troppo_grande;
    f.non_file = l.non_file;
    if (l.guasto.empty() && t.presente && da_utf8_) converti(f, t);
    f.letto = std::move(t);
  }
  TestoDescrizione t = *f.letto;
  t.testo = f.byte;
  return t;
}

void FileDescriptions::converti(File& f, TestoDescrizione& t) {
  if (std::optional<std::string> byte = encode_windows1252(f.byte)) {
    f.byte = std::move(*byte);
    return;
  }
  const auto [dove, lunghezza] = *first_unencodable(f.byte);
  f.non_convertibile = true;
  t.riga_guasto = 1 + static_cast<int>(std::count(
                          f.byte.begin(), f.byte.begin() + static_cast<std::ptrdiff_t>(dove), '\n'));
  // A character beyond ASCII takes two bytes or more: one byte alone is no
  // UTF-8 at all, as in a description saved as Windows-1252.
  if (lunghezza == 1) {
    static const char kHex[] = "0123456789abcdef";
    const auto b = static_cast<unsigned char>(f.byte[dove]);
    t.guasto = std::string("the byte 0x") + kHex[b >> 4] + kHex[b & 15] +
               " is not UTF-8 (--encoding utf-8): if the description is saved as Windows-1252, "
               "leave --encoding out";
  } else {
    t.guasto = "'" + f.byte.substr(dove, lunghezza) +
               "' has no Windows-1252 form (--encoding utf-8)";
  }
}

std::optional<GuastoDescrizioni> FileDescriptions::leggi_entrambe() {
  for (Descrizione d : {Descrizione::kLinea, Descrizione::kTreno}) {
    // A character without a Windows-1252 form is the reading's to report.
    if (std::string guasto = apri(d).guasto; !guasto.empty() && !file(d).non_convertibile)
      return GuastoDescrizioni{std::move(guasto), file(d).troppo_grande, file(d).non_file};
  }
  return std::nullopt;
}

std::string FileDescriptions::letta(Descrizione d) {
  const File& f = file(d);
  if (!consuma_ || f.origine.da_standard_input) return {};
  const platform::FileStatus s = platform::delete_file(f.origine.percorso);
  return s.ok() ? std::string() : s.error().text;
}

}  // namespace tratta
