#include "wizards/ui/Invitation_Wizard.h"
#include "wizards/ui/FrameGalleryWidget.h"

#include "common/Globals.h"
#include "common/Prompt.h"
#include "common/StringHelpers.h"
#include "common/ui/UiHelpers.h"
#include "wizards/InvitationState.h"
#include "wizards/MainPhoto.h"
#include "wizards/ui/Insert_Template.h"
#include "wizards/ui/PhotoEditPanel.h"
#include "wizards/ui/Template_Browser.h"

#include <QButtonGroup>
#include <QCheckBox>
#include <QComboBox>
#include <QDateEdit>
#include <QDoubleSpinBox>
#include <QFileDialog>
#include <QFileInfo>
#include <QFormLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QImageReader>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QStackedWidget>
#include <QTimeEdit>
#include <QVBoxLayout>

const QString Invitation_Wizard::DateFormat = QStringLiteral("dddd, d MMMM yyyy");
const QString Invitation_Wizard::TimeFormat = QStringLiteral("h:mm AP");

namespace {

constexpr int FrameThumb = 96;

const char* const PageTitles[] = {"Welcome", "Title and Message", "Main Photo", "Frame",
                                  "Card Size and Shape"};

} // namespace

Invitation_Wizard* Invitation_Wizard::defaultInstance() {
    static Invitation_Wizard* instance = new Invitation_Wizard(mainWindow());
    return instance;
}

Invitation_Wizard::Invitation_Wizard(QWidget* parent) : QDialog(parent) {
    applyDialogBackground(this);
    auto* layout = new QVBoxLayout(this);
    m_heading = new QLabel(this);
    QFont f = m_heading->font();
    f.setPointSizeF(f.pointSizeF() * 1.4);
    f.setBold(true);
    m_heading->setFont(f);
    layout->addWidget(m_heading);
    m_pages = new QStackedWidget(this);
    m_photo = new PhotoEditPanel(this);
    m_pages->addWidget(makeStartPage());
    m_pages->addWidget(makeTextPage());
    m_pages->addWidget(m_photo);
    m_pages->addWidget(makeFramePage());
    m_pages->addWidget(makeCardPage());
    layout->addWidget(m_pages, 1);

    auto* row = new QHBoxLayout;
    m_back = new QPushButton(QStringLiteral("< Back"), this);
    m_next = new QPushButton(QStringLiteral("Next >"), this);
    m_cancel = new QPushButton(QStringLiteral("Cancel"), this);
    m_profile = new QPushButton(QStringLiteral("User Profile..."), this);
    m_profile->setObjectName(QStringLiteral("profile_btn"));
    m_profile->setToolTip(QStringLiteral("Your name, company, address and photo for both sides of the card"));
    m_next->setDefault(true);
    row->addWidget(m_profile);
    row->addStretch(1);
    row->addWidget(m_back);
    row->addWidget(m_next);
    row->addWidget(m_cancel);
    layout->addLayout(row);
    connect(m_back, &QPushButton::clicked, this, &Invitation_Wizard::back);
    connect(m_next, &QPushButton::clicked, this, &Invitation_Wizard::next);
    connect(m_cancel, &QPushButton::clicked, this, &QDialog::reject);
    connect(m_profile, &QPushButton::clicked, this, [this] {
        if (openProfile)
            openProfile();
    });
    resize(760, 560);
    goToPage(StartPage);
}

QWidget* Invitation_Wizard::makeStartPage() {
    auto* page = new QWidget(this);
    auto* layout = new QVBoxLayout(page);
    layout->addWidget(new QLabel(QStringLiteral("What would you like to do?"), page));
    m_newCard = new QRadioButton(QStringLiteral("Create a new card with the wizard"), page);
    m_openDesign = new QRadioButton(QStringLiteral("Open a saved design"), page);
    m_newCard->setChecked(true);
    layout->addWidget(m_newCard);
    layout->addWidget(m_openDesign);
    auto* row = new QHBoxLayout;
    m_designPath = new QLineEdit(page);
    m_designPath->setPlaceholderText(QStringLiteral("Design file (.kvto)"));
    auto* browse = new QPushButton(QStringLiteral("Browse..."), page);
    auto* templates = new QPushButton(QStringLiteral("Templates..."), page);
    row->addSpacing(24);
    row->addWidget(m_designPath, 1);
    row->addWidget(browse);
    row->addWidget(templates);
    layout->addLayout(row);
    layout->addStretch(1);
    connect(browse, &QPushButton::clicked, this, &Invitation_Wizard::browseDesign);
    connect(templates, &QPushButton::clicked, this, &Invitation_Wizard::chooseTemplate);
    connect(m_designPath, &QLineEdit::textEdited, m_openDesign, [this] { m_openDesign->setChecked(true); });
    connect(m_newCard, &QRadioButton::toggled, this, &Invitation_Wizard::updateButtons);
    return page;
}

