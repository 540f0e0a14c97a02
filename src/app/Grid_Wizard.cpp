#include "app/Grid_Wizard.h"

#include <QCheckBox>
#include <QColorDialog>
#include <QDialogButtonBox>
#include <QFormLayout>
#include <QGroupBox>
#include <QLabel>
#include <QPixmap>
#include <QPointer>
#include <QSlider>
#include <QToolButton>
#include <QVBoxLayout>

Grid_Wizard* Grid_Wizard::defaultInstance(QWidget* parent) {
    static QPointer<Grid_Wizard> instance;
    if (!instance)
        instance = new Grid_Wizard(parent);
    return instance;
}

Grid_Wizard::Grid_Wizard(QWidget* parent) : QDialog(parent) {
    setWindowTitle(tr("Grid"));
    Show_hide_grid_chk = new QCheckBox(tr("Show grid"), this);
    Grid_Opt_box = new QGroupBox(tr("Grid options"), this);
    Grid_clr = new QToolButton(Grid_Opt_box);
    Grid_clr->setObjectName(QStringLiteral("Grid_clr"));
    Grid_clr->setIconSize(QSize(40, 16));
    Grid_Space_slidr = new QSlider(Qt::Horizontal, Grid_Opt_box);
    Grid_Space_slidr->setRange(2, 72);
    Grid_Space_slidr->setObjectName(QStringLiteral("Grid_Space_slidr"));
    auto* spacingValue = new QLabel(Grid_Opt_box);
    connect(Grid_Space_slidr, &QSlider::valueChanged, spacingValue,
            [spacingValue](int v) { spacingValue->setText(tr("%1 pt").arg(v)); });

    auto* form = new QFormLayout(Grid_Opt_box);
    form->addRow(tr("Colour:"), Grid_clr);
    auto* spacingRow = new QHBoxLayout;
    spacingRow->addWidget(Grid_Space_slidr, 1);
    spacingRow->addWidget(spacingValue);
    form->addRow(tr("Spacing:"), spacingRow);

    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, this);
    connect(buttons, &QDialogButtonBox::accepted, this, [this] { done(1); });
    connect(buttons, &QDialogButtonBox::rejected, this, [this] { done(0); });

    auto* layout = new QVBoxLayout(this);
    layout->addWidget(Show_hide_grid_chk);
    layout->addWidget(Grid_Opt_box);
    layout->addWidget(buttons);

    connect(Grid_clr, &QToolButton::clicked, this, [this] {
        const QColor chosen = QColorDialog::getColor(_color, this, tr("Grid Colour"));
        if (chosen.isValid()) {
            setGridColor(chosen);
            emit gridColorChanged(chosen);
        }
    });
    setGridColor(Qt::lightGray);
}

void Grid_Wizard::setGridColor(const QColor& color) {
    _color = color;
    QPixmap swatch(Grid_clr->iconSize());
    swatch.fill(color);
    Grid_clr->setIcon(QIcon(swatch));
}

int Grid_Wizard::Open_Wnd() {
    const int code = exec();
    hide();
    return code;
}
