#include "subjects/opml_export.h"

#include "subjects/subject_store.h"
#include "subjects/subject_tree_model.h"

namespace lumarine {
namespace {

void WriteItems(OpmlWriter& writer, _xmlNode* parent, const SubjectItem* item) {
  for (; item; item = item->NextSibling()) {
    _xmlNode* outline = writer.AddOutline(parent, item->title);
    if (item->IsGroup()) {
      writer.SetOwnAttribute(outline, "folder", "1");
      WriteItems(writer, outline, item->FirstChild());
      continue;
    }
    writer.SetAttribute(outline, "type", "rss");
    writer.SetAttribute(outline, "xmlUrl", item->url);
    if (item->kind == kSubjectKeyword) writer.SetOwnAttribute(outline, "keyword", item->title);
  }
}

}  // namespace

OpmlExportResult ExportSubjectsOpml(const SubjectStore& store, const std::string& path) {
  SubjectTreeModel tree;
  if (!store.IsLoaded() || !store.FillTree(tree)) {
    OpmlExportResult result;
    result.error = "专题文件不可用";
    return result;
  }
  OpmlWriter writer("Lumarine专题");
  WriteItems(writer, nullptr, tree.Root()->FirstChild());
  return writer.Save(path);
}

}  // namespace lumarine
