#include "feeds/channel_opml_export.h"

#include <vector>

#include "feeds/channel_store.h"
#include "platform/text_codec.h"

namespace lumarine {

OpmlExportResult ExportChannelsOpml(const std::string& path) {
  OpmlWriter writer("Lumarine频道");
  std::vector<std::string> written;
  for (const auto& channel : ChannelStore::LoadSubscribedChannels()) {
    bool seen = false;
    for (const std::string& name : written) seen = seen || EqualsNoCase(name, channel->name);
    if (seen) continue;
    written.push_back(channel->name);
    _xmlNode* outline = writer.AddOutline(nullptr, channel->name);
    for (const std::string& feed : channel->feeds) {
      if (feed.empty()) continue;
      _xmlNode* feedOutline = writer.AddOutline(outline, feed);
      writer.SetAttribute(feedOutline, "type", "rss");
      writer.SetAttribute(feedOutline, "xmlUrl", feed);
    }
  }
  return writer.Save(path);
}

}  // namespace lumarine
