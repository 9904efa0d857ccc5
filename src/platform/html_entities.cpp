#include "platform/html_entities.h"

#include <algorithm>
#include <iterator>

namespace lumarine {
namespace {

struct Entity {
  std::string_view name;
  std::string_view text;  // UTF-8
  bool legacy;            // also read without ";"
};

// Every named character reference of HTML, sorted by name so that a lookup is a binary
// search; made at build time from html_entities.txt.
#include "html_entity_table.inc"

static_assert(std::is_sorted(std::begin(kEntities), std::end(kEntities),
                             [](const Entity& a, const Entity& b) { return a.name < b.name; }));

const Entity* Find(std::string_view name) {
  const auto* end = std::end(kEntities);
  const auto* found =
      std::lower_bound(std::begin(kEntities), end, name,
                       [](const Entity& entry, std::string_view key) { return entry.name < key; });
  return found == end || found->name != name ? nullptr : found;
}

}  // namespace

std::optional<std::string_view> HtmlEntityText(std::string_view name) {
  const Entity* entity = Find(name);
  if (!entity) return std::nullopt;
  return entity->text;
}

bool IsLegacyHtmlEntity(std::string_view name) {
  const Entity* entity = Find(name);
  return entity && entity->legacy;
}

}  // namespace lumarine
