#include "app/inspector/Image_Library.h"
#include "common/PictureReader.h"

#include "app/inspector/InspectorLogic.h"
#include "common/Globals.h"
#include "common/Prompt.h"
#include "common/ui/UiHelpers.h"

#include <QDialogButtonBox>
#include <QDir>
#include <QFileInfo>
#include <QHBoxLayout>
#include <QImageReader>
#include <QLabel>
#include <QListWidget>
#include <QPointer>
#include <QPushButton>
#include <QVBoxLayout>

namespace {
constexpr int ThumbSide = 96;

QIcon thumbnail(const QString& path) {
    const QImage image = pictures::readThumbnail(path, ThumbSide);
    if (image.isNull())
        return {};
    return QIcon(QPixmap::fromImage(image));
}
} // namespace

Image_Library::Image_Library(QWidget* parent) : QDialog(parent) {
    setObjectName(QStringLiteral("Image_Library"));
    applyDialogBackground(this);
    resize(640, 460);
    auto* v = new QVBoxLayout(this);
    auto* h = new QHBoxLayout;
    m_categories = new QListWidget;
    m_categories->setObjectName(QStringLiteral("category_list"));
    m_categories->setMaximumWidth(170);
    m_pictures = new QListWidget;
    m_pictures->setObjectName(QStringLiteral("image_browser"));
    m_pictures->setViewMode(QListView::IconMode);
    m_pictures->setIconSize(QSize(ThumbSide, ThumbSide));
    m_pictures->setGridSize(QSize(ThumbSide + 24, ThumbSide + 30));
    m_pictures->setResizeMode(QListView::Adjust);
    m_pictures->setMovement(QListView::Static);
    m_pictures->setWordWrap(true);
    h->addWidget(m_categories);
    h->addWidget(m_pictures, 1);
    v->addLayout(h, 1);
    m_empty = new QLabel;
    m_empty->setVisible(false);
    v->addWidget(m_empty);
    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel);
    v->addWidget(buttons);
    connect(buttons, &QDialogButtonBox::accepted, this, &Image_Library::choose);
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
    connect(m_categories, &QListWidget::currentRowChanged, this, &Image_Library::showCategory);
    connect(m_pictures, &QListWidget::itemDoubleClicked, this, &Image_Library::choose);
}

Image_Library* Image_Library::defaultInstance() {
    static QPointer<Image_Library> instance;
    if (!instance)
        instance = new Image_Library(mainWindow());
    return instance;
}

void Image_Library::loadLists() {
    const bool library = control_or_BG == QLatin1String("C");
    setWindowTitle(library ? QStringLiteral("Image Library") : QStringLiteral("Frame Library"));
    m_categories->clear();
    m_pictures->clear();
    m_categories->setVisible(library);
    if (library) {
        const QString root = QDir(Resource_Path).filePath(inspector::LibraryFolderName);
        m_categories->addItems(inspector::libraryCategories(Resource_Path.isEmpty() ? QString() : root));
        if (m_categories->count() > 0)
            m_categories->setCurrentRow(0);
        else
            showCategory(-1);
    } else {
        showCategory(-1);
    }
}

void Image_Library::showCategory(int row) {
    m_pictures->clear();
    QString folder;
    if (Resource_Path.isEmpty()) {
        folder.clear();
    } else if (control_or_BG == QLatin1String("C")) {
        if (row >= 0 && row < m_categories->count())
            folder = QDir(QDir(Resource_Path).filePath(inspector::LibraryFolderName))
                         .filePath(m_categories->item(row)->text());
    } else {
        folder = QDir(Resource_Path).filePath(inspector::FramesFolderName);
    }
    const QStringList pictures = inspector::libraryPictures(folder);
    for (const QString& path : pictures) {
        auto* item = new QListWidgetItem(thumbnail(path), QFileInfo(path).completeBaseName());
        item->setData(Qt::UserRole, path);
        item->setToolTip(path);
        m_pictures->addItem(item);
    }
    m_empty->setText(tr("No pictures here."));
    m_empty->setVisible(pictures.isEmpty());
    if (!pictures.isEmpty())
        m_pictures->setCurrentRow(0);
}

void Image_Library::choose() {
    const QListWidgetItem* item = m_pictures->currentItem();
    if (!item) {
        Show_MessageBox(tr("Please select a picture."));
        return;
    }
    selected_image = item->data(Qt::UserRole).toString();
    done(1);
}

int Image_Library::Open_Library_Window() {
    selected_image.clear();
    loadLists();
    const int code = exec();
    hide();
    return code == 1 && !selected_image.isEmpty() ? 1 : 0;
}
