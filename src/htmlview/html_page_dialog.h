#pragma once

#include <QDialog>
#include <QRect>
#include <string>

#include "htmlview/doc_host_handler.h"

namespace lumarine {

class CHtmlCtrlEx;

// A dialog whose body is one HTML view showing a page template, and the handler of that view.
// The view is created at once in place of the placeholder and starts loading its page.
class HtmlPageDialog : public QDialog, public DocHostHandler {
  Q_OBJECT

 public:
  // `placeholder` is where the view goes (the placeholder widget `placeholderId` that the
  // view replaces); `showScrollBars` 0 hides the view's scroll bars.
  HtmlPageDialog(QWidget* parent, int htmlResource, int placeholderId, const QRect& placeholder,
                 int showScrollBars);
  ~HtmlPageDialog() override;

  CHtmlCtrlEx* View() const { return view_; }

  // 1000 ends the dialog with 1; 1001 and 1002 resize it; other ids do nothing.
  void OnAppCommand(unsigned commandId, const std::string& argument) override;

  void ScrollBy(bool down, int amount);

 private:
  bool OnInitDialog();
  void Resize(bool narrower, const std::string& argument);

  CHtmlCtrlEx* view_;  // child of the dialog
  int htmlResource_;
  int placeholderId_;
};

}  // namespace lumarine
