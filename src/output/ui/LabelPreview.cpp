#include "output/ui/LabelPreview.h"

#include "common/ui/UiHelpers.h"

#include <QDialogButtonBox>
#include <QHBoxLayout>
#include <QKeySequence>
#include <QLabel>
#include <QPrintPreviewWidget>
#include <QPrinter>
#include <QPushButton>
#include <QShortcut>
#include <QToolButton>
#include <QVBoxLayout>

LabelPreview::LabelPreview(QPrinter& printer, std::function<void(QPrinter&)> paint, QWidget* parent)
    : QDialog(parent) {
    setWindowTitle(tr("Label Preview"));
    applyDialogBackground(this);
    view = new QPrintPreviewWidget(&printer, this);
    connect(view, &QPrintPreviewWidget::paintRequested, this, [paint](QPrinter* p) {
        if (p && paint)
            paint(*p);
    });

    auto tool = [this](const QString& text, const QString& tip, auto slot) {
        auto* b = new QToolButton(this);
        b->setText(text);
        b->setToolTip(tip);
        connect(b, &QToolButton::clicked, this, slot);
        return b;
    };
    _pageLabel = new QLabel(this);
    auto* bar = new QHBoxLayout;
    bar->addWidget(tool(tr("Fit Width"), tr("Fit the sheet's width"), [this] { view->fitToWidth(); }));
    bar->addWidget(tool(tr("Whole Sheet"), tr("Show the whole sheet"), [this] { view->fitInView(); }));
    bar->addWidget(tool(QStringLiteral("−"), tr("Zoom Out"), [this] { view->zoomOut(); }));
    bar->addWidget(tool(QStringLiteral("+"), tr("Zoom In"), [this] { view->zoomIn(); }));
    bar->addSpacing(16);
    bar->addWidget(tool(QStringLiteral("◀"), tr("Previous Sheet"),
                        [this] { view->setCurrentPage(view->currentPage() - 1); }));
    bar->addWidget(_pageLabel);
    bar->addWidget(tool(QStringLiteral("▶"), tr("Next Sheet"),
                        [this] { view->setCurrentPage(view->currentPage() + 1); }));
    bar->addStretch();

    printButton = new QPushButton(tr("Print..."), this);
    auto* buttons = new QDialogButtonBox(this);
    buttons->addButton(printButton, QDialogButtonBox::AcceptRole);
    buttons->addButton(QDialogButtonBox::Close);
    connect(printButton, &QPushButton::clicked, this, [this] { done(PrintRequested); });
    connect(buttons, &QDialogButtonBox::rejected, this, [this] { done(Closed); });
    auto* zoomIn = new QShortcut(QKeySequence::ZoomIn, this);
    connect(zoomIn, &QShortcut::activated, this, [this] { view->zoomIn(); });
    auto* zoomOut = new QShortcut(QKeySequence::ZoomOut, this);
    connect(zoomOut, &QShortcut::activated, this, [this] { view->zoomOut(); });

    auto* v = new QVBoxLayout(this);
    v->addLayout(bar);
    v->addWidget(view, 1);
    v->addWidget(buttons);
    connect(view, &QPrintPreviewWidget::previewChanged, this, [this] { updatePageLabel(); });
    resize(900, 700);
}

void LabelPreview::updatePageLabel() {
    _pageLabel->setText(tr("Sheet %1 of %2").arg(view->currentPage()).arg(view->pageCount()));
}
