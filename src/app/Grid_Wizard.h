#pragma once

// The grid dialog: shown flag, colour and spacing of the canvases' grid. Its controls act at once through
// the main window's actions; OK and Cancel only close it (nothing is undone on Cancel).

#include <QColor>
#include <QDialog>

class QCheckBox;
class QGroupBox;
class QSlider;
class QToolButton;

class Grid_Wizard : public QDialog {
    Q_OBJECT
public:
    static Grid_Wizard* defaultInstance(QWidget* parent = nullptr);
    explicit Grid_Wizard(QWidget* parent = nullptr);

    // Runs the dialog modally: 1 for OK, 0 for Cancel.
    int Open_Wnd();

    QColor gridColor() const { return _color; }
    void setGridColor(const QColor& color);

    QCheckBox* Show_hide_grid_chk;
    QGroupBox* Grid_Opt_box;
    QToolButton* Grid_clr; // colour well
    QSlider* Grid_Space_slidr;

signals:
    void gridColorChanged(const QColor& color);

private:
    QColor _color;
};
