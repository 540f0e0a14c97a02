#pragma once

// Base class of every linear symbology. One object describes one barcode: content, check character,
// module width, heights and texts. Its central product is the module string: "1" a bar module, "0" a
// space module, each `barWidth` points wide. Subclasses override the encoding of one character, the
// start and stop patterns, the check character, validation, captions and, for postal codes, the top and
// bottom of each bar. A fresh object is made for every barcode; nothing here touches global state.

#include <QChar>
#include <QFont>
#include <QString>

#include <memory>

// The five layout margins of a barcode drawing, in points.
struct BarcodeMargins {
    float value_margin = 0;  // between bars and value text
    float header_margin = 0; // below the header
    float footer_margin = 0; // above the footer
    float LR_margin = 0;     // left and right
    float TB_margin = 0;     // top and bottom
};

class NKDBarcode {
public:
    NKDBarcode() = default;
    virtual ~NKDBarcode() = default;

    // Sets content and caption flag with the defaults (bar width 0.936, height 36, font size 6, no check).
    virtual void initWithContent(const QString& content, bool printsCaption = true);
    // Designated initialiser: stores the values, computes the width and sets the check character.
    virtual void initWithContent(const QString& content, bool printsCaption, float barWidth, float height,
                                 float fontSize, int checkDigit);
    // Name of the class, for description().
    virtual QString className() const { return QStringLiteral("NKDBarcode"); }

    virtual void setContent(const QString& content) { m_content = content; }
    void setHeader(const QString& header) { m_header = header; }
    void setFooter(const QString& footer) { m_footer = footer; }
    virtual void setHeight(float height) { m_height = height; }
    void setWidth(float width) { m_width = width; }
    virtual void setBarWidth(float barWidth) { m_barWidth = barWidth; }
    void setCheckDigit(int checkDigit) { m_checkDigit = checkDigit; }
    virtual void setPrintsCaption(bool on) { m_printsCaption = on; }
    virtual void setPrintsHeader(bool on) { m_printsHeader = on; }
    virtual void setPrintsFooter(bool on) { m_printsFooter = on; }

    QString content() const { return m_content; }
    QString header() const { return m_header; }
    QString footer() const { return m_footer; }
    float height() const { return m_height; }
    float width() const { return m_width; }
    float barWidth() const { return m_barWidth; }
    int checkDigit() const { return m_checkDigit; }
    virtual bool printsCaption() const { return m_printsCaption; }
    virtual bool printsHeader() const { return m_printsHeader; }
    virtual bool printsFooter() const { return m_printsFooter; }

    virtual bool isSizeValid() const { return true; }
    virtual void generateChecksum() {}
    // True when the content can be encoded.
    virtual bool isContentValid() const;
    // Why the content cannot be encoded (empty when it can).
    virtual QString invalidReason() const;

    virtual QString initiator() const { return QString(); }
    virtual QString terminator() const { return QString(); }
    virtual QString _encodeChar(QChar c) const;
    virtual QString barcode() const;
    // Appends barcode()'s modules to `out`; symbologies that keep the base barcode() append their patterns in
    // place, so completeBarcode() makes one string.
    virtual void appendBarcode(QString& out) const { out += barcode(); }
    QString completeBarcode() const;
    // Number of modules in completeBarcode(); symbologies of fixed structure answer without building it.
    virtual int moduleCount() const { return int(completeBarcode().size()); }
    // The module count of the base barcode(): start, each character's pattern, check, stop. Symbologies
    // that keep the base barcode() and shared pattern strings answer moduleCount() with it.
    int patternModuleCount() const;
    virtual void calculateWidth();

    // Text heights are kept in inches (as stored designs expect); widths in points. The font decides
    // the height (1.35 times its cap height) and, for header and footer, the drawn width of the text.
    void setCaptionFontSize(const QFont& font);
    void setHeaderFontSize(const QFont& font);
    void setFooterFontSize(const QFont& font);
    void setCaptionHeight(float inches) { m_captionHeight = inches; }
    void setHeaderHeight(float inches) { m_headerHeight = inches; }
    void setFooterHeight(float inches) { m_footerHeight = inches; }
    void setHeaderWidth(float points) { m_headerWidth = points; }
    void setFooterWidth(float points) { m_footerWidth = points; }
    float captionHeight() const { return m_captionHeight; }
    float headerHeight() const { return m_headerHeight; }
    float footerHeight() const { return m_footerHeight; }
    float headerWidth() const { return m_headerWidth; }
    float footerWidth() const { return m_footerWidth; }
    float caption_fontSize() const { return m_captionFontSize; }
    // The spacing between the value text's characters, in points (2 unless the text was made smaller to fit
    // its room), and whether it fits its room at all (fitCaption).
    float captionKern() const { return m_captionKern; }
    bool captionFits() const { return m_captionFits; }
    // Sets a one-piece value text smaller, with its spacing, until it takes no more than `room` points:
    // down to 5 points (or the font's own size when smaller); captionFits() says whether that was enough.
    // A spread text (`spread`) is measured with its letters touching. The font is the one the text is drawn
    // with; heights follow the new size.
    void fitCaption(const QFont& font, qreal room, bool spread = false);
    float header_fontSize() const { return m_headerFontSize; }
    float footer_fontSize() const { return m_footerFontSize; }

    // The margins the bar heights leave room for (points).
    void setMargins(const BarcodeMargins& margins) { m_margins = margins; }
    const BarcodeMargins& margins() const { return m_margins; }

    virtual int digitsToLeft() const { return 0; }
    virtual int digitsToRight() const { return 0; }
    virtual QString leftCaption() const;
    virtual QString rightCaption() const;
    virtual QString caption() const;

    // Top of the bar at module index i, in points above the common bar baseline.
    virtual float barTop(int index) const;
    // Bottom of the bar at module index i, in points above the common bar baseline (four-state codes
    // lift their trackers and ascenders; every other symbology answers 0).
    virtual float barBottom(int index) const { return 0; }
    // Bar height the symbology fixes by its standard (postal codes), 0 when the designer decides.
    virtual float fixedBarHeight() const { return 0; }
    virtual float firstBar() const { return 0; }
    virtual float lastBar() const { return m_width - m_barWidth; }

    QString description() const;
    // The character at `index` as a refusal names it: quoted when it can be seen, else by its code
    // ("U+0007"), so no control character or invisible space is ever printed raw.
    static QString characterName(const QString& text, qsizetype index);
    bool isEqual(const NKDBarcode& other) const { return m_content == other.m_content; }

protected:
    // The base barcode()'s modules: each content character's pattern, then the check character's.
    void appendPatterns(QString& out) const;
    // Content as 7-bit ASCII; empty when any character is outside it.
    QString asciiContent() const;
    static bool isAscii(const QString& text);
    // The text with a-z upper-cased and every other character as it stands (so a letter outside ASCII
    // never turns into ASCII letters, as "ß" would into "SS").
    static QString asciiUpper(const QString& text);

    int m_checkDigit = -1;
    float m_barWidth = 0.936f;
    QString m_content;
    QString m_header;
    QString m_footer;
    float m_height = 36.0f;
    float m_width = 0;
    bool m_printsCaption = true;
    bool m_printsHeader = false;
    bool m_printsFooter = false;
    float m_captionFontSize = 6.0f;
    float m_captionKern = 2.0f;
    bool m_captionFits = true;
    float m_headerFontSize = 0;
    float m_footerFontSize = 0;
    float m_captionHeight = 0;
    float m_headerHeight = 0;
    float m_footerHeight = 0;
    float m_headerWidth = 0;
    float m_footerWidth = 0;
    BarcodeMargins m_margins;
};
