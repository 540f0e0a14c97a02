#include "data/NumberFormatLocale.h"

#include <QStringList>

#include <algorithm>

namespace xlsx {

std::string utf8(const QString& s)
{
    const QByteArray b = s.toUtf8();
    return std::string(b.constData(), size_t(b.size()));
}

QLocale localeOfId(uint lcid, const QLocale& fallback)
{
    static const struct { uint id; const char* name; } exact[] = {
        {0x409, "en_US"}, {0x809, "en_GB"}, {0xC09, "en_AU"}, {0x1009, "en_CA"}, {0x407, "de_DE"},
        {0x807, "de_CH"}, {0xC07, "de_AT"}, {0x40C, "fr_FR"}, {0x80C, "fr_BE"}, {0x100C, "fr_CH"},
        {0xC0C, "fr_CA"}, {0x410, "it_IT"}, {0x810, "it_CH"}, {0x40A, "es_ES"}, {0xC0A, "es_ES"},
        {0x80A, "es_MX"}, {0x413, "nl_NL"}, {0x813, "nl_BE"}, {0x416, "pt_BR"}, {0x816, "pt_PT"},
        {0x419, "ru_RU"}, {0x422, "uk_UA"}, {0x415, "pl_PL"}, {0x405, "cs_CZ"}, {0x41B, "sk_SK"},
        {0x40E, "hu_HU"}, {0x418, "ro_RO"}, {0x402, "bg_BG"}, {0x41A, "hr_HR"}, {0x424, "sl_SI"},
        {0x41D, "sv_SE"}, {0x406, "da_DK"}, {0x414, "nb_NO"}, {0x40B, "fi_FI"}, {0x40F, "is_IS"},
        {0x408, "el_GR"}, {0x41F, "tr_TR"}, {0x40D, "he_IL"}, {0x401, "ar_SA"}, {0x411, "ja_JP"},
        {0x412, "ko_KR"}, {0x804, "zh_CN"}, {0x404, "zh_TW"}, {0xC04, "zh_HK"}, {0x41E, "th_TH"},
        {0x42A, "vi_VN"}, {0x421, "id_ID"}, {0x439, "hi_IN"}, {0x425, "et_EE"}, {0x426, "lv_LV"},
        {0x427, "lt_LT"}};
    const uint id = lcid & 0xFFFF;
    for (const auto& e : exact) {
        if (e.id == id)
            return QLocale(QString::fromLatin1(e.name));
    }
    for (const auto& e : exact) {
        if ((e.id & 0x3FF) == (id & 0x3FF))
            return QLocale(QString::fromLatin1(e.name));
    }
    return fallback;
}

namespace {
// Abbreviated names where LibreOffice's differ from the locale data Qt carries: 12 months, then 7 days from
// Monday; an empty part keeps Qt's.
struct ShortNames {
    QLocale::Language language;
    const char* months;
    const char* days;
};
constexpr ShortNames kShortNames[] = {
    {QLocale::English, "Jan|Feb|Mar|Apr|May|Jun|Jul|Aug|Sep|Oct|Nov|Dec", ""},
    {QLocale::Russian, "янв|фев|мар|апр|май|июн|июл|авг|сен|окт|ноя|дек", "Пн|Вт|Ср|Чт|Пт|Сб|Вс"},
    {QLocale::Ukrainian, "січ|лют|бер|квт|трв|чер|лип|сер|вер|жов|лис|гру", "Пн|Вт|Ср|Чт|Пт|Сб|Нд"},
    {QLocale::Polish, "I|II|III|IV|V|VI|VII|VIII|IX|X|XI|XII", ""},
    {QLocale::Czech, "I|II|III|IV|V|VI|VII|VIII|IX|X|XI|XII", ""},
    {QLocale::Slovak, "I|II|III|IV|V|VI|VII|VIII|IX|X|XI|XII", "Po|Ut|St|Št|Pi|So|Ne"},
    {QLocale::Hungarian, "I.|II.|III.|IV.|V.|VI.|VII.|VIII.|IX.|X.|XI.|XII.", ""},
    {QLocale::Romanian, "ian|febr|mar|apr|mai|iun|iul|aug|sept|oct|nov|dec", "L|Ma|Mi|J|V|S|D"},
    {QLocale::Bulgarian, "яну|фев|мар|апр|май|юни|юли|авг|сеп|окт|ное|дек", ""},
    {QLocale::Swedish, "jan|feb|mar|apr|maj|jun|jul|aug|sep|okt|nov|dec", "må|ti|on|to|fr|lö|sö"},
    {QLocale::NorwegianBokmal, "jan.|feb.|mars|april|mai|juni|juli|aug.|sep.|okt.|nov.|des.",
     "ma.|ti.|on.|to.|fr.|lø.|sø."},
    {QLocale::Greek, "Ιαν|Φεβ|Μαρ|Απρ|Μαϊ|Ιουν|Ιουλ|Αυγ|Σεπ|Οκτ|Νοε|Δεκ", "Δευ|Τρι|Τετ|Πεμ|Παρ|Σαβ|Κυρ"},
    {QLocale::Latvian, "jan|feb|mar|apr|mai|jūn|jūl|aug|sep|okt|nov|dec", "P|O|T|C|Pk|S|Sv"},
    {QLocale::Lithuanian, "Sau|Vas|Kov|Bal|Geg|Bir|Lie|Rgp|Rgs|Spl|Lap|Grd", "Pr|An|Tr|Kt|Pn|Št|Sk"},
    {QLocale::Chinese, "", "一|二|三|四|五|六|日"},
    {QLocale::Portuguese, "", "seg|ter|qua|qui|sex|sáb|dom"},
};

void fill(std::vector<std::string>& out, const char* listed, int count, const auto& fromQt)
{
    const QStringList parts = QString::fromUtf8(listed).split(u'|');
    for (int i = 1; i <= count; ++i)
        out.push_back(parts.size() == count ? utf8(parts[i - 1]) : utf8(fromQt(i)));
}

// Qt's abbreviations with their trailing point dropped, as LibreOffice writes them (but in French).
QString abbreviation(const QLocale& l, QString name)
{
    if (l.language() != QLocale::French && name.size() > 1 && name.endsWith(u'.'))
        name.chop(1);
    return name;
}

// A Qt date or time format as a format code: M months, d days, y years, H and h hours, m minutes, s seconds,
// AP or ap the half of the day; t (the time zone) is left out with the spaces and brackets around it.
QString codeOfQtFormat(QString qt, bool fourDigitYears, bool twoDigitHours)
{
    qt.remove(QStringLiteral("(t)"));
    QString code;
    for (qsizetype i = 0; i < qt.size(); ++i) {
        const QChar c = qt[i];
        qsizetype run = 1;
        while (i + run < qt.size() && qt[i + run] == c)
            ++run;
        if (c == u'y') {
            code += fourDigitYears || run > 2 ? QStringLiteral("yyyy") : QStringLiteral("yy");
        } else if (c == u'M' || c == u'd' || c == u'm' || c == u's') {
            code += QString(run, c.toLower());
        } else if (c == u'H' || c == u'h') {
            code += twoDigitHours || run > 1 ? QStringLiteral("hh") : QStringLiteral("h");
        } else if ((c == u'A' || c == u'a') && i + 1 < qt.size() && qt[i + 1].toLower() == u'p') {
            code += QStringLiteral("AM/PM");
            ++i;
            continue;
        } else if (c == u't') {
            // the time zone
        } else if (c == u'\'') {
            const qsizetype close = qt.indexOf(u'\'', i + 1);
            code += u'"' + qt.mid(i + 1, (close < 0 ? qt.size() : close) - i - 1) + u'"';
            i = close < 0 ? qt.size() : close;
            continue;
        } else {
            for (qsizetype k = 0; k < run; ++k)
                code += c.isLetterOrNumber() ? QString(u'"') + c + u'"' : QString(u'\\') + c;
        }
        i += run - 1;
    }
    while (code.endsWith(QStringLiteral("\\ ")))
        code.chop(2);
    while (code.startsWith(QStringLiteral("\\ ")))
        code.remove(0, 2);
    return code;
}
} // namespace

LocaleTexts localeTexts(const QLocale& locale)
{
    const bool c = locale.language() == QLocale::C;
    const QLocale l = c ? QLocale(QLocale::English, QLocale::UnitedStates) : locale;
    LocaleTexts t;
    t.decimal = c ? "." : utf8(locale.decimalPoint());
    QString group = c ? QStringLiteral(",") : locale.groupSeparator();
    if (group == QStringLiteral("\u202F"))
        group = QStringLiteral("\u00A0");
    else if (group == QStringLiteral("\u2019"))
        group = QStringLiteral("'");
    else if ((l.language() == QLocale::German && l.territory() == QLocale::Austria) ||
             l.language() == QLocale::Lithuanian)
        group = QStringLiteral(".");
    t.group = utf8(group);
    // The date separator is the first sign between the fields of the short date.
    QString separator = QStringLiteral("/");
    if (!c) {
        const QString shortDate = l.dateFormat(QLocale::ShortFormat);
        bool quoted = false;
        for (QChar ch : shortDate) {
            quoted = ch == u'\'' ? !quoted : quoted;
            if (!quoted && ch != u'\'' && !ch.isLetter() && !ch.isSpace()) {
                separator = ch;
                break;
            }
        }
        if ((l.language() == QLocale::Portuguese && l.territory() == QLocale::Portugal) ||
            l.language() == QLocale::Danish)
            separator = QStringLiteral("-");
    }
    t.dateSeparator = utf8(separator);

    const ShortNames* listed = nullptr;
    for (const ShortNames& n : kShortNames) {
        if (n.language == l.language())
            listed = &n;
    }
    fill(t.monthShort, listed ? listed->months : "", 12,
         [&](int m) { return abbreviation(l, l.standaloneMonthName(m, QLocale::ShortFormat)); });
    fill(t.dayShort, listed ? listed->days : "", 7,
         [&](int d) { return abbreviation(l, l.standaloneDayName(d, QLocale::ShortFormat)); });
    // Month names alone are nominative (capitalised in Russian and Ukrainian); beside a day, genitive.
    const bool capital = l.language() == QLocale::Russian || l.language() == QLocale::Ukrainian;
    fill(t.monthLong, "", 12, [&](int m) {
        if (l.language() == QLocale::Greek)
            return l.monthName(m, QLocale::LongFormat);
        QString name = l.standaloneMonthName(m, QLocale::LongFormat);
        if (capital && !name.isEmpty())
            name[0] = name[0].toUpper();
        return name;
    });
    fill(t.monthGenitive, "", 12, [&](int m) { return l.monthName(m, QLocale::LongFormat); });
    fill(t.dayLong, "", 7, [&](int d) { return l.standaloneDayName(d, QLocale::LongFormat); });
    if (l.language() == QLocale::German) {
        t.am = "vorm.";
        t.pm = "nachm.";
    } else if (l.amText().compare(u"AM", Qt::CaseInsensitive) != 0) {
        t.am = utf8(l.amText());
        t.pm = utf8(l.pmText());
    }
    return t;
}

QString shortDateCode(const QLocale& locale)
{
    if (locale.language() == QLocale::C)
        return QStringLiteral("yyyy\\-mm\\-dd");
    return codeOfQtFormat(locale.dateFormat(QLocale::ShortFormat), true, false);
}

QString longDateCode(const QLocale& locale)
{
    const QLocale l = locale.language() == QLocale::C ? QLocale(QLocale::English, QLocale::UnitedStates) : locale;
    return codeOfQtFormat(l.dateFormat(QLocale::LongFormat), true, false);
}

QString longTimeCode(const QLocale& locale)
{
    if (locale.language() == QLocale::C)
        return QStringLiteral("hh:mm:ss");
    // A long time that writes its fields with words (Japanese 時, 分, 秒) is shown as the short time with seconds.
    QString qt = locale.timeFormat(QLocale::LongFormat);
    bool words = false;
    for (QChar c : std::as_const(qt))
        words = words || (c.isLetter() && c.unicode() > 0x7F);
    if (words) {
        qt = locale.timeFormat(QLocale::ShortFormat);
        const qsizetype minutes = qt.indexOf(QStringLiteral("mm"));
        if (minutes >= 0 && !qt.contains(u's'))
            qt.insert(minutes + 2, QStringLiteral(":ss"));
    }
    return codeOfQtFormat(qt, false, true);
}

QString shortTimeCode(const QLocale& locale)
{
    if (locale.language() == QLocale::C)
        return QStringLiteral(" hh:mm");
    return locale.timeFormat(QLocale::ShortFormat).startsWith(QStringLiteral("HH")) ? QStringLiteral(" hh:mm")
                                                                                     : QStringLiteral(" h:mm");
}

QString dayMonthCode(int id, const QLocale& locale)
{
    struct Form {
        QLocale::Language language;
        const char* codes[3];
    };
    static const Form forms[] = {
        {QLocale::German, {"dd. mmm yy", "dd. mmm", "mmm yy"}},
        {QLocale::Russian, {"dd.mmm.yy", "dd.mmm", "mmm.yy"}},
        {QLocale::Turkish, {"dd.mmm.yy", "dd.mmm", "mmm.yy"}},
        {QLocale::French, {"dd-mmm-yy", "dd-mmm", "mmm-yy"}},
        {QLocale::Spanish, {"dd-mmm-yy", "dd-mmm", "mmm-yy"}},
        {QLocale::Italian, {"dd-mmm-yy", "dd-mmm", "mmm-yy"}},
        {QLocale::Polish, {"dd-mmm-yy", "dd-mmm", "mmm-yy"}},
        {QLocale::Swedish, {"dd-mmm-yy", "dd-mmm", "mmm-yy"}},
        {QLocale::Japanese, {"dd-mmm-yy", "dd-mmm", "mmm-yy"}},
    };
    const int k = std::clamp(id - 15, 0, 2);
    if (locale.language() == QLocale::Portuguese && locale.territory() == QLocale::Brazil) {
        static const char* const brazil[] = {"d\\/mmm\\/yy", "d\\/mmm", "mmm\\/yy"};
        return QString::fromLatin1(brazil[k]);
    }
    for (const Form& f : forms) {
        if (f.language == locale.language())
            return QString::fromLatin1(f.codes[k]);
    }
    static const char* const english[] = {"d-mmm-yy", "d-mmm", "mmm-yy"};
    return QString::fromLatin1(english[k]);
}

QString localCurrencyCode(const QLocale& locale, bool decimals)
{
    QString symbol = locale.currencySymbol();
    if (symbol == QStringLiteral("\uFFE5"))
        symbol = QStringLiteral("\u00A5"); // the yen sign spreadsheet programs show
    const QString number = decimals ? QStringLiteral("#,##0.00") : QStringLiteral("#,##0");
    const QString shown = locale.toCurrencyString(1.0, locale.currencySymbol(), 0);
    QString section;
    for (qsizetype i = 0; i < shown.size(); ++i) {
        if (!locale.currencySymbol().isEmpty() && QStringView(shown).mid(i).startsWith(locale.currencySymbol())) {
            section += u'"' + symbol + u'"';
            i += locale.currencySymbol().size() - 1;
        } else if (shown[i] == u'1') {
            section += number;
        } else if (shown[i].isSpace()) {
            section += QStringLiteral("\\ ");
        } else {
            section += u'"' + shown[i] + u'"';
        }
    }
    return section + QStringLiteral(";-") + section;
}

bool minusForNegatives(const QLocale& locale)
{
    switch (locale.language()) {
    case QLocale::German: case QLocale::French: case QLocale::Spanish: case QLocale::Italian:
    case QLocale::Japanese: case QLocale::Polish: case QLocale::Russian: case QLocale::Swedish:
    case QLocale::Turkish:
        return true;
    default:
        return false;
    }
}

std::pair<std::string, std::string> booleanTexts(const QLocale& locale)
{
    static const struct {
        QLocale::Language language;
        const char* yes;
        const char* no;
    } names[] = {
        {QLocale::German, "WAHR", "FALSCH"},       {QLocale::French, "VRAI", "FAUX"},
        {QLocale::Spanish, "VERDADERO", "FALSO"},  {QLocale::Italian, "VERO", "FALSO"},
        {QLocale::Portuguese, "VERDADEIRO", "FALSO"}, {QLocale::Dutch, "WAAR", "ONWAAR"},
        {QLocale::Polish, "PRAWDA", "FAŁSZ"},      {QLocale::Swedish, "SANT", "FALSKT"},
        {QLocale::Russian, "ИСТИНА", "ЛОЖЬ"},      {QLocale::Turkish, "DOĞRU", "YANLIŞ"},
    };
    for (const auto& n : names) {
        if (n.language == locale.language())
            return {n.yes, n.no};
    }
    return {"TRUE", "FALSE"};
}

} // namespace xlsx
