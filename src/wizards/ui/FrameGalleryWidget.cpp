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
// Thumbnails made (or found unreadable: a null icon) in this run, by path and side, and the calls waiting
// for those being made; used on the window's thread only.
struct Thumbnails {
    QHash<QPair<QString, int>, QIcon> made;
    QHash<QPair<QString, int>, QList<std::pair<QPointer<QObject>, std::function<void(const QIcon&)>>>> waiting;
};
Thumbnails& thumbnails() {
    static Thumbnails t;
    return t;
}
} // namespace

void thumbnailWhenMade(QObject* receiver, const QString& path, int side, std::function<void(const QIcon&)> done) {
    const auto key = qMakePair(path, side);
    Thumbnails& t = thumbnails();
    if (const auto it = t.made.constFind(key); it != t.made.constEnd()) {
        done(*it);
        return;
    }
    const bool started = t.waiting.contains(key);
    t.waiting[key].append({QPointer<QObject>(receiver), std::move(done)});
    if (started)
        return;
    QThreadPool::globalInstance()->start([path, side, key] {
        const QImage image = pictures::keptThumbnail(path, side);
        if (QCoreApplication* app = QCoreApplication::instance())
            QMetaObject::invokeMethod(
                app,
                [image, key] {
                    const QIcon icon = image.isNull() ? QIcon() : QIcon(QPixmap::fromImage(image));
                    Thumbnails& t = thumbnails();
                    t.made.insert(key, icon);
                    for (const auto& [who, done] : t.waiting.take(key))
                        if (who)
                            done(icon);
                },
                Qt::QueuedConnection);
    });
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
