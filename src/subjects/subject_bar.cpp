#include "subjects/subject_bar.h"

#include <QFileDialog>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QPainter>
#include <QPainterPath>
#include <QRegion>

#include "base/bar_images.h"
#include "base/command_ids.h"
#include "base/label_button.h"
#include "base/message_ids.h"
#include "base/panel_header.h"
#include "base/user_message_event.h"
#include "dialogs/new_feed_subject_dialog.h"
#include "dialogs/new_group_dialog.h"
#include "dialogs/new_subject_dialog.h"
#include "platform/message_box.h"
#include "platform/paths.h"
#include "platform/settings.h"
#include "platform/xml_safe_text.h"
#include "subjects/opml_export.h"
#include "subjects/opml_import.h"
#include "subjects/subject_tree.h"
#include "subjects/subject_url_template.h"

namespace lumarine {
namespace {

// The panel's template in pixels (dialog units times 1.5).
constexpr QSize kBarSize(205, 424);
constexpr QRect kTreeGeometry(0, 19, 205, 402);
constexpr QRect kCaptionGeometry(1, 6, 25, 12);
constexpr QRect kMenuButtonGeometry(181, 6, 12, 12);
constexpr qreal kCornerRadius = 2.5;  // 5 by 5 corner ellipses

QString Text(const char* utf8) { return QString::fromUtf8(utf8); }

void AddEntry(QMenu* menu, const char* text, int commandId) {
  menu->addAction(Text(text))->setData(commandId);
}

}  // namespace

QWidget* SubjectBar::Create(QWidget* frame) {
  auto* bar = new SubjectBar(frame);
  bar->hide();
  return bar;
}

SubjectBar::SubjectBar(QWidget* parent)
    : ResizableDialog(parent),
      tree_(new SubjectTree(this)),
      caption_(new QLabel(Text("专题"), this)),
      menuButton_(new LabelButton(this)) {
  setObjectName("subjectBar");
  resize(kBarSize);
  tree_->setGeometry(kTreeGeometry);
  caption_->setGeometry(kCaptionGeometry);
  caption_->setFont(SongTiFont(12, 400));
  // The caption stands on the header strip.
  caption_->setAutoFillBackground(false);
  caption_->setAttribute(Qt::WA_TranslucentBackground);
  menuButton_->setGeometry(kMenuButtonGeometry);
  Initialise();
}

SubjectBar::~SubjectBar() = default;

void SubjectBar::Initialise() {
  ResizableDialog::InitDialog();
  ShowSizeGrip(false);
  AddAnchor(tree_, kTopLeft, kBottomRight);

  tree_
      ->SetFont(Settings::SubjectFontSize(Settings::kSubjectFontAtStart), false, false,
                QStringLiteral("Arial Unicode MS"))
      .SetTextColor(static_cast<uint32_t>(Settings::SubjectTextColor()));
  store_.Load(ProfileFilePath("/profile/subject.xml"));
  tree_->SetOwner(this);
  store_.FillTree(tree_->Model());
  ApplyWindowShape();
  menuButton_->SetKind(LabelButton::kMenu);
}

void SubjectBar::ApplyWindowShape() {
  QPainterPath shape;
  shape.addRoundedRect(QRectF(0, 0, width(), height()), kCornerRadius, kCornerRadius);
  setMask(QRegion(shape.toFillPolygon().toPolygon()));
}

void SubjectBar::paintEvent(QPaintEvent* event) {
  {
    QPainter painter(this);
    painter.fillRect(rect(), Qt::white);
    // The application's bitmap 139, made once at start-up.
    const QImage& headerStrip = PanelHeader::Bitmap();
    if (!headerStrip.isNull()) painter.drawImage(QRect(0, 0, width(), kHeaderHeight), headerStrip);
  }
  ResizableDialog::paintEvent(event);
}

void SubjectBar::resizeEvent(QResizeEvent* event) {
  ResizableDialog::resizeEvent(event);
  ApplyWindowShape();
}

// ---- messages and commands ----

bool SubjectBar::event(QEvent* event) {
  const auto* message = static_cast<UserMessageEvent*>(event);
  switch (static_cast<int>(event->type())) {
    case kMsgCommand:
      OnCommand(static_cast<int>(message->First()));
      return true;
    case kMsgLabelButton:
      if (message->Second() == LabelButton::kMenu) ShowBarMenu();
      return true;
    default:
      return ResizableDialog::event(event);
  }
}

void SubjectBar::OpenSubject(SubjectItem* item) { pageWorker_.OpenSubjectPage(item, false); }

void SubjectBar::SearchBlogComments(SubjectItem* item) { pageWorker_.OpenSubjectPage(item, true); }

void SubjectBar::OnCommand(int commandId) {
  switch (commandId) {
    case kCmdNewKeywordSubject:
      NewKeywordSubject();
      break;
    case kCmdNewFeedSubject:
      NewFeedSubject();
      break;
    case kCmdDeleteSubject:
      ConfirmDelete();
      break;
    case kCmdNewSubjectGroup:
      NewGroup();
      break;
    case kCmdCloseSubjectBar:
      PostUserMessage(parentWidget(), kMsgToggleSubjectBar);
      break;
    case kCmdRefreshAllSubjects:
      break;  // subjects have no stored news to refresh
    case kCmdImportOpml:
      AskForOpmlFile();
      break;
    case kCmdExportOpml:
      AskForOpmlExportFile();
      break;
    default:
      break;
  }
}

std::unique_ptr<QMenu> SubjectBar::BuildBarMenu() {
  auto menu = std::make_unique<QMenu>(this);
  QMenu* newSubject = menu->addMenu(Text("新建专题"));
  AddEntry(newSubject, "根据关键词...", kCmdNewKeywordSubject);
  AddEntry(newSubject, "根据Feed地址...", kCmdNewFeedSubject);
  AddEntry(menu.get(), "删除选中专题", kCmdDeleteSubject);
  AddEntry(menu.get(), "新建组", kCmdNewSubjectGroup);
  AddEntry(menu.get(), "从OPML导入...", kCmdImportOpml);
  AddEntry(menu.get(), "导出到OPML...", kCmdExportOpml);
  menu->addSeparator();
  AddEntry(menu.get(), "关闭专题栏", kCmdCloseSubjectBar);
  return menu;
}

void SubjectBar::ShowBarMenu() {
  const std::unique_ptr<QMenu> menu = BuildBarMenu();
  const QAction* chosen = menu->exec(menuButton_->mapToGlobal(QPoint(0, menuButton_->height())));
  if (chosen) PostCommand(this, chosen->data().toInt());
}

// ---- new subjects and groups ----

void SubjectBar::NewKeywordSubject() {
  NewSubjectDialog dialog(this);
  if (dialog.exec() != QDialog::Accepted) return;
  AddKeywordSubject(dialog.keyword.toStdString());
}

bool SubjectBar::AddKeywordSubject(const std::string& typed) {
  const std::string keyword = XmlSafeText(typed);
  SubjectItem item(keyword);
  item.kind = kSubjectKeyword;
  item.url = SubjectUrlTemplate::KeywordUrl(keyword);
  const auto [path, parent] = tree_->Model().ParentForNewSubject();
  if (!store_.AddSubject(path, item, "")) return false;
  SubjectItem* added = tree_->AddChild(parent, keyword, 0, true, false);
  parent->expanded = true;
  added->url = item.url;
  added->kind = kSubjectKeyword;
  tree_->update();
  return true;
}

void SubjectBar::NewFeedSubject() {
  NewFeedSubjectDialog dialog(this);
  if (dialog.exec() != QDialog::Accepted) return;
  AddFeedSubject(dialog.title.toStdString(), dialog.address.toStdString());
}

bool SubjectBar::AddFeedSubject(const std::string& typedTitle, const std::string& typedAddress) {
  const std::string title = XmlSafeText(typedTitle);
  const std::string address = XmlSafeText(typedAddress);
  SubjectItem item(title);
  item.kind = kSubjectFeed;
  item.url = address;
  if (!store_.AddSubject("", item, "")) return false;
  SubjectItem* added = tree_->AddChild(nullptr, title, 0, true, false);
  added->url = address;
  added->kind = kSubjectFeed;
  tree_->update();
  return true;
}

void SubjectBar::NewGroup() {
  NewGroupDialog dialog(this);
  if (dialog.exec() != QDialog::Accepted) return;
  AddGroup(dialog.groupName.toStdString());
}

bool SubjectBar::AddGroup(const std::string& typed) {
  const std::string name = XmlSafeText(typed);
  if (!store_.AddGroup("", name)) return false;
  tree_->AddChild(nullptr, name, 0, true, false)->kind = kSubjectGroup;
  tree_->update();
  return true;
}

// ---- delete, move, edit ----

void SubjectBar::ConfirmDelete() {
  // Nothing to confirm without a selection.
  if (!tree_->Model().Selection()) return;
  if (ShowMessageBox("你确定要删除选中的专题吗?", "删除专题", kMbOkCancel) != kIdOk) return;
  DeleteSelection();
}

bool SubjectBar::DeleteSelection() {
  if (!tree_->Model().Selection()) return false;
  if (!store_.Remove(tree_->ItemPath())) return false;
  tree_->DeleteSelected();
  return true;
}

bool SubjectBar::MoveItem(SubjectItem* source, SubjectItem* target) {
  if (!source || !target || source == target || !source->parent || !target->parent) return false;
  SubjectItem* destination = target->IsGroup() ? target : target->parent;
  // The tree puts a subject dropped on a subject in front of it, unless the target is its
  // parent's first child; there, and on a group, it goes to the end. The file follows.
  const bool inFront = !target->IsGroup() && target->PreviousSibling() != nullptr;
  const std::string sourcePath = tree_->ItemPath(source);
  return inFront ? store_.MoveBefore(sourcePath, tree_->ItemPath(target))
                 : store_.Move(sourcePath, tree_->ItemPath(destination), "");
}

void SubjectBar::EditProperties(SubjectItem* item) {
  if (!item) return;
  if (item->kind == kSubjectFeed) {
    NewFeedSubjectDialog dialog(this);
    const QList<QLineEdit*> edits = dialog.findChildren<QLineEdit*>();
    if (edits.size() >= 2) {
      edits[0]->setText(QString::fromStdString(item->url));
      edits[1]->setText(QString::fromStdString(item->title));
    }
    if (dialog.exec() != QDialog::Accepted) return;
    EditItem(item, dialog.title.toStdString(), dialog.address.toStdString());
  } else {
    NewSubjectDialog dialog(this);
    if (QLineEdit* edit = dialog.findChild<QLineEdit*>())
      edit->setText(QString::fromStdString(item->title));
    if (dialog.exec() != QDialog::Accepted) return;
    EditItem(item, dialog.keyword.toStdString(), std::string());
  }
}

bool SubjectBar::EditItem(SubjectItem* item, const std::string& typedTitle,
                          const std::string& typedAddress) {
  if (!item || !item->parent) return false;
  const std::string title = XmlSafeText(typedTitle);
  const std::string address = XmlSafeText(typedAddress);
  const std::string path = tree_->ItemPath(item);
  SubjectItem edited(title);
  edited.kind = item->kind;
  if (item->IsGroup()) {
    // A group keeps no address; only its name changes, in the file as in the tree.
    if (!store_.RenameGroup(path, title)) return false;
  } else {
    edited.url = item->kind == kSubjectFeed ? address : SubjectUrlTemplate::KeywordUrl(title);
    if (!store_.UpdateSubject(edited, path)) return false;
    item->url = edited.url;
  }
  item->title = title;
  tree_->update();
  return true;
}

// ---- OPML import ----

void SubjectBar::AskForOpmlFile() {
  const QString path = QFileDialog::getOpenFileName(this, Text("从OPML导入"), QString(),
                                                    Text("OPML (*.opml *.xml);;所有文件 (*)"));
  if (path.isEmpty()) return;
  ImportOpmlFile(path.toStdString());
}

void SubjectBar::ImportOpmlFile(const std::string& path) {
  const OpmlImportResult result = lumarine::ImportOpml(path, store_);
  if (!result.ok) {
    ShowMessageBox("无法导入OPML文件: " + result.error, "从OPML导入");
    return;
  }
  // Show the tree as the file now holds it.
  SubjectTreeModel& model = tree_->Model();
  while (SubjectItem* first = model.Root()->FirstChild()) tree_->DeleteItem(first, false);
  store_.FillTree(model);
  tree_->update();
  std::string text = "已导入 " + std::to_string(result.subjectsAdded) + " 个专题";
  if (result.duplicatesSkipped > 0)
    text += ", 跳过 " + std::to_string(result.duplicatesSkipped) + " 个已有的Feed";
  ShowMessageBox(text, "从OPML导入");
}

// ---- OPML export ----

void SubjectBar::AskForOpmlExportFile() {
  const QString path = QFileDialog::getSaveFileName(this, Text("导出到OPML"), Text("subjects.opml"),
                                                    Text("OPML (*.opml *.xml);;所有文件 (*)"));
  if (path.isEmpty()) return;
  ExportOpmlFile(path.toStdString());
}

void SubjectBar::ExportOpmlFile(const std::string& path) {
  const OpmlExportResult result = ExportSubjectsOpml(store_, path);
  if (!result.ok) {
    ShowMessageBox("无法导出OPML文件: " + result.error, "导出到OPML");
    return;
  }
  ShowMessageBox("已导出 " + std::to_string(result.outlines) + " 个专题和组", "导出到OPML");
}

}  // namespace lumarine
