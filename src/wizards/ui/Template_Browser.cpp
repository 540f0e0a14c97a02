#include "wizards/ui/Template_Browser.h"
#include "common/PictureReader.h"

#include "common/Prompt.h"
#include "common/ui/UiHelpers.h"
#include "wizards/InvitationState.h"
#include "wizards/ui/Export_Template.h"

#include <QHBoxLayout>
#include <QIcon>
#include <QImageReader>
#include <QListWidget>
#include <QPainter>
#include <QPointer>
#include <QPushButton>
#include <QVBoxLayout>

namespace {

constexpr int ThumbSide = 150;

QIcon previewIcon(const QString& path) {
    const QImage image = pictures::readThumbnail(path, ThumbSide);
    QPixmap pix(ThumbSide, ThumbSide);
    pix.fill(Qt::transparent);
    QPainter p(&pix);
    if (image.isNull()) {
        p.setPen(Qt::gray);
        p.drawRect(QRect(0, 0, ThumbSide - 1, ThumbSide - 1));
        p.drawText(pix.rect(), Qt::AlignCenter, QStringLiteral("No preview"));
    } else {
        p.drawImage((ThumbSide - image.width()) / 2, (ThumbSide - image.height()) / 2, image);
    }
    return QIcon(pix);
}

} // namespace

Template_Browser* Template_Browser::defaultInstance() {
    // Goes with its window; a later call makes a new one.
    static QPointer<Template_Browser> instance;
    if (!instance)
        instance = new Template_Browser(mainWindow());
    return instance;
}

Template_Browser::Template_Browser(QWidget* parent) : QDialog(parent) {
    applyDialogBackground(this);
    setWindowTitle(QStringLiteral("Templates"));
    auto* layout = new QVBoxLayout(this);
    m_list = new QListWidget(this);
    m_list->setViewMode(QListView::IconMode);
    m_list->setIconSize(QSize(ThumbSide, ThumbSide));
    m_list->setResizeMode(QListView::Adjust);
    m_list->setMovement(QListView::Static);
    m_list->setSpacing(8);
    m_list->setWordWrap(true);
    layout->addWidget(m_list, 1);
    auto* row = new QHBoxLayout;
    m_open = new QPushButton(QStringLiteral("Open"), this);
    m_copy = new QPushButton(QStringLiteral("Copy..."), this);
    m_rename = new QPushButton(QStringLiteral("Rename..."), this);
    m_delete = new QPushButton(QStringLiteral("Delete"), this);
    auto* close = new QPushButton(QStringLiteral("Close"), this);
    m_profile = new QPushButton(QStringLiteral("User Profile..."), this);
    m_profile->setObjectName(QStringLiteral("profile_btn"));
    for (QPushButton* b : {m_open, m_copy, m_rename, m_delete})
        row->addWidget(b);
    row->addStretch(1);
    row->addWidget(m_profile);
    row->addWidget(close);
    layout->addLayout(row);
    m_open->setDefault(true);
    connect(m_open, &QPushButton::clicked, this, &Template_Browser::Open_Template_Click);
    connect(m_copy, &QPushButton::clicked, this, &Template_Browser::Copy_Template_Click);
    connect(m_rename, &QPushButton::clicked, this, &Template_Browser::Rename_Template_Click);
    connect(m_delete, &QPushButton::clicked, this, &Template_Browser::Delete_Template_Click);
    connect(close, &QPushButton::clicked, this, &QDialog::reject);
    connect(m_profile, &QPushButton::clicked, this, [this] {
        if (openProfile)
            openProfile();
    });
    connect(m_list, &QListWidget::itemDoubleClicked, this, &Template_Browser::Open_Template_Click);
    connect(m_list, &QListWidget::currentRowChanged, this, &Template_Browser::updateButtons);
    resize(760, 520);
}

int Template_Browser::Open_Wnd() {
    m_store = TemplateStore(); // the resource folder may have changed since the last opening
    m_selectedPath.clear();
    m_profile->setVisible(bool(openProfile));
    Fill_Template_List();
    return exec();
}

void Template_Browser::Fill_Template_List() {
    m_entries = m_store.list();
    m_list->clear();
    for (const TemplateEntry& e : m_entries) {
        auto* item =
            new QListWidgetItem(previewIcon(e.previewPath),
                                e.builtIn ? e.name : e.name + QStringLiteral("\n(my template)"), m_list);
        item->setToolTip(e.designPath);
    }
    if (!m_entries.isEmpty())
        m_list->setCurrentRow(0);
    updateButtons();
}

const TemplateEntry* Template_Browser::current() const {
    const int row = m_list->currentRow();
    return row >= 0 && row < m_entries.size() ? &m_entries[row] : nullptr;
}

void Template_Browser::updateButtons() {
    const TemplateEntry* e = current();
    m_open->setEnabled(e);
    m_copy->setEnabled(e);
    m_rename->setEnabled(e && !e->builtIn);
    m_delete->setEnabled(e && !e->builtIn);
}

bool Template_Browser::Open_Template_Click() {
    const TemplateEntry* e = current();
    if (!e) {
        Show_MessageBox(QStringLiteral("Please select a template."));
        return false;
    }
    m_selectedPath = e->designPath;
    done(1);
    return true;
}

bool Template_Browser::Copy_Template_Click() {
    const TemplateEntry* e = current();
    if (!e)
        return false;
    Export_Template window(m_store, this);
    if (window.runNew(e->name + QStringLiteral(" copy")) != 1)
        return false;
    QString error;
    if (!m_store.copy(*e, export_template_name, &error)) {
        Show_MessageBox(QStringLiteral("The template could not be copied.\n") + error);
        return false;
    }
    Fill_Template_List();
    return true;
}

bool Template_Browser::Rename_Template_Click() {
    const TemplateEntry* e = current();
    if (!e || e->builtIn)
        return false;
    const QString old = e->name;
    Export_Template window(m_store, this);
    if (window.runFor(old) != 1 || export_template_name == old)
        return false;
    QString error;
    if (!m_store.rename(old, export_template_name, &error)) {
        Show_MessageBox(QStringLiteral("The template could not be renamed.\n") + error);
        return false;
    }
    Fill_Template_List();
    return true;
}

bool Template_Browser::Delete_Template_Click() {
    const TemplateEntry* e = current();
    if (!e || e->builtIn)
        return false;
    if (!Show_YES_NO_MessageBox(QStringLiteral("Do you want to delete the template \"%1\"?").arg(e->name)))
        return false;
    QString error;
    if (!m_store.remove(e->name, &error)) {
        Show_MessageBox(QStringLiteral("The template could not be deleted.\n") + error);
        return false;
    }
    Fill_Template_List();
    return true;
}
