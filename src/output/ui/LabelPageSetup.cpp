#include "output/ui/LabelPageSetup.h"

#include "common/ui/UiHelpers.h"
#include "output/LabelLayout.h"

#include <QButtonGroup>
#include <QComboBox>
#include <QDialogButtonBox>
#include <QDoubleSpinBox>
#include <QFormLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QPrinter>
#include <QPrinterInfo>
#include <QRadioButton>
#include <QSignalBlocker>

namespace {

constexpr int CustomEntry = -1;

QString sizeText(const QPageSize& size) {
    const QSizeF mm = size.size(QPageSize::Millimeter);
    return QStringLiteral("%1 (%2 x %3 mm)")
        .arg(size.name())
        .arg(mm.width(), 0, 'f', 1)
        .arg(mm.height(), 0, 'f', 1);
}

} // namespace

QMarginsF LabelPageSetup::printerMargins(const QString& name, const QPageLayout& page) {
    if (name.isEmpty())
        return QMarginsF();
    const QPrinterInfo info = QPrinterInfo::printerInfo(name);
    if (info.isNull())
        return QMarginsF();
    QPrinter printer(info, QPrinter::HighResolution);
    printer.setPageSize(page.pageSize());
    printer.setPageOrientation(page.orientation());
    QPageLayout pl = printer.pageLayout();
    pl.setMargins(pl.minimumMargins());
    const QRectF full = pl.fullRect(QPageLayout::Point), paint = pl.paintRect(QPageLayout::Point);
    return QMarginsF(paint.left() - full.left(), paint.top() - full.top(), full.right() - paint.right(),
                     full.bottom() - paint.bottom());
}

LabelPageSetup::LabelPageSetup(const QString& printer, const QPageLayout& current, QWidget* parent)
    : QDialog(parent), _printer(printer) {
    setWindowTitle(tr("Page Setup"));
    applyDialogBackground(this);

    paperCombo = new QComboBox(this);
    QList<QPageSize>& sizes = _sizes;
    bool custom = printer.isEmpty();
    QSizeF minMm(10, 10), maxMm(2000, 2000);
    if (printer.isEmpty()) {
        for (QPageSize::PageSizeId id :
             {QPageSize::A3, QPageSize::A4, QPageSize::A5, QPageSize::A6, QPageSize::B4, QPageSize::B5,
              QPageSize::Letter, QPageSize::Legal, QPageSize::Executive, QPageSize::Tabloid,
              QPageSize::EnvelopeC5, QPageSize::EnvelopeDL, QPageSize::Envelope10})
            sizes << QPageSize(id);
    } else {
        const QPrinterInfo info = QPrinterInfo::printerInfo(printer);
        sizes = info.supportedPageSizes();
        custom = info.supportsCustomPageSizes();
        if (custom) {
            minMm = info.minimumPhysicalPageSize().size(QPageSize::Millimeter);
            maxMm = info.maximumPhysicalPageSize().size(QPageSize::Millimeter);
        }
    }
    int selected = -1;
    for (int i = 0; i < sizes.size(); ++i) {
        paperCombo->addItem(sizeText(sizes[i]), i);
        if (selected < 0 && sizes[i].isEquivalentTo(current.pageSize()))
            selected = i;
    }
    // The paper in use stays offered even when the printer does not list it.
    if (selected < 0 && current.pageSize().isValid() && current.pageSize().id() != QPageSize::Custom) {
        sizes << current.pageSize();
        paperCombo->insertItem(0, sizeText(current.pageSize()), int(sizes.size() - 1));
        selected = 0;
    }
    if (custom)
        paperCombo->addItem(tr("Custom"), CustomEntry);

    const QSizeF curMm = current.pageSize().size(QPageSize::Millimeter);
    auto mmBox = [this](double min, double max, double value) {
        auto* b = new QDoubleSpinBox(this);
        b->setDecimals(1);
        b->setRange(qMax(1.0, min), qMax(min, max));
        b->setSuffix(QStringLiteral(" mm"));
        b->setValue(value);
        return b;
    };
    customWidth = mmBox(minMm.width(), maxMm.width(), curMm.width());
    customHeight = mmBox(minMm.height(), maxMm.height(), curMm.height());
    if (selected >= 0)
        paperCombo->setCurrentIndex(selected);
    else if (custom)
        paperCombo->setCurrentIndex(paperCombo->count() - 1);

    portrait = new QRadioButton(tr("Portrait"), this);
    landscape = new QRadioButton(tr("Landscape"), this);
    (current.orientation() == QPageLayout::Landscape ? landscape : portrait)->setChecked(true);
    auto* orientation = new QHBoxLayout;
    orientation->addWidget(portrait);
    orientation->addWidget(landscape);
    orientation->addStretch();
    auto* customRow = new QHBoxLayout;
    customRow->addWidget(customWidth);
    customRow->addWidget(new QLabel(QStringLiteral("x"), this));
    customRow->addWidget(customHeight);
    customRow->addStretch();
    marginsLabel = new QLabel(this);

    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, this);
    auto* form = new QFormLayout(this);
    form->addRow(tr("Paper:"), paperCombo);
    form->addRow(tr("Size:"), customRow);
    form->addRow(tr("Orientation:"), orientation);
    form->addRow(tr("Unprintable margins:"), marginsLabel);
    form->addRow(buttons);

    connect(paperCombo, &QComboBox::currentIndexChanged, this, [this] { updateFields(); });
    connect(portrait, &QRadioButton::toggled, this, [this] { updateFields(); });
    connect(customWidth, &QDoubleSpinBox::valueChanged, this, [this] { updateFields(); });
    connect(customHeight, &QDoubleSpinBox::valueChanged, this, [this] { updateFields(); });
    connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
    updateFields();
}

QPageSize LabelPageSetup::chosenSize() const {
    const int entry = paperCombo->currentData().toInt();
    if (entry >= 0 && entry < _sizes.size())
        return _sizes[entry];
    return QPageSize(QSizeF(customWidth->value(), customHeight->value()), QPageSize::Millimeter, QString(),
                     QPageSize::ExactMatch);
}

QPageLayout LabelPageSetup::pageLayout() const {
    return QPageLayout(chosenSize(), landscape->isChecked() ? QPageLayout::Landscape : QPageLayout::Portrait,
                       QMarginsF());
}

void LabelPageSetup::updateFields() {
    const bool custom = paperCombo->currentData().toInt() == CustomEntry;
    customWidth->setEnabled(custom);
    customHeight->setEnabled(custom);
    if (!custom) {
        const QSizeF mm = chosenSize().size(QPageSize::Millimeter);
        const QSignalBlocker w(customWidth), h(customHeight);
        customWidth->setValue(mm.width());
        customHeight->setValue(mm.height());
    }
    const QMarginsF m = printerMargins(_printer, pageLayout());
    auto mm = [](qreal points) { return QString::asprintf("%0.2f", double(Points_to_MM_Convert(points))); };
    marginsLabel->setText(tr("left %1, right %2, top %3, bottom %4 mm")
                              .arg(mm(m.left()), mm(m.right()), mm(m.top()), mm(m.bottom())));
}
