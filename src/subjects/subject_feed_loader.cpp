#include "subject_feed_loader.h"

#include "platform/xml_document.h"

namespace lumarine {
namespace {

std::string ChildText(const XmlNode& node, const std::string& name) {
  const auto child = node.SelectSingle(name);
  return child ? child->Text() : std::string();
}

}  // namespace

std::vector<SubjectFeedItem> LoadSubjectFeed(const std::string& address, std::stop_token stop) {
  std::vector<SubjectFeedItem> items;
  const auto document = XmlDocument::Load(address, std::move(stop));
  if (!document) return items;
  for (const XmlNode& node : document->SelectAll("/rss/channel/item"))
    items.push_back(
        {ChildText(node, "title"), ChildText(node, "link"), ChildText(node, "description")});
  return items;
}

}  // namespace lumarine
