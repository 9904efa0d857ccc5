#include "platform/markup_repair.h"

#include <gtest/gtest.h>

namespace lumarine {
namespace {

TEST(MarkupRepairTest, RewritesOnlyWhatAStrictParserRejects) {
  const struct {
    std::string_view text;
    std::string_view repaired;
  } cases[] = {
      {"<a>Fish &amp; chips</a>", "<a>Fish &#38; chips</a>"},
      {"<a>Fish & chips</a>", "<a>Fish &amp; chips</a>"},
      {"<a>&eacute;&nbsp;&bogus;</a>", "<a>&#233;&#160;&amp;bogus;</a>"},
      {"<a>1 < 2</a>", "<a>1 &lt; 2</a>"},
      {"<a>\x01&#1;&#65;&#x42;\xEF\xBF\xBE</a>", "<a>&#65;&#x42;</a>"},
      {"<!-- & < --><![CDATA[ & ]]><?pi & ?>", "<!-- & < --><![CDATA[ & ]]><?pi & ?>"},
      {"<!DOCTYPE r [<!ENTITY mine \"x\"> <!-- & -->]><r>&mine;&nbsp;</r>",
       "<!DOCTYPE r [<!ENTITY mine \"x\"> <!-- & -->]><r>&mine;&#160;</r>"},
      {"tail <", "tail <"},
  };
  for (const auto& c : cases) EXPECT_EQ(MarkupRepair(c.text, 1024).Run(), c.repaired) << c.text;
}

TEST(MarkupRepairTest, GivesNothingPastTheLimit) {
  EXPECT_EQ(MarkupRepair("&hellip;&hellip;", 8).Run(), "");
  EXPECT_EQ(MarkupRepair("&hellip;", 8).Run(), "&#8230;");
}

}  // namespace
}  // namespace lumarine
