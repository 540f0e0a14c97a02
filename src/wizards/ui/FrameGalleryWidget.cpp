#include "wizards/ui/FrameGalleryWidget.h"
#include "common/ThumbnailCache.h"

#include <QCoreApplication>
#include <QDir>
#include <QDropEvent>
#include <QFileInfo>
#include <QImageReader>
#include <QKeyEvent>
#include <QMouseEvent>
#include <QPointer>
#include <QSignalBlocker>
#include <QThreadPool>

#include <optional>
#include <utility>

namespace {
constexpr int Thumb = 80;

void setIcons(QListWidget* list, const QString& path, const QIcon& icon) {
    for (int row = 0; row < list->count(); ++row)
        if (list->item(row)->data(Qt::UserRole).toString() == path)
            list->item(row)->setIcon(icon);
    list->doItemsLayout();
    list->viewport()->update();
}
} // namespace

namespace {
using ThumbnailKey = QPair<QString, int>; // path and side
// Thumbnails made (or found unreadable: a null icon) in this run, the calls waiting for those not made yet,
// and those waiting to be made; used on the window's thread only.
struct Thumbnails {
    QHash<ThumbnailKey, QIcon> made;
    QHash<ThumbnailKey, QList<std::pair<QPointer<QObject>, std::function<void(const QIcon&)>>>> waiting;
    QList<ThumbnailKey> toMake; // the last asked is made first: the frame just chosen
    std::optional<ThumbnailKey> making;
};
Thumbnails& thumbnails() {
    static Thumbnails t;
    return t;
}

// One thumbnail at a time takes one of Qt's shared workers (where Qt reads and scales it on that worker
// alone): the others stay free for the window's painting, which waits for them, however long a picture takes.
void makeNextThumbnail() {
    Thumbnails& t = thumbnails();
    if (t.making || t.toMake.isEmpty())
        return;
    const ThumbnailKey key = t.toMake.takeLast();
    t.making = key;
    QThreadPool::globalInstance()->start([key] {
        const QImage image = pictures::keptThumbnail(key.first, key.second);
        if (QCoreApplication* app = QCoreApplication::instance())
            QMetaObject::invokeMethod(
                app,
                [image, key] {
                    const QIcon icon = image.isNull() ? QIcon() : QIcon(QPixmap::fromImage(image));
                    Thumbnails& t = thumbnails();
                    t.making.reset();
                    t.made.insert(key, icon);
                    for (const auto& [who, done] : t.waiting.take(key))
                        if (who)
                            done(icon);
                    makeNextThumbnail();
                },
                Qt::QueuedConnection);
    });
}
} // namespace

void thumbnailWhenMade(QObject* receiver, const QString& path, int side, std::function<void(const QIcon&)> done) {
    const ThumbnailKey key(path, side);
    Thumbnails& t = thumbnails();
    if (const auto it = t.made.constFind(key); it != t.made.constEnd()) {
        done(*it);
        return;
    }
    t.waiting[key].append({QPointer<QObject>(receiver), std::move(done)});
    if (t.making == key)
        return;
    t.toMake.removeOne(key);
    t.toMake.append(key);
    makeNextThumbnail();
}

void showThumbnailsWhenMade(QListWidget* list, int side) {
    for (int row = 0; row < list->count(); ++row) {
        const QString path = list->item(row)->data(Qt::UserRole).toString();
        if (path.isEmpty())
            continue;
        if (const QIcon made = thumbnails().made.value(qMakePair(path, side)); !made.isNull()) {
            list->item(row)->setIcon(made);
            continue;
        }
        // Until then a blank of the thumbnail's size keeps the entries where the thumbnails will be.
        QPixmap blank(side, side);
        blank.fill(Qt::transparent);
        list->item(row)->setIcon(QIcon(blank));
        thumbnailWhenMade(list, path, side, [list, path](const QIcon& icon) {
            if (!icon.isNull())
                setIcons(list, path, icon);
        });
    }
}

