// The inspector's barcode page: the way to the barcode designer.

#include "app/inspector/InspectorPanel.h"

#include "app/inspector/InspectorPanelParts.h"

#include <QVBoxLayout>

using namespace inspector::parts;

QWidget* InspectorPanel::buildBarcodePage() {
    auto* page = new QWidget;
    auto* v = new QVBoxLayout(page);
    v->addWidget(new QLabel(
        tr("Symbology, value, texts and colours of the barcode are set in the barcode designer.")));
    auto* b = button(QStringLiteral("Edit_Barcode_btn"), tr("Design Barcode…"));
    v->addWidget(b);
    v->addStretch(1);
    qobject_cast<QLabel*>(v->itemAt(0)->widget())->setWordWrap(true);
    connect(b, &QPushButton::clicked, this, [this] { m_host->Open_Barcode_Window(); });
    return page;
}
