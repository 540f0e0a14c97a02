#pragma once

// The frame gallery of the main window: the pictures of "Frames", reorderable by dragging; picking one
// asks for it to become the front side's frame.

#include "wizards/FrameGallery.h"

#include <QHash>
#include <QIcon>
#include <QListWidget>

class FrameGalleryWidget : public QListWidget {
    Q_OBJECT
public:
    explicit FrameGalleryWidget(QWidget* parent = nullptr);

    // Lists the folder; a missing folder leaves the gallery as it was.
    void Load_and_fill_backgrounds(const QString& folder);
    // Moves entries as the gallery's drag does and shows the new order.
    bool moveItemsAtIndexes(const QList<int>& indexes, int destination);

    const FrameGallery& gallery() const { return m_gallery; }
    QString selected_image() const { return m_selected; }

signals:
    // A frame was picked (its path).
    void framePicked(const QString& path);

protected:
    void dropEvent(QDropEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;

private:
    void reload();
    void imageBrowserSelectionDidChange();
    // Thumbnails are made on a worker (a first start makes them all); each entry shows its own once made.
    void requestThumbnail(const QString& path);
    void showThumbnail(const QString& path, const QImage& image);

    FrameGallery m_gallery;
    QString m_selected;
    bool m_reloading = false;
    QHash<QString, QIcon> m_icons; // made or being made (a null icon), by path
};