QWidget* Invitation_Wizard::makeTextPage() {
    auto* page = new QWidget(this);
    auto* form = new QFormLayout(page);
    auto withPicker = [page](QWidget* field, const char* slot, QObject* target) {
        auto* row = new QHBoxLayout;
        auto* pick = new QPushButton(QStringLiteral("Ready-made..."), page);
        row->addWidget(field, 1);
        // An aligned button would let the row grow without bound and push the fields apart; the top of a
        // many-line field is kept by a stretch under the button instead.
        auto* side = new QVBoxLayout;
        side->addWidget(pick);
        if (!qobject_cast<QLineEdit*>(field))
            side->addStretch(1);
        row->addLayout(side);
        QObject::connect(pick, SIGNAL(clicked()), target, slot);
        return row;
    };
    m_title = new QLineEdit(page);
    m_to = new QLineEdit(page);
    m_to->setPlaceholderText(QStringLiteral("Friends and Family"));
    m_toHint = new QLabel(page);
    m_toHint->setEnabled(false); // shown in the muted colour of a hint
    auto showGreeting = [this](const QString& typed) {
        QString name = Trim_Str(typed);
        if (name.isEmpty()) {
            m_toHint->setText(QStringLiteral("\"Dear \" and \",\" are added around the name."));
            return;
        }
        if (name.size() > 40) // the hint stays one line
            name = name.left(39) + QChar(0x2026);
        m_toHint->setText(QStringLiteral("\"Dear \" and \",\" are added: the card reads \"Dear %1,\"").arg(name));
    };
    showGreeting(QString());
    connect(m_to, &QLineEdit::textChanged, m_toHint, showGreeting);
    m_message = new QPlainTextEdit(page);
    m_message->setMinimumHeight(80); // the message takes the page's spare height
    m_useDate = new QCheckBox(page);
    m_date = new QDateEdit(QDate::currentDate(), page);
    m_date->setDisplayFormat(DateFormat);
    m_date->setCalendarPopup(true);
    m_useTime = new QCheckBox(page);
    m_time = new QTimeEdit(QTime(18, 0), page);
    m_time->setDisplayFormat(TimeFormat);
    m_venue = new QPlainTextEdit(page);
    m_venue->setMaximumHeight(60);
    m_from = new QLineEdit(page);
    for (QLineEdit* e : {m_title, m_to, m_from})
        e->setMaxLength(250);
    form->addRow(QStringLiteral("Title:"), withPicker(m_title, SLOT(pickTitle()), this));
    auto* toColumn = new QVBoxLayout;
    toColumn->setSpacing(2);
    toColumn->addWidget(m_to);
    toColumn->addWidget(m_toHint);
    form->addRow(QStringLiteral("To:"), toColumn);
    form->addRow(QStringLiteral("Message:"), withPicker(m_message, SLOT(pickMessage()), this));
    auto* dateRow = new QHBoxLayout;
    dateRow->addWidget(m_useDate);
    dateRow->addWidget(m_date, 1);
    form->addRow(QStringLiteral("Date:"), dateRow);
    auto* timeRow = new QHBoxLayout;
    timeRow->addWidget(m_useTime);
    timeRow->addWidget(m_time, 1);
    form->addRow(QStringLiteral("Time:"), timeRow);
    form->addRow(QStringLiteral("Venue:"), m_venue);
    form->addRow(QStringLiteral("From:"), m_from);
    // Tab leaves the many-line fields as it leaves every other field; Ctrl+Tab types a tab.
    for (QPlainTextEdit* e : {m_message, m_venue}) {
        e->setTabChangesFocus(true);
        e->installEventFilter(this);
    }
    connect(m_useDate, &QCheckBox::toggled, m_date, &QWidget::setEnabled);
    connect(m_useTime, &QCheckBox::toggled, m_time, &QWidget::setEnabled);
    return page;
}

