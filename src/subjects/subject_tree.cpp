#include "subjects/subject_tree.h"

#include <QColorDialog>
#include <QContextMenuEvent>
#include <QMenu>
#include <QMouseEvent>
#include <QPainter>
#include <QPainterPath>
#include <QPixmap>
#include <QScrollBar>
#include <QStyle>
#include <QWheelEvent>
#include <algorithm>

#include "base/command_ids.h"
#include "platform/settings.h"
#include "platform/text_codec.h"
#include "subjects/subject_tree_owner.h"

namespace lumarine {
namespace {

QColor FromColourRef(uint32_t colour) {
  return QColor(colour & 0xFF, (colour >> 8) & 0xFF, (colour >> 16) & 0xFF);
}

uint32_t ToColourRef(const QColor& colour) {
  return static_cast<uint32_t>(colour.red()) | static_cast<uint32_t>(colour.green()) << 8 |
         static_cast<uint32_t>(colour.blue()) << 16;
}

QString Text(const std::string& utf8) { return QString::fromStdString(utf8); }

// Icon 158: a small sheet of news with a folded corner and text lines.
QImage SubjectIconImage() {
  QImage image(SubjectTree::kIconSize, SubjectTree::kIconSize, QImage::Format_RGB32);
  image.fill(Qt::white);
  QPainter painter(&image);
  painter.setPen(QColor(0x5A7EB4));
  painter.setBrush(QColor(0xF4F8FF));
  painter.drawPolygon(
      QPolygon({QPoint(3, 1), QPoint(10, 1), QPoint(13, 4), QPoint(13, 14), QPoint(3, 14)}));
  painter.drawLine(10, 1, 10, 4);
  painter.drawLine(10, 4, 13, 4);
  painter.setPen(QColor(0x3366ED));
  for (int y : {6, 8, 10, 12}) painter.drawLine(5, y, 11, y);
  return image;
}

// Icon 157: a yellow folder.
QImage GroupIconImage() {
  QImage image(SubjectTree::kIconSize, SubjectTree::kIconSize, QImage::Format_RGB32);
  image.fill(Qt::white);
  QPainter painter(&image);
  painter.setPen(QColor(0xB8860B));
  painter.setBrush(QColor(0xF5D66B));
  painter.drawPolygon(QPolygon(
      {QPoint(1, 3), QPoint(6, 3), QPoint(7, 5), QPoint(14, 5), QPoint(14, 13), QPoint(1, 13)}));
  painter.setBrush(QColor(0xFBE9A6));
  painter.drawRect(1, 6, 13, 7);
  return image;
}

// Cursor 104: the arrow with a small sheet beside it, the usual sign of a move.
QCursor MakeDragCursor() {
  QPixmap pixmap(32, 32);
  pixmap.fill(Qt::transparent);
  QPainter painter(&pixmap);
  painter.setRenderHint(QPainter::Antialiasing, false);
  painter.setPen(Qt::black);
  painter.setBrush(Qt::white);
  painter.drawPolygon(QPolygon({QPoint(0, 0), QPoint(0, 15), QPoint(4, 11), QPoint(7, 17),
                                QPoint(9, 16), QPoint(6, 10), QPoint(11, 10)}));
  painter.drawRect(10, 16, 10, 8);
  painter.drawLine(12, 19, 18, 19);
  painter.drawLine(12, 21, 16, 21);
  painter.end();
  return QCursor(pixmap, 0, 0);
}

}  // namespace

SubjectTree::SubjectTree(QWidget* parent)
    : QWidget(parent),
      scrollBar_(new QScrollBar(Qt::Vertical, this)),
      subjectIcon_(SubjectIconImage()),
      groupIcon_(GroupIconImage()),
      dragCursor_(MakeDragCursor()) {
  // Every pixel comes from the tree's own buffer.
  setAttribute(Qt::WA_OpaquePaintEvent);
  font_ = font();
  rowHeight_ = QFontMetrics(font_).height() + 5;
  charWidth_ = std::max(1, QFontMetrics(font_).horizontalAdvance(QLatin1Char('a')));
  scrollBar_->hide();
  scrollBar_->setRange(0, 0);
  connect(scrollBar_, &QScrollBar::valueChanged, this, [this] { update(); });
}

SubjectTree::~SubjectTree() = default;

SubjectTree& SubjectTree::SetFont(int pointSize, bool bold, bool italic, const QString& faceName) {
  QFont font(faceName);
  font.setPixelSize(std::max(1, (pointSize * logicalDpiY() + 36) / 72));
  font.setWeight(bold ? QFont::Bold : QFont::Normal);
  font.setItalic(italic);
  font_ = font;
  const QFontMetrics metrics(font_);
  rowHeight_ = metrics.height() + 5;
  charWidth_ = std::max(1, metrics.horizontalAdvance(QLatin1Char('a')));
  scrollBar_->setSingleStep(rowHeight_);
  return *this;
}

SubjectTree& SubjectTree::SetTextColor(uint32_t colour) {
  textColour_ = colour;
  return *this;
}

// ---- model operations ----

SubjectItem* SubjectTree::AddChild(SubjectItem* parent, std::string title, uint32_t colour,
                                   bool useDefault, bool repaint) {
  SubjectItem* item = model_.AddChild(parent, std::move(title), colour, useDefault);
  if (repaint) update();
  return item;
}

SubjectItem* SubjectTree::InsertAfter(SubjectItem* sibling, std::string title, uint32_t colour,
                                      bool useDefault, bool repaint) {
  SubjectItem* item = model_.InsertAfter(sibling, std::move(title), colour, useDefault);
  if (repaint) update();
  return item;
}

void SubjectTree::DeleteItem(SubjectItem* item, bool repaint) {
  if (!item) return;
  // A drag may still point into the subtree that goes away.
  if (SubjectTreeModel::IsWithin(dragSource_, item)) dragSource_ = nullptr;
  if (SubjectTreeModel::IsWithin(dropTarget_, item)) dropTarget_ = nullptr;
  model_.DeleteItem(item);
  if (repaint) update();
}

void SubjectTree::DeleteSelected() {
  if (SubjectItem* selection = model_.Selection()) DeleteItem(selection, true);
}

void SubjectTree::ToggleExpanded(SubjectItem* item, bool repaint) {
  model_.ToggleExpanded(item);
  if (repaint) update();
}

// ---- painting ----

int SubjectTree::ClientWidth() const {
  return width() - (scrollBar_->isVisibleTo(this) ? scrollBar_->width() : 0);
}

std::vector<std::string> SubjectTree::BreakLines(const std::string& title, int maxBytes) {
  const std::string gb = Utf8ToGb18030(title);
  if (gb.empty()) return {std::string()};
  const size_t limit = static_cast<size_t>(std::max(1, maxBytes));
  std::vector<std::string> lines;
  size_t start = 0;
  while (start < gb.size()) {
    size_t end = start;
    while (end < gb.size()) {
      const size_t length = Gb18030CharLength(gb, end);
      // A character that does not fit whole goes to the next line, unless the line would
      // stay empty (a very narrow tree must still make progress).
      if (end > start && end - start + length > limit) break;
      end += length;
    }
    end = std::min(end, gb.size());
    lines.push_back(Gb18030ToUtf8(std::string_view(gb).substr(start, end - start)));
    start = end;
  }
  return lines;
}

std::string SubjectTree::MenuTitle(const std::string& title) {
  if (Gb18030Length(title) <= static_cast<size_t>(kMenuTitleBytes)) return title;
  return TruncateToGbBytes(title, kMenuTitleBytes) + "...";
}

void SubjectTree::paintEvent(QPaintEvent*) {
  const int clientWidth = ClientWidth();
  const int clientHeight = height();
  if (clientWidth <= 0 || clientHeight <= 0) return;
  // Drawn into one buffer, copied in one go.
  QPixmap buffer(clientWidth, clientHeight);
  buffer.fill(Qt::white);
  int total = 0;
  {
    QPainter painter(&buffer);
    painter.setFont(font_);
    painter.setBackgroundMode(Qt::TransparentMode);
    if (SubjectItem* first = model_.Root()->FirstChild()) {
      total = DrawItems(painter, first, kIndent, kMargin - scrollBar_->value(), clientWidth,
                        clientHeight);
      DrawIcons(painter, first);
    }
  }
  QPainter(this).drawPixmap(0, 0, buffer);

  if (total != contentHeight_) {
    const bool tallerBefore = contentHeight_ + 8 >= clientHeight;
    contentHeight_ = total;
    UpdateScrollBar();
    if (tallerBefore != (contentHeight_ + 8 >= clientHeight)) update();
  }
}

int SubjectTree::DrawItems(QPainter& painter, SubjectItem* item, int x, int y, int clientWidth,
                           int clientHeight) {
  int used = 0;
  for (; item; item = item->NextSibling()) {
    used += DrawItem(painter, item, x, y + used, clientWidth, clientHeight);
    if (item->expanded && item->FirstChild())
      used +=
          DrawItems(painter, item->FirstChild(), x + kIndent, y + used, clientWidth, clientHeight);
  }
  return used;
}

int SubjectTree::DrawItem(QPainter& painter, SubjectItem* item, int x, int y, int clientWidth,
                          int clientHeight) {
  const int right = clientWidth - kMargin;
  item->rect = {x, y, right, y + rowHeight_};
  painter.setPen(FromColourRef(item->useDefaultColour ? textColour_ : item->colour));
  const QColor background = item->highlighted ? FromColourRef(kHighlightColour) : QColor(Qt::white);
  int top = y;
  for (const std::string& line : BreakLines(item->title, (right - x) / charWidth_)) {
    const int bottom = top + rowHeight_;
    // Lines outside the area are measured but not drawn.
    if (bottom > 0 && top < clientHeight) {
      const QRect area(x + 12, top + 2, right - x - 12, rowHeight_);
      painter.fillRect(area, background);
      painter.drawText(area, Qt::AlignLeft | Qt::AlignVCenter | Qt::TextSingleLine, Text(line));
    }
    // Every line takes the same room, drawn or not, so that the content height and the
    // hit rectangles do not change with the scroll position.
    item->rect.bottom = std::max(item->rect.bottom, bottom + 2);
    top = bottom + 2;
  }
  return item->rect.bottom - y;
}

void SubjectTree::DrawIcons(QPainter& painter, const SubjectItem* item) {
  for (; item; item = item->NextSibling()) {
    const int centre = item->rect.top + rowHeight_ / 2;
    if (item->IsGroup())
      painter.drawImage(item->rect.left - 7, centre - 5, groupIcon_);
    else
      painter.drawImage(item->rect.left - 8, centre - 6, subjectIcon_);
    if (item->expanded && item->FirstChild()) DrawIcons(painter, item->FirstChild());
  }
}

// ---- scrolling ----

void SubjectTree::PlaceScrollBar() {
  const int extent = style()->pixelMetric(QStyle::PM_ScrollBarExtent, nullptr, this);
  scrollBar_->setGeometry(width() - extent, 0, extent, height());
}

void SubjectTree::UpdateScrollBar() {
  // Showing or hiding the bar changes the text width; that must not start this again.
  if (updatingScrollBar_) return;
  updatingScrollBar_ = true;
  const int clientHeight = height();
  if (contentHeight_ + 8 < clientHeight) {
    scrollBar_->hide();
    scrollBar_->setRange(0, 0);
    scrollBar_->setValue(0);
  } else {
    PlaceScrollBar();
    scrollBar_->setPageStep(std::max(1, clientHeight));
    scrollBar_->setSingleStep(rowHeight_);
    scrollBar_->setRange(0, contentHeight_ + 8 - clientHeight + 1);
    scrollBar_->show();
  }
  updatingScrollBar_ = false;
  update();
}

void SubjectTree::resizeEvent(QResizeEvent* event) {
  QWidget::resizeEvent(event);
  PlaceScrollBar();
  UpdateScrollBar();
}

void SubjectTree::wheelEvent(QWheelEvent* event) {
  // One line per wheel step, whatever the size of the step.
  const int step = event->angleDelta().y() <= 0 ? rowHeight_ : -rowHeight_;
  scrollBar_->setValue(scrollBar_->value() + step);
  event->accept();
}

// ---- mouse ----

void SubjectTree::mousePressEvent(QMouseEvent* event) {
  if (event->button() != Qt::LeftButton) return QWidget::mousePressEvent(event);
  const QPoint point = event->position().toPoint();
  SubjectItem* selection = model_.Selection();
  if (!selection || !selection->rect.Contains(point.x(), point.y())) {
    if (SubjectItem* hit = model_.HitTest(point.x(), point.y())) {
      model_.Select(hit);
      update();
    }
  }
  selection = model_.Selection();
  if (!selection || selection->IsGroup()) return;
  const QWidget* grabber = QWidget::mouseGrabber();
  if (grabber && grabber != this) return;
  dragging_ = true;
  dragSource_ = model_.HitTest(point.x(), point.y(), model_.Root());
  dropTarget_ = nullptr;
}

void SubjectTree::mouseMoveEvent(QMouseEvent* event) {
  if (!dragging_) return QWidget::mouseMoveEvent(event);
  const QPoint point = event->position().toPoint();
  dropTarget_ = model_.HitTest(point.x(), point.y());
  if (dropTarget_)
    setCursor(dragCursor_);
  else
    unsetCursor();
}

void SubjectTree::mouseReleaseEvent(QMouseEvent* event) {
  if (event->button() != Qt::LeftButton || !dragging_) return QWidget::mouseReleaseEvent(event);
  dragging_ = false;
  unsetCursor();
  const QPoint point = event->position().toPoint();
  SubjectItem* source = dragSource_;
  SubjectItem* target = model_.HitTest(point.x(), point.y());
  dragSource_ = nullptr;
  dropTarget_ = nullptr;
  if (!target || !source || target == source) return;
  // The owner moves the item in the file first; the tree follows only when that worked.
  if (!owner_ || !owner_->MoveItem(source, target)) return;
  model_.MoveForDrop(source, target);
  update();
}

void SubjectTree::mouseDoubleClickEvent(QMouseEvent* event) {
  if (event->button() != Qt::LeftButton) return QWidget::mouseDoubleClickEvent(event);
  const QPoint point = event->position().toPoint();
  SubjectItem* hit = model_.HitTest(point.x(), point.y());
  if (hit && (hit->IsGroup() || hit->FirstChild())) {
    ToggleExpanded(hit, true);
    return;
  }
  if (owner_) owner_->OpenSubject(hit);
}

// ---- context menu and commands ----

std::unique_ptr<QMenu> SubjectTree::PrepareContextMenu(const QPoint& point) {
  if (model_.IsEmpty()) {
    model_.Select(nullptr);
  } else if (SubjectItem* hit = model_.HitTest(point.x(), point.y())) {
    model_.Select(hit);
  }
  SubjectItem* selection = model_.Selection();
  if (!selection) return nullptr;
  update();

  auto menu = std::make_unique<QMenu>(this);
  const auto add = [&menu](const std::string& text, int commandId, bool enabled) {
    QAction* action = menu->addAction(Text(text));
    action->setData(commandId);
    action->setEnabled(enabled);
  };
  add(MenuTitle(selection->title), kCmdNewKeywordSubject, false);
  menu->addSeparator();
  add("新建专题", kCmdTreeNewSubject, true);
  add("删除专题", kCmdTreeDeleteSubject, true);
  add("查看属性", kCmdTreeProperties, true);
  menu->addSeparator();
  add("查看Blog评论", kCmdTreeBlogComments, selection->kind == kSubjectKeyword);
  menu->addSeparator();
  add("设置文字颜色", kCmdTreeTextColour, true);
  add("增大字体", kCmdTreeFontLarger, true);
  add("缩小字体", kCmdTreeFontSmaller, true);
  return menu;
}

void SubjectTree::contextMenuEvent(QContextMenuEvent* event) {
  const std::unique_ptr<QMenu> menu = PrepareContextMenu(event->pos());
  if (!menu) return;
  if (const QAction* chosen = menu->exec(event->globalPos())) OnCommand(chosen->data().toInt());
}

void SubjectTree::OnCommand(int commandId) {
  SubjectItem* selection = model_.Selection();
  switch (commandId) {
    case kCmdTreeNewSubject:
      if (owner_) owner_->OnCommand(kCmdNewKeywordSubject);
      break;
    case kCmdTreeDeleteSubject:
      // Queued: the owner asks for confirmation and deletes after this menu has closed.
      if (selection) {
        QMetaObject::invokeMethod(
            this,
            [this] {
              if (owner_) owner_->OnCommand(kCmdDeleteSubject);
            },
            Qt::QueuedConnection);
      }
      break;
    case kCmdTreeProperties:
      if (owner_) owner_->EditProperties(selection);
      break;
    case kCmdTreeBlogComments:
      if (selection && owner_) owner_->SearchBlogComments(selection);
      break;
    case kCmdTreeTextColour:
      ChooseTextColour();
      break;
    case kCmdTreeFontLarger:
      StepFontSize(1);
      break;
    case kCmdTreeFontSmaller:
      StepFontSize(-1);
      break;
    default:
      break;
  }
}

void SubjectTree::ChooseTextColour() {
  const QColor chosen = QColorDialog::getColor(FromColourRef(textColour_), this, QString(),
                                               QColorDialog::DontUseNativeDialog);
  if (!chosen.isValid()) return;
  SetTextColor(ToColourRef(chosen));
  Settings::SetSubjectTextColor(static_cast<int>(textColour_));
  update();
}

void SubjectTree::StepFontSize(int step) {
  const int size = std::clamp(Settings::SubjectFontSize(Settings::kSubjectFontInCommands) + step,
                              kSmallestFont, kLargestFont);
  Settings::SetSubjectFontSize(size);
  SetFont(size, false, false, QStringLiteral("Arial Unicode MS"));
  update();
}

}  // namespace lumarine
