#pragma once

namespace lumarine {

struct SubjectItem;

// The subject bar as the subject tree sees it: the tree changes no file itself, it asks its
// owner. Each call stands for one of the desktop's messages from the tree to the bar, named
// beside it (base/message_ids.h); all are made on the user-interface thread, at once, except
// the delete command, which the tree queues until its menu has closed. Items passed are the
// tree's own and valid during the call.
class SubjectTreeOwner {
 public:
  virtual ~SubjectTreeOwner() = default;

  // kMsgCommand: kCmdNewKeywordSubject, or kCmdDeleteSubject with a selection.
  virtual void OnCommand(int commandId) = 0;
  // kMsgOpenSubject: a double click on a subject, or on empty space (null).
  virtual void OpenSubject(SubjectItem* item) = 0;
  // kMsgBlogSearch: the blog comment page of the selected subject.
  virtual void SearchBlogComments(SubjectItem* item) = 0;
  // kMsgTreeDrop: `source` was dropped on `target`. The tree moves its item only on true,
  // that is when the owner moved it in the file.
  virtual bool MoveItem(SubjectItem* source, SubjectItem* target) = 0;
  // kMsgEditSubject: the properties of the selection (null when none).
  virtual void EditProperties(SubjectItem* item) = 0;
};

}  // namespace lumarine