FrameGalleryWidget::FrameGalleryWidget(QWidget* parent) : QListWidget(parent) {
    setViewMode(QListView::IconMode);
    setIconSize(QSize(Thumb, Thumb));
    setResizeMode(QListView::Adjust);
    setMovement(QListView::Snap);
    setDragDropMode(QAbstractItemView::InternalMove);
    setDefaultDropAction(Qt::MoveAction);
    setSelectionMode(QAbstractItemView::SingleSelection);
    setSpacing(4);
    setWordWrap(true);
    connect(this, &QListWidget::itemSelectionChanged, this,
            &FrameGalleryWidget::imageBrowserSelectionDidChange);
    // A click on the frame already selected picks it again (after an Undo it is no longer the card's).
    connect(this, &QListWidget::itemClicked, this, [this](QListWidgetItem* item) {
        if (item && item == std::exchange(m_pressedSelected, nullptr) && item->isSelected()) {
            m_selected = item->data(Qt::UserRole).toString();
            if (!m_selected.isEmpty())
                emit framePicked(m_selected);
        }
    });
}

void FrameGalleryWidget::mousePressEvent(QMouseEvent* event) {
    QListWidgetItem* item = itemAt(event->position().toPoint());
    m_pressedSelected = item && item->isSelected() ? item : nullptr;
    QListWidget::mousePressEvent(event);
}

void FrameGalleryWidget::showFrame(const QString& path) {
    const QString wanted = path.isEmpty() ? QString() : QDir::cleanPath(path);
    QListWidgetItem* shown = nullptr;
    for (int row = 0; row < count() && !wanted.isEmpty(); ++row)
        if (QDir::cleanPath(item(row)->data(Qt::UserRole).toString()) == wanted)
            shown = item(row);
    const QSignalBlocker block(this);
    if (shown) {
        setCurrentItem(shown);
        scrollToItem(shown);
    } else {
        clearSelection();
        setCurrentItem(nullptr);
    }
    m_selected = shown ? path : QString();
    viewport()->update();
}

void FrameGalleryWidget::Load_and_fill_backgrounds(const QString& folder) {
    if (m_gallery.Load_and_fill_backgrounds(folder))
        reload();
}

void FrameGalleryWidget::reload() {
    m_reloading = true;
    const QSignalBlocker block(this);
    clear();
    for (const FrameEntry& e : m_gallery.images()) {
        auto* item = new QListWidgetItem(QFileInfo(e.name).completeBaseName(), this);
        item->setData(Qt::UserRole, e.path);
        item->setToolTip(e.name);
    }
    showThumbnailsWhenMade(this, Thumb);
    m_reloading = false;
}

bool FrameGalleryWidget::moveItemsAtIndexes(const QList<int>& indexes, int destination) {
    if (!m_gallery.moveItemsAtIndexes(indexes, destination))
        return false;
    reload();
    return true;
}

void FrameGalleryWidget::dropEvent(QDropEvent* event) {
    // The drop is done on the gallery's own list, so entries are never copied or lost.
    QList<int> rows;
    for (const QModelIndex& i : selectedIndexes())
        rows << i.row();
    const QModelIndex target = indexAt(event->position().toPoint());
    const int destination =
        target.isValid() ? target.row() + (target.row() > rows.value(0, -1) ? 1 : 0) : count();
    event->setDropAction(Qt::IgnoreAction);
    event->accept();
    moveItemsAtIndexes(rows, destination);
}

void FrameGalleryWidget::keyPressEvent(QKeyEvent* event) {
    // Frames cannot be deleted from the gallery.
    if (event->key() == Qt::Key_Delete || event->key() == Qt::Key_Backspace) {
        event->accept();
        return;
    }
    QListWidget::keyPressEvent(event);
}

void FrameGalleryWidget::imageBrowserSelectionDidChange() {
    if (m_reloading)
        return;
    const QList<QListWidgetItem*> items = selectedItems();
    if (items.isEmpty())
        return;
    m_selected = items.first()->data(Qt::UserRole).toString();
    if (!m_selected.isEmpty())
        emit framePicked(m_selected);
}
