// The live variant of the route page: the page's own script in a scope of
// its own, the live script after it, the rest of the page as view wrote it.
#include "authoring/view_live.h"

#include <gtest/gtest.h>

#include <string>

namespace tratta {

namespace {

TEST(PaginaServita, WrapsThePageScriptAndAddsTheLiveScript) {
  const std::string live = "<script data-live-page=\"7\">\n" + std::string(script_live()) + "</script>";
  struct Caso {
    const char* nome;
    std::string pagina, attesa;
  };
  const Caso casi[] = {
      {"a page of view",
       "<html><head><style>\np{}</style></head><body><p>x</p><script>\n\"use strict\";\nconst "
       "PLAN=null;\n</script></body></html>\n",
       "<html><head><style>\np{}</style></head><body><p>x</p><script>(function () {\n\"use "
       "strict\";\nconst PLAN=null;\n})();\n</script>" +
           live + "</body></html>\n"},
      {"no script", "<html><body><p>x</p></body></html>",
       "<html><body><p>x</p>" + live + "</body></html>"},
      {"no body end", "<p>x</p>", "<p>x</p>" + live},
  };
  for (const Caso& c : casi) {
    SCOPED_TRACE(c.nome);
    EXPECT_EQ(pagina_servita(c.pagina, 7), c.attesa);
  }
}

TEST(PaginaServita, TheWaitingPageCarriesTheLiveScriptOnly) {
  const std::string p = pagina_in_attesa(0);
  EXPECT_NE(p.find("<script data-live-page=\"0\">"), std::string::npos);
  EXPECT_EQ(p.find("<script>"), std::string::npos);
  EXPECT_NE(p.find("</script></body></html>"), std::string::npos);
}

}  // namespace

}  // namespace tratta
