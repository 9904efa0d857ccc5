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
  std::string row = FormatNewsRow(item);
  if (shownRows_.contains(row)) return;
  view_->RunWhenLoaded(
      QString("try { document.getElementById(%1).insertAdjacentHTML('afterbegin', %2); } "
              "catch (e) {}")
          .arg(Quoted(kRowContainer), Quoted(row)));
  shownRows_.insert(std::move(row));
}

void NewsListPage::SetElementHidden(const std::string& id, bool hide) {
  view_->RunWhenLoaded(
      QString("try { document.getElementById(%1).style.display = %2; } catch (e) {}")
          .arg(Quoted(id), hide ? "'none'" : "''"));
}

void NewsListPage::Reload() {
  shownRows_.clear();
  view_->LoadFromResource(kHtmlNewsList);
}

}  // namespace lumarine
