// Sequential input of a description: comma- and line-separated fields.
#pragma once

#include <cstdint>
#include <optional>
#include <stdexcept>
#include <string>
#include <string_view>

namespace tratta {

/// A run-time failure while reading (an unreadable number, a value too wide
/// for its field, reading past the end, an index outside the model). The
/// reader traps it as status 25.
class ErroreLettura : public std::runtime_error {
 public:
  explicit ErroreLettura(const std::string& testo) : std::runtime_error(testo), testo_(testo) {}
  /// The whole text: a field quoted in it may hold NUL bytes.
  const std::string& testo() const { return testo_; }

 private:
  std::string testo_;
};

/// Reads fields from the bytes of a description file.
///
/// Fields are separated by commas and line ends (CR LF, LF or CR). A blank
/// is the space character alone; a tab is an ordinary character. A text
/// field starts at its first non-blank character and runs to the next comma
/// or line end; a text that starts with a double quote runs to the closing
/// quote. A numeric field is an optionally signed whole number; it also ends
/// at a blank, and the blanks and the one comma or line end after it are
/// consumed. A tab before, inside or right after a number (blanks aside)
/// makes the field no whole number.
class FieldReader {
 public:
  explicit FieldReader(std::string_view testo) : testo_(testo) {}

  /// True once every byte has been consumed.
  bool fine() const { return pos_ >= testo_.size(); }

  /// Reads a text field. Throws ErroreLettura when already at the end.
  std::string leggi_testo();

  /// Reads a numeric field as a 32-bit signed number. Throws ErroreLettura
  /// when already at the end, when the field is not a whole number (the
  /// message says so when a tab stands in it), or when it does not fit 32
  /// bits.
  int32_t leggi_numero();

  /// Line (from 1) on which the last field returned started.
  int riga_ultimo_campo() const { return riga_campo_; }
  /// The whole text, and where in it the next byte to read stands.
  std::string_view testo() const { return testo_; }
  size_t posizione() const { return pos_; }
  /// The bytes not read yet and the line they start on.
  std::string_view resto() const { return testo_.substr(pos_); }
  int riga() const { return riga_; }
  /// True when the bytes not read yet start a line.
  bool a_inizio_riga() const {
    return pos_ == 0 || testo_[pos_ - 1] == '\n' || testo_[pos_ - 1] == '\r';
  }
  /// True when the last field returned is the first of its line.
  bool primo_della_riga() const { return primo_della_riga_; }

  /// A quoted text that held a line end: the line its quote opened on and
  /// the line it closed on (0 when the quote was never closed and the text
  /// ran to the end). Only the first such text is kept.
  struct Virgolette {
    int apertura = 0;
    int chiusura = 0;
  };
  const std::optional<Virgolette>& virgolette_lunghe() const { return virgolette_; }

 private:
  bool blank(size_t i) const { return i < testo_.size() && testo_[i] == ' '; }
  bool fine_riga(size_t i) const {
    return i < testo_.size() && (testo_[i] == '\r' || testo_[i] == '\n');
  }
  void salta_blank();
  /// Consumes one line end at the current position, if there is one.
  void consuma_fine_riga();
  void inizia_campo();
  /// The failure for a numeric field that starts at `inizio` and is no
  /// whole number.
  [[noreturn]] void non_intero(size_t inizio) const;

  std::string_view testo_;
  size_t pos_ = 0;
  int riga_ = 1;
  int riga_campo_ = 0;
  bool primo_della_riga_ = false;
  std::optional<Virgolette> virgolette_;
};

}  // namespace tratta
