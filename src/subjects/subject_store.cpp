#include "subject_store.h"

#include <libxml/tree.h>
#include <libxml/xpath.h>

#include <ctime>
#include <vector>

#include "platform/file_io.h"
#include "platform/xml_document.h"
#include "platform/xml_safe_text.h"
#include "subjects/item_path.h"
#include "subjects/subject_tree_model.h"
#include "subjects/subject_url_template.h"
#include "subjects/xml_attribute.h"

namespace lumarine {
namespace {

constexpr const char* kItem = "ITEM";

std::string Now() { return std::to_string(static_cast<long long>(std::time(nullptr))); }

std::string ReplaceAll(std::string text, char from, char to) {
  for (char& c : text)
    if (c == from) c = to;
  return text;
}

// An ITEM in no namespace, as the tree's XPath selections find them.
bool IsItem(const xmlNode* node) {
  return node && node->type == XML_ELEMENT_NODE && !node->ns &&
         xmlStrEqual(node->name, BAD_CAST kItem);
}

std::string Title(xmlNode* node) { return XmlGetAttribute(XmlNode(node), "TITLE"); }

// FOLDER is read as a number, as the tree's selection does, so that a hand-edited " 1" is a
// group everywhere and not only on screen.
bool HasFolderFlag(xmlNode* node, double flag) {
  const std::string value = XmlGetAttribute(XmlNode(node), "FOLDER");
  return xmlXPathCastStringToNumber(reinterpret_cast<const xmlChar*>(value.c_str())) == flag;
}

// An XPath string literal for any text: XPath has no escapes, so a text holding both kinds
// of quotation mark is joined with concat().
std::string XPathLiteral(std::string_view text) {
  if (text.find('"') == std::string_view::npos) return "\"" + std::string(text) + "\"";
  if (text.find('\'') == std::string_view::npos) return "'" + std::string(text) + "'";
  std::string out = "concat(";
  size_t start = 0;
  while (true) {
    const size_t quote = text.find('"', start);
    out += "\"" + std::string(text.substr(start, quote - start)) + "\"";
    if (quote == std::string_view::npos) break;
    out += ",'\"',";
    start = quote + 1;
  }
  return out + ")";
}

xmlNode* FindChildByTitle(xmlNode* parent, std::string_view title, const xmlNode* except) {
  for (xmlNode* child = parent->children; child; child = child->next)
    if (child != except && IsItem(child) && Title(child) == title) return child;
  return nullptr;
}

// The children of `parent` that a path step with this title may name, in the order the tree
// shows them: groups, then subjects, each in document order. Items of neither kind are not
// shown and so never named.
std::vector<xmlNode*> ItemsTitled(xmlNode* parent, std::string_view title) {
  std::vector<xmlNode*> groups;
  std::vector<xmlNode*> subjects;
  for (xmlNode* child = parent->children; child; child = child->next) {
    if (!IsItem(child) || Title(child) != title) continue;
    if (HasFolderFlag(child, 1))
      groups.push_back(child);
    else if (HasFolderFlag(child, 0))
      subjects.push_back(child);
  }
  groups.insert(groups.end(), subjects.begin(), subjects.end());
  return groups;
}

// The child a step names: the numbered one among its same-titled siblings, or the only one.
// A step without a number that several siblings match is ambiguous and names nothing, so a
// stale or hand-built path can never act on the wrong item.
xmlNode* ResolveStep(xmlNode* parent, const ItemPathStep& step) {
  const std::vector<xmlNode*> items = ItemsTitled(parent, step.title);
  if (step.occurrence == 0) return items.size() == 1 ? items.front() : nullptr;
  if (static_cast<size_t>(step.occurrence) > items.size()) return nullptr;
  return items[static_cast<size_t>(step.occurrence) - 1];
}

bool IsSafeSubject(const SubjectItem& item) {
  return IsXmlSafeText(item.title) && IsXmlSafeText(item.url);
}

// Only groups and the SUBJECTS element hold items: children of a subject are never read.
bool CanHoldItems(xmlNode* node) { return !IsItem(node) || HasFolderFlag(node, 1); }

bool WriteSubjectAttributes(xmlNode* element, const SubjectItem& item) {
  const XmlNode node(element);
  const std::string& feed = item.kind == kSubjectKeyword ? item.title : item.url;
  return XmlSetAttribute(node, "FOLDER", "0", true) &&
         XmlSetAttribute(node, "TITLE", item.title, true) &&
         XmlSetAttribute(node, "FEED", feed, true) &&
         XmlSetIntAttribute(node, "TYPE", item.kind, true);
}

bool FillLevel(xmlNode* element, SubjectItem* parent, SubjectTreeModel& tree) {
  const XmlNode node(element);
  // Select both kinds before adding anything: a failed selection ends the level.
  for (const XmlNode& group : node.SelectAll("./ITEM[@FOLDER=1]")) {
    SubjectItem* item = tree.AddChild(parent, XmlGetAttribute(group, "TITLE"));
    item->kind = kSubjectGroup;
    if (!FillLevel(group.Raw(), item, tree)) return false;
  }
  for (const XmlNode& subject : node.SelectAll("./ITEM[@FOLDER=0]")) {
    SubjectItem* item = tree.AddChild(parent, XmlGetAttribute(subject, "TITLE"));
    const std::string feed = XmlGetAttribute(subject, "FEED");
    const std::string type = XmlGetAttribute(subject, "TYPE");
    if (type == "1") {
      item->url = SubjectUrlTemplate::KeywordUrl(feed);
    } else if (type == "2") {
      // Files written by earlier versions hold "$" for every "&" typed.
      item->url = ReplaceAll(feed, '$', '&');
      item->kind = kSubjectFeed;
    }
  }
  return true;
}

}  // namespace

SubjectStore::SubjectStore() = default;
SubjectStore::~SubjectStore() = default;

void SubjectStore::Release() {
  subjects_ = nullptr;
  document_.reset();
}

bool SubjectStore::Load(const std::string& path) {
  path_ = path;
  Release();
  // Only a file that is not there is created; one that cannot be looked at or read now is
  // left alone for a later run, and nothing is saved over it in this one.
  const FileState state = ProbeFile(path);
  if (state == FileState::kUnknown) return false;
  if (state == FileState::kAbsent && !CreateEmpty(path)) return false;
  const FileContents contents = ReadFileContents(path);
  if (!contents.Read()) return false;
  document_ = XmlDocument::Parse(contents.bytes);
  if (document_) {
    if (const auto root = document_->SelectSingle("/SUBJECTS")) {
      subjects_ = root->Raw();
      return true;
    }
    document_.reset();
  }
  // The user's subjects are kept aside, under a name no earlier bad file holds; only once
  // they are safe does an empty file take their place.
  if (KeepFileAside(path, ".bad")) CreateEmpty(path);
  return false;
}

bool SubjectStore::CreateEmpty(const std::string& path) {
  return ReplaceFileContents(
      path, "<?xml version=\"1.0\" encoding=\"gb2312\"?><SUBJECTS SAVETIME=\"" + Now() + "\" />");
}

bool SubjectStore::Save() {
  if (!document_ || !subjects_) return false;
  if (!XmlSetAttribute(XmlNode(subjects_), "SAVETIME", Now(), true)) return false;
  // Characters GB2312 cannot hold are written as character references.
  xmlChar* bytes = nullptr;
  int size = 0;
  xmlDocDumpFormatMemoryEnc(document_->Raw(), &bytes, &size, "gb2312", 0);
  if (!bytes) return false;
  const std::string text(reinterpret_cast<const char*>(bytes), static_cast<size_t>(size));
  xmlFree(bytes);
  // A file the next start could not read would lose every subject: never write one.
  const auto check = XmlDocument::Parse(text);
  if (!check || !check->SelectSingle("/SUBJECTS")) return false;
  return ReplaceFileContents(path_, text);
}

bool SubjectStore::FillTree(SubjectTreeModel& tree) const {
  if (!subjects_) return false;
  return FillLevel(subjects_, tree.Root(), tree);
}

xmlNode* SubjectStore::Select(const std::string& path) const {
  xmlNode* node = subjects_;
  for (const ItemPathStep& step : SplitItemPathSteps(path)) {
    if (!node) break;
    node = ResolveStep(node, step);
  }
  return node;
}

bool SubjectStore::AddSubject(const std::string& parentPath, const SubjectItem& item,
                              const std::string& afterTitle) {
  if (!IsSafeSubject(item)) return false;
  xmlNode* parent = Select(parentPath);
  if (!parent || !CanHoldItems(parent) || FindChildByTitle(parent, item.title, nullptr))
    return false;
  DetachedXmlElement element = XmlCreateElement(XmlNode(parent), kItem, "");
  if (!element || !WriteSubjectAttributes(element.get(), item)) return false;
  xmlNode* after = afterTitle.empty() ? nullptr : FindChildByTitle(parent, afterTitle, nullptr);
  xmlNode* inserted = after && after->next ? xmlAddPrevSibling(after->next, element.get())
                                           : xmlAddChild(parent, element.get());
  if (!inserted) return false;
  element.release();  // now owned by the document
  return Save();
}

bool SubjectStore::AddGroup(const std::string& parentPath, const std::string& name) {
  if (!IsXmlSafeText(name)) return false;
  xmlNode* parent = Select(parentPath);
  if (!parent || !CanHoldItems(parent) || FindChildByTitle(parent, name, nullptr)) return false;
  DetachedXmlElement element = XmlCreateElement(XmlNode(parent), kItem, "");
  if (!element || !XmlSetAttribute(XmlNode(element.get()), "FOLDER", "1", true) ||
      !XmlSetAttribute(XmlNode(element.get()), "TITLE", name, true))
    return false;
  if (!xmlAddChild(parent, element.get())) return false;
  element.release();
  return Save();
}

bool SubjectStore::Remove(const std::string& path) {
  if (SplitItemPathSteps(path).empty()) return false;
  xmlNode* element = Select(path);
  if (!element || !element->parent) return false;
  xmlUnlinkNode(element);
  xmlFreeNode(element);
  Save();  // the removal stands even if this save fails; the next save writes it
  return true;
}

bool SubjectStore::Move(const std::string& sourcePath, const std::string& destinationParentPath,
                        const std::string& afterTitle) {
  if (SplitItemPathSteps(sourcePath).empty()) return false;
  xmlNode* destination = Select(destinationParentPath);
  if (!destination) return false;
  xmlNode* after = nullptr;
  if (!afterTitle.empty() && !(after = FindChildByTitle(destination, afterTitle, nullptr)))
    return false;
  return MoveNode(Select(sourcePath), destination, after, false);
}

bool SubjectStore::MoveBefore(const std::string& sourcePath, const std::string& targetPath) {
  if (SplitItemPathSteps(sourcePath).empty() || SplitItemPathSteps(targetPath).empty())
    return false;
  xmlNode* target = Select(targetPath);
  if (!target || !target->parent) return false;
  return MoveNode(Select(sourcePath), target->parent, target, true);
}

bool SubjectStore::MoveNode(xmlNode* source, xmlNode* destination, xmlNode* neighbour,
                            bool before) {
  if (!source || !source->parent || !destination || !CanHoldItems(destination)) return false;
  // An item cannot go into itself or its own subtree.
  for (xmlNode* node = destination; node; node = node->parent)
    if (node == source) return false;
  if (source->parent != destination && FindChildByTitle(destination, Title(source), nullptr))
    return false;
  xmlNode* reference = neighbour ? (before ? neighbour : neighbour->next) : nullptr;
  xmlNode* const oldNext = source->next;
  xmlUnlinkNode(source);
  if (reference == source) reference = oldNext;
  if (reference)
    xmlAddPrevSibling(reference, source);
  else
    xmlAddChild(destination, source);
  return Save();
}

bool SubjectStore::RenameGroup(const std::string& path, const std::string& name) {
  if (!IsXmlSafeText(name)) return false;
  xmlNode* element = Select(path);
  if (!element || !IsItem(element) || !HasFolderFlag(element, 1)) return false;
  if (FindChildByTitle(element->parent, name, element)) return false;
  if (!XmlSetAttribute(XmlNode(element), "TITLE", name, true)) return false;
  return Save();
}

bool SubjectStore::UpdateSubject(const SubjectItem& item, const std::string& path) {
  if (!IsSafeSubject(item)) return false;
  xmlNode* element = Select(path);
  if (!element || !IsItem(element) || !HasFolderFlag(element, 0)) return false;
  if (FindChildByTitle(element->parent, item.title, element)) return false;
  if (!WriteSubjectAttributes(element, item)) return false;
  return Save();
}

std::string SubjectStore::PathToXPath(std::string_view path) {
  std::string xpath = ".";
  for (const std::string& step : SplitItemPath(path)) {
    xpath += "/ITEM[@TITLE=" + XPathLiteral(step);
    // A hand-edited item without a title shows as an empty line; it must stay removable.
    if (step.empty()) xpath += " or not(@TITLE)";
    xpath += "]";
  }
  return xpath;
}

std::string SubjectStore::EncodeKeywordUtf8(std::string_view text) {
  static constexpr char kHex[] = "0123456789ABCDEF";
  std::string encoded;
  encoded.reserve(text.size() * 3);
  for (unsigned char c : text) {
    encoded += '%';
    encoded += kHex[c >> 4];
    encoded += kHex[c & 0x0F];
  }
  return encoded;
}

}  // namespace lumarine
