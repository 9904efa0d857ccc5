#include "channelbar/news_list_page.h"

#include <QString>

#include "channelbar/news_row_format.h"
#include "htmlview/html_ctrl_ex.h"
#include "platform/html_text.h"

namespace lumarine {
namespace {

QString Quoted(const std::string& text) {
  return QString::fromStdString("'" + ScriptStringEscape(text) + "'");
}

// Makes the notice and the read-again link (hidden) after the row container, once per page.
QString EnsureFooter() {
  return QString(
             "var lmNotice = document.getElementById(%1);"
             "if (!lmNotice) {"
             "  document.getElementById(%2).insertAdjacentHTML('afterend',"
             "      '<div id=' + %1 + ' style=\"padding-top: 7px\"></div>"
             "<div id=' + %3 + ' style=\"padding-top: 7px; display: none\">' + %4 + '</div>');"
             "  lmNotice = document.getElementById(%1);"
             "}")
      .arg(Quoted(NewsListPage::kNotice), Quoted(NewsListPage::kRowContainer),
           Quoted(NewsListPage::kReadAgain), Quoted(FormatReadAgainLink()));
}

}  // namespace

void NewsListPage::InsertNewsRow(const RssItem& item) { AddRow(item, "afterbegin"); }

void NewsListPage::AppendNewsRow(const RssItem& item) { AddRow(item, "beforeend"); }

bool NewsListPage::AddRow(const RssItem& item, const char* where) {
  std::string row = FormatNewsRow(item);
  if (shownRows_.contains(row)) return false;
  // With a row on the page the notice goes and the read-again link sits under the list.
  view_->RunWhenLoaded(QString("try { %1 %2"
                               "lmNotice.style.display = 'none';"
                               "document.getElementById(%3).style.display = ''; } catch (e) {}")
                           .arg(QString::fromStdString(InsertHtmlScript(kRowContainer, where, row)),
                                EnsureFooter(), Quoted(kReadAgain)));
  shownRows_.insert(std::move(row));
  return true;
}

void NewsListPage::ShowNotice(const std::string& html) {
  view_->RunWhenLoaded(
      QString("try { %1 lmNotice.innerHTML = %2; lmNotice.style.display = '';"
              "document.getElementById(%3).style.display = '';"
              "document.getElementById(%4).style.display = 'none'; }"
              " catch (e) {}")
          .arg(EnsureFooter(), Quoted(html), Quoted(kReadAgain), Quoted(kLoadingMarker)));
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
