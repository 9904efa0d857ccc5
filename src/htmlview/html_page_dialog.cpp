#include "htmlview/html_page_dialog.h"

#include "htmlview/app_commands.h"
#include "htmlview/app_link.h"
#include "htmlview/html_ctrl_ex.h"

namespace lumarine {

HtmlPageDialog::HtmlPageDialog(QWidget* parent, int htmlResource, int placeholderId,
                               const QRect& placeholder, int showScrollBars)
    : QDialog(parent),
      DocHostHandler(showScrollBars),
      view_(new CHtmlCtrlEx(this)),
      htmlResource_(htmlResource),
      placeholderId_(placeholderId) {
  auto* staticControl = new QWidget(this);
  staticControl->setObjectName(QString::number(placeholderId));
  staticControl->setGeometry(placeholder);
  staticControl->hide();
  OnInitDialog();
}

HtmlPageDialog::~HtmlPageDialog() = default;

bool HtmlPageDialog::OnInitDialog() {
  // Without its placeholder the dialog still shows, only without its page.
  view_->CreateFromStatic(placeholderId_, this, this);
  view_->LoadFromResource(htmlResource_);
  return true;
}

void HtmlPageDialog::OnAppCommand(unsigned commandId, const std::string& argument) {
  switch (commandId) {
    case kAppEndDialog:
      done(1);
      break;
    case kAppNarrowAndHeighten:
      Resize(true, argument);
      break;
    case kAppWidenAndShorten:
      Resize(false, argument);
      break;
    default:
      break;
  }
}

// The argument is "<any character><dx>@<dy>"; dy is read from the whole argument when it has
// no "@".
void HtmlPageDialog::Resize(bool narrower, const std::string& argument) {
  const std::string_view text = argument;
  const int dx = text.size() > 1 ? LeadingInt(text.substr(1)) : 0;
  const size_t at = text.find('@');
  const int dy = LeadingInt(at == std::string_view::npos ? text : text.substr(at + 1));
  const int width = narrower ? this->width() - dx : this->width() + dx;
  const int height = narrower ? this->height() + dy : this->height() - dy;
  resize(std::max(width, 0), std::max(height, 0));
  view_->setGeometry(0, 0, this->width(), this->height());
}

void HtmlPageDialog::ScrollBy(bool down, int amount) { view_->ScrollBy(down, amount); }

}  // namespace lumarine