QWidget* Invitation_Wizard::makeFramePage() {
    auto* page = new QWidget(this);
    auto* layout = new QHBoxLayout(page);
    m_frames = new QListWidget(page);
    m_frames->setViewMode(QListView::IconMode);
    m_frames->setIconSize(QSize(FrameThumb, FrameThumb));
    m_frames->setResizeMode(QListView::Adjust);
    m_frames->setMovement(QListView::Static);
    m_frames->setSpacing(6);
    m_framePreview = new QLabel(page);
    m_framePreview->setFixedSize(240, 240);
    m_framePreview->setAlignment(Qt::AlignCenter);
    m_framePreview->setFrameShape(QFrame::StyledPanel);
    layout->addWidget(m_frames, 1);
    layout->addWidget(m_framePreview, 0, Qt::AlignTop);
    connect(m_frames, &QListWidget::currentRowChanged, this, [this] {
        // Made on a worker (a first start has none kept): the wizard shows without waiting for it.
        const QString path = selectedFramePath();
        m_framePreview->setPixmap(QPixmap());
        m_framePreview->setText(path.isEmpty() ? QStringLiteral("No frame") : QString());
        if (!path.isEmpty())
            thumbnailWhenMade(m_framePreview, path, 240, [this, path](const QIcon& icon) {
                if (selectedFramePath() == path)
                    m_framePreview->setPixmap(icon.pixmap(240, 240));
            });
    });
    return page;
}

QWidget* Invitation_Wizard::makeCardPage() {
    auto* page = new QWidget(this);
    auto* layout = new QHBoxLayout(page);
    auto* left = new QVBoxLayout;
    m_category = new QComboBox(page);
    m_category->addItems(cardsize::categories());
    m_sizes = new QListWidget(page);
    left->addWidget(new QLabel(QStringLiteral("Category:"), page));
    left->addWidget(m_category);
    left->addWidget(m_sizes, 1);
    auto* custom = new QFormLayout;
    m_customW = new QDoubleSpinBox(page);
    m_customH = new QDoubleSpinBox(page);
    for (QDoubleSpinBox* s : {m_customW, m_customH}) {
        s->setRange(cardsize::MinCustomMillimetres, cardsize::MaxCustomMillimetres);
        s->setDecimals(1);
        s->setSuffix(QStringLiteral(" mm"));
    }
    m_customW->setValue(177.8);
    m_customH->setValue(127.0);
    custom->addRow(QStringLiteral("Width:"), m_customW);
    custom->addRow(QStringLiteral("Height:"), m_customH);
    left->addLayout(custom);
    layout->addLayout(left, 1);

    auto* right = new QVBoxLayout;
    auto* orient = new QGroupBox(QStringLiteral("Orientation"), page);
    auto* ol = new QVBoxLayout(orient);
    m_landscape = new QRadioButton(QStringLiteral("Landscape"), orient);
    m_portrait = new QRadioButton(QStringLiteral("Portrait"), orient);
    m_landscape->setChecked(true);
    ol->addWidget(m_landscape);
    ol->addWidget(m_portrait);
    right->addWidget(orient);
    auto* shapes = new QGroupBox(QStringLiteral("Shape"), page);
    auto* sl = new QVBoxLayout(shapes);
    m_shape = new QButtonGroup(this);
    const char* names[] = {"Rectangle", "Rounded rectangle", "Ellipse"};
    for (int i = 0; i < 3; ++i) {
        auto* b = new QRadioButton(QString::fromLatin1(names[i]), shapes);
        m_shape->addButton(b, i);
        sl->addWidget(b);
    }
    m_shape->button(0)->setChecked(true);
    right->addWidget(shapes);
    m_sizeLabel = new QLabel(page);
    right->addWidget(m_sizeLabel);
    right->addStretch(1);
    layout->addLayout(right);

    connect(m_category, &QComboBox::currentIndexChanged, this, &Invitation_Wizard::categoryChanged);
    connect(m_sizes, &QListWidget::currentRowChanged, this, &Invitation_Wizard::updateSizeLabel);
    connect(m_customW, &QDoubleSpinBox::valueChanged, this, &Invitation_Wizard::customSizeEdited);
    connect(m_customH, &QDoubleSpinBox::valueChanged, this, &Invitation_Wizard::customSizeEdited);
    connect(m_portrait, &QRadioButton::toggled, this, &Invitation_Wizard::orientationChanged);
    categoryChanged();
    return page;
}

