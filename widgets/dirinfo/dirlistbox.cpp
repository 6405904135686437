#include "widgets/dirinfo/dirlistbox.h"

#include "widgets/dirinfo/dirlistcore.h"

#include <QDir>
#include <QKeyEvent>
#include <QPainter>
#include <QPolygon>
#include <QStyledItemDelegate>
#include <QTextDocument>

namespace ovra {

namespace {

constexpr int kPathRole = Qt::UserRole;
constexpr int kLevelRole = Qt::UserRole + 1;
constexpr int kIndentStep = 8; // pixels per level

// Folder icons of our own: the standard ones of some styles hardly differ between open and
// closed, and the instructions ask the user to look for the open folder.
QIcon folderIcon(bool open) {
    QPixmap pixmap(16, 16);
    pixmap.fill(Qt::transparent);
    QPainter p(&pixmap);
    p.setRenderHint(QPainter::Antialiasing, false);
    const QColor outline(128, 96, 0), back(224, 184, 64), front(255, 224, 120);
    p.setPen(outline);
    p.setBrush(back);
    p.drawPolygon(QPolygon({{1, 3}, {6, 3}, {7, 4}, {14, 4}, {14, 13}, {1, 13}}));
    if (open) {
        // The front flap folded down towards the viewer.
        p.setBrush(front);
        p.drawPolygon(QPolygon({{4, 7}, {15, 7}, {12, 13}, {1, 13}}));
    } else {
        p.setBrush(front);
        p.drawRect(1, 5, 13, 8);
    }
    return QIcon(pixmap);
}

// Draws each entry indented by its level; the highlight covers the indented part only.
class IndentDelegate : public QStyledItemDelegate {
public:
    using QStyledItemDelegate::QStyledItemDelegate;

    void paint(QPainter* painter, const QStyleOptionViewItem& option,
               const QModelIndex& index) const override {
        QStyleOptionViewItem shifted(option);
        shifted.rect.setLeft(option.rect.left() + indent(index));
        QStyledItemDelegate::paint(painter, shifted, index);
    }

    QSize sizeHint(const QStyleOptionViewItem& option, const QModelIndex& index) const override {
        return QStyledItemDelegate::sizeHint(option, index) + QSize(indent(index), 0);
    }

private:
    static int indent(const QModelIndex& index) {
        return index.data(kLevelRole).toInt() * kIndentStep;
    }
};

} // namespace

DirListBox::DirListBox(QWidget* parent)
    : QListWidget(parent), openIcon_(folderIcon(true)), closedIcon_(folderIcon(false)) {
    setItemDelegate(new IndentDelegate(this));
    setSelectionMode(QAbstractItemView::SingleSelection);
    setEditTriggers(QAbstractItemView::NoEditTriggers);
    setUniformItemSizes(true);
    setIconSize(QSize(16, 16));
    setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    // Double click opens on every platform (not `activated`, which some styles fire on a single
    // click).
    connect(this, &QListWidget::itemDoubleClicked, this, &DirListBox::openEntry);
    path_ = dirlist::normalized(QDir::currentPath());
    fill();
}

bool DirListBox::setPath(const QString& path) {
    const QString target = dirlist::normalized(path);
    if (target.isEmpty() || !dirlist::canOpen(target))
        return false;
    path_ = target;
    fill();
    return true;
}

void DirListBox::keyPressEvent(QKeyEvent* event) {
    if ((event->key() == Qt::Key_Return || event->key() == Qt::Key_Enter) && currentItem()) {
        openEntry(currentItem());
        event->accept();
        return;
    }
    QListWidget::keyPressEvent(event);
}

void DirListBox::openEntry(QListWidgetItem* item) {
    if (!item)
        return;
    const QString target = item->data(kPathRole).toString();
    if (!setPath(target)) {
        fill(); // the entry may be gone: show what is there now
        emit openFailed(target);
    }
}

void DirListBox::fill() {
    const QList<dirlist::Entry> list = dirlist::entries(path_);
    clear();
    for (const dirlist::Entry& entry : list) {
        auto* item = new QListWidgetItem(entry.open ? openIcon_ : closedIcon_, entry.name, this);
        item->setData(kPathRole, entry.path);
        item->setData(kLevelRole, entry.level);
        // Tool tips take markup where they find some: a folder may be named "<img ...>".
        item->setToolTip(Qt::convertFromPlainText(entry.path));
    }
    // The open directory is highlighted, as after opening it.
    if (QListWidgetItem* open = item(dirlist::openIndex(list))) {
        setCurrentItem(open);
        scrollToItem(open, QAbstractItemView::PositionAtTop);
    }
}

} // namespace ovra
