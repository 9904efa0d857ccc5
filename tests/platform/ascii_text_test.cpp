#include "platform/ascii_text.h"

#include <gtest/gtest.h>

namespace lumarine {
namespace {

TEST(AsciiTextTest, LowersOnlyAsciiLettersAndTrimsOnlyTheGivenBlanks) {
  EXPECT_EQ(AsciiLower("Content-Type: TEXT/Html; Ü \xC3\x9C"),
            "content-type: text/html; Ü \xC3\x9C");
  const struct {
    std::string_view text, blanks, trimmed;
  } cases[] = {
      {" \t\r\n\f\vx y\v ", kAsciiSpace, "x y"},
      {"\r\n x \t", " \t", "\r\n x"},
      {" \t ", " \t", ""},
      {"", kAsciiSpace, ""},
      {"\xC2\xA0x", kAsciiSpace, "\xC2\xA0x"},  // no-break space is no ASCII blank
  };
  for (const auto& c : cases) EXPECT_EQ(AsciiTrim(c.text, c.blanks), c.trimmed) << c.text;
}

}  // namespace
}  // namespace lumarine
