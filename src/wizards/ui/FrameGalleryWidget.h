#pragma once

// The frame gallery of the main window: the pictures of "Frames", reorderable by dragging; picking one
// asks for it to become the front side's frame.

#include "wizards/FrameGallery.h"

#include <QListWidget>

#include <functional>

// Gives each entry of the list (its picture's path under Qt::UserRole) its thumbnail, `side` pixels at most:
// at once when made before in this run, else once a worker has made it (a first start makes them all).
void showThumbnailsWhenMade(QListWidget* list, int side);
// Calls done with the thumbnail of the picture at path, `side` pixels at most (a null icon when it cannot be
// read), on the window's thread: at once when made before in this run, else once a worker has made it (one
// at a time, the last asked first), and not at all once receiver is gone.
void thumbnailWhenMade(QObject* receiver, const QString& path, int side, std::function<void(const QIcon&)> done);

class FrameGalleryWidget : public QListWidget {
    Q_OBJECT
public:
    explicit FrameGalleryWidget(QWidget* parent = nullptr);

    // Lists the folder; a missing folder leaves the gallery as it was.
    void Load_and_fill_backgrounds(const QString& folder);
    // Moves entries as the gallery's drag does and shows the new order.
    bool moveItemsAtIndexes(const QList<int>& indexes, int destination);

    // Shows the entry of this path selected (none when no entry has it), without picking it.
    void showFrame(const QString& path);

    const FrameGallery& gallery() const { return m_gallery; }
    QString selected_image() const { return m_selected; }

signals:
    // A frame was picked (its path).
    void framePicked(const QString& path);

protected:
    void dropEvent(QDropEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;

private:
    void reload();
    void imageBrowserSelectionDidChange();

    FrameGallery m_gallery;
    QString m_selected;
    bool m_reloading = false;
    QListWidgetItem* m_pressedSelected = nullptr; // pressed while selected: its click picks it again
};
