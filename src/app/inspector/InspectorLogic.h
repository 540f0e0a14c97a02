#pragma once

// The inspector's decisions and conversions, without widgets: which tabs an item gets, how panel values
// become item fields and card settings, text limits, picture library listing and the data-source look-ups.
// The panels read their controls into the value records below and hand them to these functions.

#include "canvas/Card_Property.h"
#include "canvas/SKTGraphic.h"

#include <QColor>
#include <QDateTime>
#include <QFont>
#include <QHash>
#include <QRectF>
#include <QString>
#include <QStringList>
#include "canvas/SideUndoCommand.h"

#include <functional>
#include <optional>

namespace inspector {

// The fifteen pages of the tab view, in their layout order.
const QStringList& allTabNames();
// The five card pages and the ten item pages.
inline constexpr int CardTabCount = 5;

// --- conversions ---

// Border-style index 0 "S", 1 "DA", 2 "DO", 3 "DD", 4 "DDD"; any other index keeps current.
QString dashCodeForIndex(int index, const QString& current);
// The index of a dash code; -1 for a code outside the five.
int dashIndexForCode(const QString& code);
// Panels show percent, items and records hold fractions 0..1.
inline double percentToFraction(double percent) {
    return percent / 100.0;
}
inline double fractionToPercent(double fraction) {
    return fraction * 100.0;
}
// Panels show millimetres, geometry is in points.
double millimetresToPoints(double mm);
double pointsToMillimetres(double points);
// Stroke widths are shown as integers, truncated toward zero.
int truncatedWidth(double width);
// "%@ ( %0.2f )": the font's family and its point size.
QString fontLabel(const QFont& font);
// A combo-box index for an item field: keeps current when nothing is selected or the index is out of range.
int indexOrCurrent(int index, int count, int current);

// --- tab sets ---

struct TabPlan {
    QStringList tabs;               // in order; the alignment tab, when due, is last
    QHash<QString, QString> labels; // tab name -> label
    QString dataSourceTitle;        // data_source_title, when the data-source tab is shown
    QString shapeTitle;             // Shape_prop_title, for an unlocked shape with a known code
    QString selControlName;         // "T", "I", "S", "F", "NONE"; empty: leave as it was (card)
    bool cornerRadiusShown = false;
    bool doubleStarShown = false;
    bool polygonShown = false;
    std::optional<bool> manualBrowseShown; // manual_brws_box
    bool insertTemplateShown = false;
    QString insertTemplateTitle;
};

// The card side: its settings and its background.
TabPlan tabPlanForCard();
// One item, by kind and lock state.
TabPlan tabPlanForItem(const SKTGraphic& item);
// Tab label of a shape code; empty for a code outside the table.
QString shapeLabel(const QString& code);

// --- write-back of the item panels ---

// How panel values are written. Edit: as the panel writes them, a colour or width only while its box is
// ticked and the fill style only with fill on. Baseline: the panel as shown before a change, with those
// values written whatever the boxes, so that ticking a box changes the box's own field alone when the
// two are compared (each selected item keeps its own colour, width and style).
enum class PanelWrite { Edit, Baseline };

struct StrokePanel {
    bool on = true;
    QColor color = Qt::black;
    int width = 1;
    int dashIndex = 0;
};

struct ShapePanelValues {
    int printObject = 0;
    StrokePanel stroke;
    bool fillOn = false;
    QColor fillColor = Qt::white;
    bool gradientRadio = false;
    bool hatchRadio = false;
    QColor grad1 = Qt::white;
    QColor grad2 = Qt::black;
    double gradAngle = 0;
    QColor hatchColor = Qt::white;
    QString hatchName;
    double alphaPercent = 100;
    double cornerRadius = 10;
    int doubleStar = 1;
    int polygon = 1;
};
void applyShapePanel(SKTGraphic& item, const ShapePanelValues& v, PanelWrite mode = PanelWrite::Edit);

struct LinePanelValues {
    int printObject = 0;
    QColor color = Qt::black;
    int width = 1;
    int dashIndex = 0;
    int capIndex = 0; // -1: none selected, written as 0
    int oriIndex = 0; // -1: none selected, written as 0
    double alphaPercent = 100;
};
void applyLinePanel(SKTGraphic& item, const LinePanelValues& v);

struct TextPanelValues {
    int printObject = 0;
    StrokePanel stroke;
    bool fillOn = false;
    QColor fillColor = Qt::white;
    bool gradientRadio = false;
    QColor grad1 = Qt::white;
    QColor grad2 = Qt::black;
    double gradAngle = 0;
    QColor textColor = Qt::black;
    QFont font;
    std::optional<QString> text; // only when exactly one item is selected
    double alphaPercent = 100;
    int vertAlignIndex = 0; // -1: none selected
    int alignIndex = 0;
    int caseIndex = 0;
    double kerning = 0;
    bool shadow = false;
    int rotation = 0;
    QColor shadowColor = Qt::black;
    double shadowX = 2, shadowY = 2, shadowBlur = 2;
    double shadowTranspPercent = 50;
};
// The combo lists of the text panel have these many entries.
inline constexpr int VertAlignCount = 3;
inline constexpr int AlignCount = 4;
inline constexpr int CaseCount = 4;
void applyTextPanel(SKTGraphic& item, const TextPanelValues& v, PanelWrite mode = PanelWrite::Edit);

struct ImagePanelValues {
    int printObject = 0;
    StrokePanel stroke;
    bool flipH = false, flipV = false;
    bool invert = false, grayScale = false, sepia = false;
    double transparency = 100, rotation = 0;
    double hue = 0, saturation = 1, brightness = 0, contrast = 1;
    double sharpness = 0, exposure = 0, blur = 0;
    std::optional<QString> path; // only when exactly one item is selected or after a browse
};
void applyImagePanel(SKTGraphic& item, const ImagePanelValues& v, PanelWrite mode = PanelWrite::Edit);
// The neutral adjustment values the reset puts back (flags off).
ImagePanelValues resetImageValues();

struct SignPanelValues {
    int printObject = 0;
    StrokePanel stroke;
    std::optional<QString> path; // only when exactly one item is selected or after a browse
};
void applySignPanel(SKTGraphic& item, const SignPanelValues& v, PanelWrite mode = PanelWrite::Edit);

// Puts into target each field the item panels write (stroke, fill, shape, line, picture adjustments and
// path, text and its style, print flag) in which after differs from before. With several items selected
// a panel change thus reaches each item as that one change, not as a copy of the whole panel.
// A font counts as its parts (family, style, size, weight, slant, lines): only those that changed reach
// target, so a size change keeps each item's own family.
void copyChangedPanelFields(SKTGraphic& target, const SKTGraphic& before, const SKTGraphic& after);
// Puts into target the parts of a font in which after differs from before. False when none differ.
bool copyChangedFontParts(QFont& target, const QFont& before, const QFont& after);

// Gives a picture or signature item a new path (which loads it); other kinds just record it.
void setItemFilePath(SKTGraphic& item, const QString& path);

// --- card side ---

struct CardPanelValues {
    bool borderOn = false;
    QColor borderColor = Qt::black;
    int borderWidth = 1;
    int borderDashIndex = 0;
    bool fillOn = true;
    QColor fillColor = Qt::white;
    bool gradientRadio = false, hatchRadio = false, imageRadio = false;
    QColor grad1 = Qt::white, grad2 = Qt::black;
    double gradAngle = 0;
    QColor hatchBack = Qt::white;
    QString hatchName;
    QString bgImagePath;
    QString bgImageLayout;
    double alphaPercent = 100;
    QColor contentColor = Qt::black;
    QFont contentFont;
    int sidesIndex = 0; // -1: none selected, keeps the record's value
    int cardShape = 0;
    QString name;
    QRectF frontBounds;
    QString preset;
    QString category;
    QString subCategory;
    int sizeRow = -1;
};
// Writes the panels into the record of one side. Both sides read the fill radios whatever the fill box
// says, so unticking the fill keeps the chosen style.
void writeCardRecord(Card_Property& record, const CardPanelValues& v, bool backSide);
// Card_Shape index to its code: 0 "R", 1 "RR", anything else "E".
QString cardShapeCode(int cardShape);
// Colour with the card alpha in place of its own.
QColor withAlpha(const QColor& color, double fraction);

// Puts into target each field in which after differs from before: what a panel write changed, so that
// fields the panel shows but the user did not touch keep target's own values. cardWideOnly limits it to
// the fields the two sides share (location, size, shape, number of sides, size preset). True when any
// field was put.
bool copyChangedCardFields(Card_Property& target, const Card_Property& before, const Card_Property& after,
                           bool cardWideOnly = false);

// --- content font and colour of a side ---

struct ContentChange {
    bool colorChanged = false;
    QColor color;
    bool fontChanged = false;
    QFont font;
    // The font it replaces: only the parts that differ from it reach the items, or the whole font when
    // none differs (the same font chosen again).
    QFont fontBefore;
};
// Applies the change to the exact text items and refits the "PARTY_IMAGE_BG" picture to frontBounds.
// Returns the number of text items changed.
int applyContentToItems(const GraphicList& items, const ContentChange& change, const QRectF& frontBounds);

// --- text ---

inline constexpr int MaxTextLength = 250;
inline const QString TextPlaceholder = QStringLiteral("Text here");
// The edited text without the placeholder, cut to 250 UTF-16 units without splitting a surrogate pair.
QString cleanedEditedText(const QString& text);
QStringList dateFormats();
QStringList timeFormats();

// --- picture library ---

inline const QString LibraryFolderName = QStringLiteral("LibraryImage");
inline const QString FramesFolderName = QStringLiteral("Frames");
// Sub-folders of root, sorted case-insensitively; hidden ones left out.
QStringList libraryCategories(const QString& root);
// Picture files (jpg jpeg jpe jfif gif bmp png tif tiff, any case) of a folder, sorted by name.
QStringList libraryPictures(const QString& folder);
// File-name extensions a picture item accepts.
const QStringList& pictureExtensions();
// The picture extension check for a chosen file (case-insensitive).
bool hasPictureExtension(const QString& path, const QStringList& extensions);

// --- hatch pictures ---

// Base names of the "*.png" pictures of Resource_Path/"Fill_Style_Image", sorted.
QStringList hatchNames();
// Lists them ahead (on any thread, once Resource_Path is set): the next hatchNames() takes that list.
void listHatchNamesAhead();

// --- data sources ---

// The series names, in the order every series list uses.
QStringList Get_datasheet_File_Name_Array();
// First line of a series, untrimmed; empty when missing or unreadable.
QString Get_First_Value_Of_Dataset(const QString& name);
// Value of the data table's first row for a column (0 the row number): nothing when the column does not
// exist, empty when the table has no row.
std::optional<QString> Get_First_Value_Of_Excel_Binding(int column);
// Titles of the data table's columns, row-number column first.
QStringList excelColumnTitles();
// The column a picture newly bound to the data table takes: the first whose first value is a picture file,
// else the sheet's first column (a row number is no picture's path); -1 without columns.
int pictureColumnOfSheet();

// The item's binding fields for a chosen series / sheet column; returns the first value to show.
QString bindItemToSeries(SKTGraphic& item, const QString& name, int index);
std::optional<QString> bindItemToColumn(SKTGraphic& item, int column);

// --- undo of panel edits ---

// A copy of the item with every field (same kind).
GraphicPtr copyOfItem(const SKTGraphic& item);
// Puts every field of source into target; both must be of the same kind (false otherwise).
bool assignItemState(SKTGraphic& target, const SKTGraphic& source);
// True when both items hold the same fields and pictures (an edit that changed nothing).
bool sameItemState(const SKTGraphic& a, const SKTGraphic& b);

// One panel edit of the selected items. Pushed after the edit is made, so its first redo does nothing.
// Steps of one control on the same items merge (a slider drag, typing) into one undo step.
class PropertyEditCommand : public SideUndoCommand {
public:
    static constexpr int Id = 7301;
    PropertyEditCommand(GraphicList items, GraphicList before, QString controlKey,
                        std::function<void()> changed = {});
    void undo() override;
    void redo() override;
    int id() const override { return Id; }
    bool mergeWith(const QUndoCommand* other) override;

private:
    void put(const GraphicList& states);
    GraphicList m_items;
    GraphicList m_before;
    GraphicList m_after;
    QString m_key;
    std::function<void()> m_changed;
    bool m_done = true; // the edit is already in the items when the command is pushed
};

} // namespace inspector

#include "common/Globals.h"

// Sets Not_Draw_Only_Prop_Change for its lifetime and puts the previous state back however the scope is
// left (return or exception), so the flag can never stay set after a panel load.
class PropertyLoadGuard {
public:
    PropertyLoadGuard() : m_previous(Not_Draw_Only_Prop_Change.exchange(true)) {}
    ~PropertyLoadGuard() { Not_Draw_Only_Prop_Change.store(m_previous); }
    PropertyLoadGuard(const PropertyLoadGuard&) = delete;
    PropertyLoadGuard& operator=(const PropertyLoadGuard&) = delete;

private:
    bool m_previous;
};