void Invitation_Wizard::categoryChanged() {
    const QString cat = m_category->currentText();
    const bool custom = cat == cardsize::CustomCategory;
    m_sizes->clear();
    for (const CardSizePreset& p : cardsize::presetsOf(cat))
        m_sizes->addItem(p.subCategory);
    if (m_sizes->count() > 0)
        m_sizes->setCurrentRow(0);
    m_sizes->setEnabled(!custom);
    m_customW->setEnabled(custom);
    m_customH->setEnabled(custom);
    updateSizeLabel();
}

CardChoice Invitation_Wizard::cardChoice() const {
    CardChoice c;
    c.category = m_category->currentText();
    c.orientation = m_portrait->isChecked() ? cardsize::Vertical : cardsize::Horizontal;
    const int shape = m_shape->checkedId();
    c.shape = shape == 1 ? QStringLiteral("RR") : shape == 2 ? QStringLiteral("E") : QStringLiteral("R");
    if (c.category == cardsize::CustomCategory) {
        // The fields are the size; the orientation follows them (see customSizeEdited).
        const double w = m_customW->value();
        const double h = m_customH->value();
        c.size = cardsize::customSizeInPoints(w, h).value_or(QSizeF(504, 360));
        c.subCategory = QStringLiteral("%1 x %2 mm").arg(w, 0, 'f', 1).arg(h, 0, 'f', 1);
        c.catIndex = -1;
        return c;
    }
    const QList<CardSizePreset> list = cardsize::presetsOf(c.category);
    const int row = m_sizes->currentRow();
    if (row >= 0 && row < list.size()) {
        c.subCategory = list[row].subCategory;
        c.catIndex = row;
        c.size = cardsize::sizeInPoints(list[row], c.orientation);
    }
    return c;
}

void Invitation_Wizard::customSizeEdited() {
    const double w = m_customW->value();
    const double h = m_customH->value();
    if (w != h) {
        const QSignalBlocker block(m_portrait);
        (h > w ? m_portrait : m_landscape)->setChecked(true);
    }
    updateSizeLabel();
}

void Invitation_Wizard::orientationChanged() {
    if (m_category->currentText() == cardsize::CustomCategory) {
        // Turning the card swaps its sides, so the fields keep naming the card's real width and height.
        const double w = m_customW->value();
        const double h = m_customH->value();
        if ((m_portrait->isChecked() && w > h) || (!m_portrait->isChecked() && h > w)) {
            const QSignalBlocker bw(m_customW), bh(m_customH);
            m_customW->setValue(h);
            m_customH->setValue(w);
        }
    }
    updateSizeLabel();
}

void Invitation_Wizard::updateSizeLabel() {
    const CardChoice c = cardChoice();
    if (c.category != cardsize::CustomCategory) {
        // The size fields show the chosen size, and are where a custom size starts from.
        const QSignalBlocker bw(m_customW), bh(m_customH);
        m_customW->setValue(c.size.width() * cardsize::MillimetresPerPoint);
        m_customH->setValue(c.size.height() * cardsize::MillimetresPerPoint);
    }
    m_sizeLabel->setText(QStringLiteral("%1 x %2 mm\n%3 x %4 in")
                             .arg(c.size.width() * cardsize::MillimetresPerPoint, 0, 'f', 1)
                             .arg(c.size.height() * cardsize::MillimetresPerPoint, 0, 'f', 1)
                             .arg(c.size.width() / cardsize::PointsPerInch, 0, 'f', 2)
                             .arg(c.size.height() / cardsize::PointsPerInch, 0, 'f', 2));
}

