#include "channelbar/news_list_page.h"

#include <QString>

#include "channelbar/news_row_format.h"
#include "htmlview/html_ctrl_ex.h"
#include "htmlview/html_text.h"

namespace lumarine {
namespace {

QString Quoted(const std::string& text) {
  return QString::fromStdString("'" + ScriptStringEscape(text) + "'");
}

}  // namespace

void NewsListPage::InsertNewsRow(const RssItem& item) {
  view_->RunWhenLoaded(
      QString("try { document.getElementById(%1).insertAdjacentHTML('afterbegin', %2); } "
              "catch (e) {}")
          .arg(Quoted(kRowContainer), Quoted(FormatNewsRow(item))));
}

void NewsListPage::SetElementHidden(const std::string& id, bool hide) {
  view_->RunWhenLoaded(
      QString("try { document.getElementById(%1).style.display = %2; } catch (e) {}")
          .arg(Quoted(id), hide ? "'none'" : "''"));
}

void NewsListPage::Reload() { view_->LoadFromResource(kHtmlNewsList); }

}  // namespace lumarine
