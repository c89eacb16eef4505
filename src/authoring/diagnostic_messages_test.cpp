#include "authoring/diagnostic_messages.h"

#include <gtest/gtest.h>

namespace tratta {

TEST(DiagnosticMessages, NumbersThatAreNoCode) {
  // The fatal errors of the stamping are no diagnostic codes either.
  for (int codice : {-1, 14, 23, 26, 104, 1250, 1251}) {
    EXPECT_EQ(messaggio_codice(codice), "unknown diagnostic code") << codice;
    EXPECT_FALSE(codice_con_posizione(codice)) << codice;
  }
  EXPECT_EQ(messaggio_codice(0), "no problem found");
  EXPECT_EQ(messaggio_codice(16), "signal on a segment that is not free");
  EXPECT_TRUE(codice_con_posizione(16));
  EXPECT_FALSE(codice_con_posizione(25));
}

}  // namespace tratta
