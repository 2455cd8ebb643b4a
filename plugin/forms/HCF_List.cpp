#include "forms/HCF_List.h"

#include "core/ErrHandler.h"
#include "core/Text.h"
#include "forms/ProgrammingError.h"
#include "forms/Twips.h"

#include <QHeaderView>
#include <QKeyEvent>
#include <QMouseEvent>
#include <QScrollBar>
#include <QStyle>
#include <QTreeWidget>

#include <numeric>

namespace qel {

namespace {
constexpr int32_t kRowTwips = 206;
constexpr int32_t kScrollBarTwips = 250;
}  // namespace

HCF_List::HCF_List(QObject* parent) : QObject(parent) {}

HCF_List::~HCF_List() {
    Terminate();
}

bool HCF_List::linked(const char* operation) const {
    if (linked_ && list_) return true;
    qCritical("HCF_List.%s on a list that is not attached", operation);
    ProgrammingError(QString(), QStringLiteral("Object not yet initialised"), MsgIcon::None);
    return false;
}

void HCF_List::Initialise(QTreeWidget* list, int32_t visibleRows) {
    if (linked_) {
        ProgrammingError(QString(), QStringLiteral("Control already assingned"), MsgIcon::Critical);
        return;
    }
    if (!list) return;
    list_ = list;
    linked_ = true;
    visibleRows_ = std::max(0, visibleRows);
    list_->setColumnCount(0);
    list_->setRootIsDecorated(false);
    list_->setItemsExpandable(false);
    list_->setUniformRowHeights(true);
    list_->setSortingEnabled(false);
    list_->setEditTriggers(QAbstractItemView::NoEditTriggers);
    list_->setSelectionMode(QAbstractItemView::SingleSelection);
    list_->setSelectionBehavior(QAbstractItemView::SelectRows);
    list_->setAllColumnsShowFocus(true);
    list_->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    list_->header()->setStretchLastSection(false);
    list_->header()->setSectionsMovable(false);
    list_->installEventFilter(this);
    list_->viewport()->installEventFilter(this);
    setHeight();
    setWidth(0, false);
}

void HCF_List::setHeight() {
    const double tpp = Twips::PerPixel(list_);
    // The height is a 16-bit figure; a list asked for more rows than that can hold gets
    // the largest height there is.
    const int64_t twips = (int64_t{visibleRows_} + 1) * kRowTwips + 20;
    heightTwips_ = std::min(Twips::Scaled(static_cast<int>(std::min<int64_t>(twips, 32767)), tpp),
                            int32_t{32767});
    // Rows drawn in the system's font may be taller than the layout's twips allow; the
    // visible rows must still fit without a scroll bar.
    auto* probe = new QTreeWidgetItem(list_, QStringList(QStringLiteral("0")));
    const int rowHeight = std::max(list_->sizeHintForRow(list_->indexOfTopLevelItem(probe)),
                                   list_->fontMetrics().height());
    delete probe;
    const int needed =
        list_->header()->sizeHint().height() + visibleRows_ * rowHeight + 2 * list_->frameWidth();
    list_->setFixedHeight(std::max(Twips::ToPixels(heightTwips_, tpp), needed));
}

void HCF_List::setWidth(int32_t twips, bool scrollBar) {
    widthTwips_ = twips;
    int columns = 0;
    for (int i = 0; i < list_->columnCount(); ++i)
        columns += list_->header()->sectionSize(i);
    const int bar = scrollBar ? list_->style()->pixelMetric(QStyle::PM_ScrollBarExtent) : 0;
    list_->setFixedWidth(std::max(Twips::ToPixels(twips, Twips::PerPixel(list_)),
                                  columns + 2 * list_->frameWidth() + bar));
}

void HCF_List::AddCol(const QString& caption, int32_t widthTwips) {
    if (!linked("AddCol")) return;
    const double tpp = Twips::PerPixel(list_);
    const int32_t width = Twips::Scaled(widthTwips, tpp);
    widths_.push_back(width);
    const int column = list_->columnCount();
    list_->setColumnCount(column + 1);
    list_->headerItem()->setText(column, caption);
    list_->header()->resizeSection(column, Twips::ToPixels(width, tpp));
    total_ = std::accumulate(widths_.begin(), widths_.end(), int32_t{0});
    setWidth(total_ + 2, false);
}

void HCF_List::AddRow(int32_t key, const QString& text, const QString& separator,
                      const QColor& color) {
    if (!linked("AddRow")) return;
    int position = list_->topLevelItemCount();
    for (int i = 0; i < list_->topLevelItemCount(); ++i) {
        const int32_t rowKey = list_->topLevelItem(i)->text(0).toInt();
        if (rowKey == key) return;
        if (rowKey > key) {
            position = i;
            break;
        }
    }
    auto* row = new QTreeWidgetItem();
    row->setText(0, QString::number(key));
    const QChar sep = separator.isEmpty() ? QChar() : separator.front();
    for (int i = 1; i < list_->columnCount(); ++i)
        row->setText(i, Field(text, i, sep));
    for (int i = 0; i < std::max(1, list_->columnCount()); ++i)
        row->setForeground(i, color);
    list_->insertTopLevelItem(position, row);
    if (Rows() == visibleRows_ + 1) setWidth(total_ + kScrollBarTwips, true);
}

void HCF_List::DelRow(int32_t key) {
    if (!list_) return;
    if (key == selected_) selected_ = 0;
    const QString text = QString::number(key);
    for (int i = 0; i < list_->topLevelItemCount(); ++i) {
        if (list_->topLevelItem(i)->text(0) == text) {
            delete list_->takeTopLevelItem(i);
            break;
        }
    }
    if (Rows() == visibleRows_) setWidth(total_, false);
}

void HCF_List::DelAll() {
    if (!list_) return;
    list_->clear();
    setWidth(total_, false);
    selected_ = 0;
}

void HCF_List::Terminate() {
    widths_.clear();
    total_ = 0;
    linked_ = false;
    if (list_) {
        list_->removeEventFilter(this);
        list_->viewport()->removeEventFilter(this);
    }
    list_ = nullptr;
}

int32_t HCF_List::Rows() const {
    return list_ ? list_->topLevelItemCount() : 0;
}

void HCF_List::ForeColor(const QColor& color) {
    if (!list_) return;
    const QList<QTreeWidgetItem*> rows = list_->selectedItems();
    if (rows.isEmpty()) return;
    for (int i = 0; i < std::max(1, list_->columnCount()); ++i)
        rows.front()->setForeground(i, color);
}

int32_t HCF_List::selectedRowKey(bool* any) const {
    const QList<QTreeWidgetItem*> rows = list_->selectedItems();
    *any = !rows.isEmpty();
    return *any ? rows.front()->text(0).toInt() : 0;
}

void HCF_List::click() {
    bool any = false;
    const int32_t key = selectedRowKey(&any);
    if (!any) return;
    if (key != selected_) {
        selected_ = key;
        emit OnChange(key);
    }
    if (lastButton_ == Qt::RightButton)
        emit ClickR(key);
    else
        emit ClickL(key);
}

void HCF_List::selectionMoved() {
    bool any = false;
    const int32_t key = selectedRowKey(&any);
    if (any && key != selected_) {
        selected_ = key;
        emit OnChange(key);
    }
}

bool HCF_List::eventFilter(QObject* watched, QEvent* event) {
    if (!list_ || (watched != list_ && watched != list_->viewport())) return false;
    // Every event passes here (paint, timers): the handler is made only for those handled.
    const auto guarded = [this](auto&& body) {
        ErrTrap::Handler handler{QStringLiteral("HCF_List.") + list_->objectName()};
        handler.runInEvent(body);
    };
    switch (event->type()) {
        case QEvent::MouseButtonPress:
            lastButton_ = static_cast<QMouseEvent*>(event)->button();
            break;
        case QEvent::MouseButtonDblClick:
            lastButton_ = static_cast<QMouseEvent*>(event)->button();
            doubleClicked_ = true;
            break;
        case QEvent::MouseButtonRelease:
            guarded([&] {
                // The row under the mouse was selected when the button went down.
                if (doubleClicked_) {
                    doubleClicked_ = false;
                    bool any = false;
                    const int32_t key = selectedRowKey(&any);
                    if (any) emit DblClick(key);
                } else {
                    click();
                }
            });
            break;
        case QEvent::KeyRelease: {
            const int key = static_cast<QKeyEvent*>(event)->key();
            if (key == Qt::Key_Up || key == Qt::Key_Down) guarded([&] { selectionMoved(); });
            break;
        }
        default:
            break;
    }
    return false;
}

}  // namespace qel