void Invitation_Wizard::fillFrames() {
    m_gallery.Load_and_fill_backgrounds(Resource_Path + QStringLiteral("/Frames"));
    m_frames->clear();
    auto* none = new QListWidgetItem(QStringLiteral("No frame"), m_frames);
    none->setData(Qt::UserRole, QString());
    for (const FrameEntry& e : m_gallery.images()) {
        auto* item = new QListWidgetItem(QFileInfo(e.name).completeBaseName(), m_frames);
        item->setData(Qt::UserRole, e.path);
    }
    showThumbnailsWhenMade(m_frames, FrameThumb);
    m_frames->setCurrentRow(m_frames->count() > 1 ? 1 : 0);
}

QString Invitation_Wizard::selectedFramePath() const {
    const QListWidgetItem* item = m_frames->currentItem();
    return item ? item->data(Qt::UserRole).toString() : QString();
}

ItemPicture Invitation_Wizard::photoOriginal() const {
    return m_photo->original();
}

void Invitation_Wizard::resetAnswers() {
    m_mode.clear();
    m_newCard->setChecked(true);
    m_designPath->clear();
    for (QLineEdit* e : {m_title, m_to, m_from})
        e->clear();
    m_message->clear();
    m_venue->clear();
    m_useDate->setChecked(true);
    m_date->setDate(QDate::currentDate());
    m_useTime->setChecked(true);
    m_photo->load(QString(), ItemPicture(), PhotoSettings{});
    fillFrames();
}

int Invitation_Wizard::Open_Wnd() {
    m_photoOnly = false;
    setWindowTitle(QStringLiteral("NAVU Photo Frame - Start"));
    m_profile->setVisible(bool(openProfile));
    resetAnswers();
    goToPage(StartPage);
    return exec();
}

int Invitation_Wizard::Open_Wnd_For_Edit_Photo(MainPhoto& photo) {
    m_photoOnly = true;
    setWindowTitle(QStringLiteral("NAVU Photo Frame - Edit Main Photo"));
    m_profile->setVisible(false);
    m_mode.clear();
    m_photo->load(Invite_Frame_Pic_IMG, photo.original(), currentPhotoSettings());
    goToPage(PhotoPage);
    const int result = exec();
    m_photoOnly = false;
    if (result != 1)
        return result;
    setCurrentPhotoSettings(m_photo->settings());
    Invite_Frame_Pic_IMG = m_photo->path();
    if (m_photo->original().isNull())
        photo.clear();
    else
        photo.setOriginal(m_photo->original());
    return 1;
}

int Invitation_Wizard::currentPage() const {
    return m_pages->currentIndex();
}

void Invitation_Wizard::goToPage(int page) {
    m_pages->setCurrentIndex(qBound(0, page, PageCount - 1));
    m_heading->setText(m_photoOnly ? QStringLiteral("Edit Main Photo")
                                   : QString::fromLatin1(PageTitles[currentPage()]));
    updateButtons();
}

void Invitation_Wizard::updateButtons() {
    const int page = currentPage();
    m_back->setVisible(!m_photoOnly);
    m_back->setEnabled(page > StartPage);
    const bool last = m_photoOnly || page == CardPage || (page == StartPage && m_openDesign->isChecked());
    m_next->setText(m_photoOnly                                      ? QStringLiteral("OK")
                    : page == StartPage && m_openDesign->isChecked() ? QStringLiteral("Open")
                    : last                                           ? QStringLiteral("Finish")
                                                                     : QStringLiteral("Next >"));
}

bool Invitation_Wizard::next() {
    if (m_photoOnly) {
        done(1);
        return true;
    }
    const int page = currentPage();
    if (page == StartPage && m_openDesign->isChecked())
        return openSavedDesign(Trim_Str(m_designPath->text()));
    if (page == CardPage)
        return finishNewCard();
    goToPage(page + 1);
    return true;
}

void Invitation_Wizard::back() {
    if (currentPage() > StartPage)
        goToPage(currentPage() - 1);
}

