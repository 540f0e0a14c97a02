#pragma once

#include <QDialog>
#include <QString>

class QLabel;
class QListWidget;

// The picture library: "Image Library" (control_or_BG "C") lists the categories, the sub-folders of
// Resource_Path/"LibraryImage", and the pictures of the chosen one; any other mode is the "Frame Library"
// with the pictures of Resource_Path/"Frames" and no categories. A double click or OK chooses a picture.
class Image_Library : public QDialog {
    Q_OBJECT
public:
    explicit Image_Library(QWidget* parent = nullptr);

    static Image_Library* defaultInstance();

    QString control_or_BG = QStringLiteral("C");
    QString selected_image;

    // Fills the lists for the mode, runs the dialog and returns 1 when a picture was chosen.
    int Open_Library_Window();
    // Fills the lists for the current mode without showing the window.
    void loadLists();
    void showCategory(int row);
    QListWidget* categoryList() const { return m_categories; }
    QListWidget* pictureList() const { return m_pictures; }

private:
    void choose();
    QListWidget* m_categories;
    QListWidget* m_pictures;
    QLabel* m_empty;
};
