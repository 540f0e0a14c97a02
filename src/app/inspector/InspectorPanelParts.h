#pragma once

// What the inspector's page sources share: the control makers, the signal blocker used while values load,
// the card-edit undo scope and the write-back of an edit into the selected items.

#include "app/inspector/InspectorHost.h"
#include "app/inspector/InspectorPanel.h"
#include "common/Globals.h"

#include <QAbstractSpinBox>
#include <QButtonGroup>
#include <QCheckBox>
#include <QComboBox>
#include <QDoubleSpinBox>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QSignalBlocker>
#include <QSlider>
#include <QSpinBox>
#include <QTabBar>
#include <QTableWidget>

#include <algorithm>
#include <functional>
#include <initializer_list>
#include <vector>

namespace inspector::parts {

// A spin box whose arrow steps are told apart from typing (the size steppers apply at once when stepped).
class StepSpinBox : public QDoubleSpinBox {
public:
    using QDoubleSpinBox::QDoubleSpinBox;
    std::function<void()> onStep;
    void stepBy(int steps) override {
        QDoubleSpinBox::stepBy(steps);
        if (onStep)
            onStep();
    }
};

// The spin box is the stepper; its text field carries the name of the field beside it.
inline void nameTextField(QAbstractSpinBox* spin, const QString& textName) {
    if (QLineEdit* edit = spin->findChild<QLineEdit*>())
        edit->setObjectName(textName);
}

inline QSpinBox* intStepper(const QString& name, const QString& textName, int min, int max) {
    auto* s = new QSpinBox;
    s->setObjectName(name);
    s->setRange(min, max);
    s->setKeyboardTracking(false);
    nameTextField(s, textName);
    return s;
}

inline QDoubleSpinBox* realStepper(const QString& name, const QString& textName, double min, double max,
                            int decimals, double step, const QString& suffix = {}) {
    auto* s = new QDoubleSpinBox;
    s->setObjectName(name);
    s->setRange(min, max);
    s->setDecimals(decimals);
    s->setSingleStep(step);
    s->setSuffix(suffix);
    s->setKeyboardTracking(false);
    nameTextField(s, textName);
    return s;
}

inline QComboBox* combo(const QString& name, const QStringList& items) {
    auto* c = new QComboBox;
    c->setObjectName(name);
    c->addItems(items);
    return c;
}

inline QComboBox* dashCombo(const QString& name) {
    return combo(name, {QObject::tr("Solid"), QObject::tr("Dashed"), QObject::tr("Dotted"),
                        QObject::tr("Dash Dot"), QObject::tr("Dash Dot Dot")});
}

inline QCheckBox* check(const QString& name, const QString& text) {
    auto* c = new QCheckBox(text);
    c->setObjectName(name);
    return c;
}

inline QRadioButton* radio(const QString& name, const QString& text) {
    auto* r = new QRadioButton(text);
    r->setObjectName(name);
    return r;
}

inline QLabel* label(const QString& name, const QString& text = {}) {
    auto* l = new QLabel(text);
    l->setObjectName(name);
    return l;
}

inline QGroupBox* box(const QString& name, const QString& title = {}) {
    auto* b = new QGroupBox(title);
    b->setObjectName(name);
    return b;
}

inline QPushButton* button(const QString& name, const QString& text) {
    auto* b = new QPushButton(text);
    b->setObjectName(name);
    return b;
}

inline QWidget* row(std::initializer_list<QWidget*> widgets) {
    auto* w = new QWidget;
    auto* l = new QHBoxLayout(w);
    l->setContentsMargins(0, 0, 0, 0);
    for (QWidget* x : widgets)
        l->addWidget(x);
    l->addStretch(1);
    return w;
}

// Blocks the signals of every control of the panel while values are loaded into them.
class PanelSignalBlocker {
public:
    // Only the panel's own controls: Qt's inner parts (the tab view's stack, a spin box's editor) talk to
    // their owners through signals and must keep doing so.
    explicit PanelSignalBlocker(QWidget* root) {
        const auto widgets = root->findChildren<QWidget*>();
        for (QWidget* w : widgets) {
            QWidget* parent = w->parentWidget();
            if (qobject_cast<QAbstractSpinBox*>(parent) || qobject_cast<QTabBar*>(parent) ||
                qobject_cast<QComboBox*>(parent))
                continue;
            if (qobject_cast<QAbstractButton*>(w) || qobject_cast<QComboBox*>(w) ||
                qobject_cast<QAbstractSpinBox*>(w) || qobject_cast<QSlider*>(w) ||
                qobject_cast<QPlainTextEdit*>(w) || qobject_cast<QLineEdit*>(w) ||
                qobject_cast<QTableWidget*>(w))
                m_blockers.emplace_back(w);
        }
        const auto groups = root->findChildren<QButtonGroup*>();
        for (QButtonGroup* g : groups)
            m_blockers.emplace_back(g);
    }

private:
    std::vector<QSignalBlocker> m_blockers;
};

// Makes the card-side edits inside one scope one undo step.
class CardEditScope {
public:
    CardEditScope(InspectorHost* host, QString text, QString key = {})
        : m_host(host), m_text(std::move(text)), m_key(std::move(key)) {
        m_host->beginCardEdit();
    }
    ~CardEditScope() { m_host->endCardEdit(m_text, m_key); }
    CardEditScope(const CardEditScope&) = delete;
    CardEditScope& operator=(const CardEditScope&) = delete;

private:
    InspectorHost* m_host;
    QString m_text;
    QString m_key;
};

} // namespace inspector::parts

template <class F> void InspectorPanel::writeSelection(F&& apply) {
    if (Not_Draw_Only_Prop_Change)
        return;
    const GraphicList selection = writtenSelection();
    if (selection.isEmpty())
        return;
    GraphicList before;
    for (const GraphicPtr& g : selection)
        before << (g ? inspector::copyOfItem(*g) : nullptr);
    for (const GraphicPtr& g : selection) {
        if (!g)
            continue;
        // The panel as it was shown and as it is now, each written into a copy of this item: the fields
        // that differ are the change, and only they reach the item.
        const GraphicPtr was = inspector::copyOfItem(*g);
        const GraphicPtr now = inspector::copyOfItem(*g);
        apply(*was, selection.size(), true);
        apply(*now, selection.size(), false);
        inspector::copyChangedPanelFields(*g, *was, *now);
        m_host->startEditingGraphic(g);
    }
    recordItemEdit(selection, before);
    m_host->Refresh_Canvas();
}