bool Invitation_Wizard::finishNewCard() {
    Invite_Title = Trim_Str(m_title->text());
    Invite_To = Trim_Str(m_to->text());
    Invite_Message = Trim_Str(m_message->toPlainText());
    Invite_Date = m_useDate->isChecked() ? m_date->date().toString(DateFormat) : QString();
    Invite_Time = m_useTime->isChecked() ? m_time->time().toString(TimeFormat) : QString();
    Invite_Venue = Trim_Str(m_venue->toPlainText());
    Invite_From = Trim_Str(m_from->text());
    Invite_Frame_Pic_IMG = m_photo->path();
    Invite_Frame_IMG = selectedFramePath();
    setCurrentPhotoSettings(m_photo->settings());
    m_mode = QStringLiteral("W");
    done(1);
    return true;
}

bool Invitation_Wizard::openSavedDesign(const QString& path, bool asTemplate) {
    if (path.isEmpty() || !QFileInfo(path).isFile()) {
        Show_MessageBox(QStringLiteral("Please select valid file path."));
        return false;
    }
    if (!openDesign || !openDesign(path, asTemplate))
        return false; // the loader has said why; the wizard stays open
    m_mode = QStringLiteral("L");
    done(1);
    return true;
}

bool Invitation_Wizard::hasAnswers() const {
    for (const QLineEdit* e : {m_title, m_to, m_from, m_designPath})
        if (!Trim_Str(e->text()).isEmpty())
            return true;
    for (const QPlainTextEdit* e : {m_message, m_venue})
        if (!Trim_Str(e->toPlainText()).isEmpty())
            return true;
    return !m_photo->path().isEmpty();
}

void Invitation_Wizard::reject() {
    // Ending the start wizard ends the program: typed answers are not thrown away without asking.
    if (!m_photoOnly && isVisible() && hasAnswers() &&
        !Show_YES_NO_MessageBox(QStringLiteral("Quit NAVU Photo Frame?")))
        return;
    QDialog::reject();
}

bool Invitation_Wizard::eventFilter(QObject* watched, QEvent* event) {
    auto* edit = qobject_cast<QPlainTextEdit*>(watched);
    if (edit && (event->type() == QEvent::KeyPress || event->type() == QEvent::ShortcutOverride)) {
        const auto* key = static_cast<QKeyEvent*>(event);
        if (key->key() == Qt::Key_Tab && (key->modifiers() & Qt::ControlModifier) &&
            !(key->modifiers() & (Qt::AltModifier | Qt::ShiftModifier))) {
            if (event->type() == QEvent::KeyPress)
                edit->insertPlainText(QStringLiteral("\t"));
            event->accept(); // also keeps any Ctrl+Tab shortcut from taking the key
            return true;
        }
    }
    return QDialog::eventFilter(watched, event);
}

void Invitation_Wizard::pickTitle() {
    Insert_Template* picker = Insert_Template::defaultInstance();
    picker->title_or_msg = QStringLiteral("T");
    if (picker->Open_Template_Dialog() == 1)
        m_title->setText(Template_Msg_Val);
}

void Invitation_Wizard::pickMessage() {
    Insert_Template* picker = Insert_Template::defaultInstance();
    picker->title_or_msg = QStringLiteral("M");
    if (picker->Open_Template_Dialog() == 1)
        m_message->setPlainText(Template_Msg_Val);
}

void Invitation_Wizard::browseDesign() {
    const QString path = rememberDialogPath(QFileDialog::getOpenFileName(
        this, QStringLiteral("Open Design"), dialogStartPath(), QStringLiteral("NAVU designs (*.kvto)")));
    if (path.isEmpty())
        return;
    m_designPath->setText(path);
    m_openDesign->setChecked(true);
}

void Invitation_Wizard::chooseTemplate() {
    Template_Browser* browser = Template_Browser::defaultInstance();
    if (templateActionBegins)
        templateActionBegins();
    // A template opens as a new, untitled design: saving never writes over the template.
    const bool opened = browser->Open_Wnd() == 1 && openSavedDesign(browser->selectedDesignPath(), true);
    if (templateActionEnds)
        templateActionEnds(opened);
}
