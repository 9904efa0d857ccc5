#pragma once

#include <QImage>
#include <memory>
#include <string>

#include "base/resizable_dialog.h"
#include "subjects/subject_page_worker.h"
#include "subjects/subject_store.h"
#include "subjects/subject_tree_owner.h"

class QLabel;
class QMenu;

namespace lumarine {

class LabelButton;
class SubjectTree;
struct SubjectItem;

// The subject panel above the news list: a caption and menu button on the header strip and
// the subject tree below. It owns the subject store and the tree and carries out every
// subject command; each change goes to the store first and reaches the tree only when the
// store took it. Opening a subject gathers its page on worker threads, which are stopped
// and joined when the bar goes away. User-interface thread only.
class SubjectBar : public ResizableDialog, public SubjectTreeOwner {
  Q_OBJECT

 public:
  static constexpr int kIdd = 130;
  static constexpr int kHeaderHeight = 23;

  // The bar as a hidden child of the main frame, initialised (store loaded, tree filled).
  static QWidget* Create(QWidget* frame);

  explicit SubjectBar(QWidget* parent = nullptr);
  ~SubjectBar() override;

  SubjectTree* Tree() const { return tree_; }
  SubjectStore& Store() { return store_; }
  LabelButton* MenuButton() const { return menuButton_; }
  SubjectPageWorker& PageWorker() { return pageWorker_; }

  // The command switch of the bar: its SUBJECT menu and the tree's commands.
  void OnCommand(int commandId) override;
  // The SUBJECT menu; entries carry their command.
  std::unique_ptr<QMenu> BuildBarMenu();

  // The steps after each dialog's OK, usable without the dialog. Text XML cannot hold is
  // dropped first. True when the store took the change (and so the tree shows it).
  bool AddKeywordSubject(const std::string& keyword);
  bool AddFeedSubject(const std::string& title, const std::string& address);
  bool AddGroup(const std::string& name);
  bool DeleteSelection();
  bool MoveItem(SubjectItem* source, SubjectItem* target) override;
  bool EditItem(SubjectItem* item, const std::string& title, const std::string& address);
  // Imports an OPML file and tells the user what came of it.
  void ImportOpmlFile(const std::string& path);
  // Writes the subject tree to an OPML file and tells the user what came of it.
  void ExportOpmlFile(const std::string& path);

  // The rest of what the tree asks for.
  void OpenSubject(SubjectItem* item) override;
  void SearchBlogComments(SubjectItem* item) override;
  // The properties dialog of a group or subject; nothing without an item.
  void EditProperties(SubjectItem* item) override;

 protected:
  bool event(QEvent* event) override;
  void paintEvent(QPaintEvent* event) override;
  void resizeEvent(QResizeEvent* event) override;

 private:
  void Initialise();
  void ApplyWindowShape();
  void ShowBarMenu();
  void NewKeywordSubject();
  void NewFeedSubject();
  void NewGroup();
  void ConfirmDelete();
  void AskForOpmlFile();
  void AskForOpmlExportFile();

  SubjectStore store_;
  SubjectPageWorker pageWorker_;
  SubjectTree* tree_;        // 1001
  QLabel* caption_;          // 1005
  LabelButton* menuButton_;  // 1006
};

}  // namespace lumarine
