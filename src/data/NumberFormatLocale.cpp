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
    const char* longMonths = ""; // with a day and alone
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
    {QLocale::Spanish, "ene|feb|mar|abr|may|jun|jul|ago|sep|oct|nov|dic", ""},
    {QLocale::Japanese, "", "", "一月|二月|三月|四月|五月|六月|七月|八月|九月|十月|十一月|十二月"},
    {QLocale::Chinese, "", "一|二|三|四|五|六|日", "一月|二月|三月|四月|五月|六月|七月|八月|九月|十月|十一月|十二月"},
    {QLocale::Korean, "Jan|Feb|Mar|Apr|May|Jun|Jul|Aug|Sep|Oct|Nov|Dec", "",
     "January|February|March|April|May|June|July|August|September|October|November|December"},
    {QLocale::Portuguese, "", "seg|ter|qua|qui|sex|sáb|dom"},
};

void fill(std::vector<std::string>& out, const char* listed, int count, const auto& fromQt)
{
    const QStringList parts = QString::fromUtf8(listed).split(u'|');
    for (int i = 1; i <= count; ++i)
        out.push_back(parts.size() == count ? utf8(parts[i - 1]) : utf8(fromQt(i)));
}

// Qt's abbreviations with their trailing point dropped, as LibreOffice writes them (not in French, Polish).
QString abbreviation(const QLocale& l, QString name)
{
    const bool kept = l.language() == QLocale::French || l.language() == QLocale::Polish;
    if (!kept && name.size() > 1 && name.endsWith(u'.'))
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
        else if (l.language() == QLocale::Korean)
            separator = QStringLiteral("/");
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
    const char* longMonths = listed ? listed->longMonths : "";
    fill(t.monthLong, longMonths, 12, [&](int m) {
        if (l.language() == QLocale::Greek)
            return l.monthName(m, QLocale::LongFormat);
        QString name = l.standaloneMonthName(m, QLocale::LongFormat);
        if (capital && !name.isEmpty())
            name[0] = name[0].toUpper();
        return name;
    });
    fill(t.monthGenitive, longMonths, 12, [&](int m) { return l.monthName(m, QLocale::LongFormat); });
    fill(t.dayLong, "", 7, [&](int d) { return l.standaloneDayName(d, QLocale::LongFormat); });
    // AM/PM as LibreOffice shows it where that is not Qt's text
    static const struct {
        QLocale::Language language;
        const char *am, *pm;
    } halves[] = {{QLocale::German, "vorm.", "nachm."}, {QLocale::Italian, "a.m.", "p.m."},
                  {QLocale::Dutch, "", ""},             {QLocale::Turkish, "", ""}};
    const auto half = std::find_if(std::begin(halves), std::end(halves),
                                   [&](const auto& h) { return h.language == l.language(); });
    if (half != std::end(halves)) {
        t.am = half->am;
        t.pm = half->pm;
    } else if (l.amText().compare(u"AM", Qt::CaseInsensitive) != 0) {
        t.am = utf8(l.amText());
        t.pm = utf8(l.pmText());
    }
    return t;
}

namespace {
// The built-in formats and the system long date and time as LibreOffice shows them in these locales
// (measured with tools/format_check against its CSV "as shown"); other locales take theirs from Qt's data.
struct LocaleForms {
    const char* name;         // as QLocale::name() gives it
    const char* shortDate;    // id 14; '/' stands for the locale's date separator
    const char* dayMonthYear; // id 15; ids 16 and 17 are its day-and-month and month-and-year parts
    const char* time;         // id 20
    const char* percent;      // id 9
    const char* symbol;       // the currency's
    const char* currency;     // "positive;negative": n the amount, S the symbol, _x a space as wide as x
    const char* longDate;     // [$-F800]; empty: the locale's own from Qt
    const char* longTime;     // [$-F400]; empty: the locale's own from Qt
};
constexpr LocaleForms kForms[] = {
    {"en_US", "m/d/yyyy", "d-mmm-yy", "h:mm", "0%", "$", "Sn_);(Sn)", "", ""},
    {"en_GB", "dd/mm/yyyy", "dd-mmm-yy", "hh:mm", "0%", "£", "Sn;-Sn", "dddd d mmmm yyyy", ""},
    {"de_DE", "dd/mm/yyyy", "dd/ mmm yy", "hh:mm", "0\u00A0%", "€", "n S;-n S", "", ""},
    {"de_AT", "dd/mm/yyyy", "dd/mmm/yy", "hh:mm", "0\u00A0%", "€", "S n;-S n", "dddd, dd. mmmm yyyy", ""},
    {"de_CH", "dd/mm/yyyy", "dd/ mmm yy", "hh:mm", "0%", "SFr.", "S n;S -n", "dddd, dd. mmmm yyyy", ""},
    {"fr_FR", "dd/mm/yyyy", "dd-mmm-yy", "hh:mm", "0 %", "€", "n S;-n S", "", ""},
    {"es_ES", "dd/mm/yyyy", "dd-mmm-yy", "h:mm", "0\u00A0%", "€", "n S;-n S", "", ""},
    {"it_IT", "dd/mm/yyyy", "dd-mmm-yy", "h:mm", "0%", "€", "S n;-S n", "dddd dd mmmm yyyy", ""},
    {"pl_PL", "yyyy\\-mm\\-dd", "dd-mmm-yy", "hh:mm", "0%", "zł", "n S;-n S", "dddd dd mmmm yyyy", ""},
    {"sv_SE", "yyyy/mm/dd", "dd/mmm/yy", "hh:mm", "0 %", "kr", "n S;-n S", "", ""},
    {"nl_NL", "d/m/yyyy", "d/mmm/yy", "h:mm", "0%", "€", "S n_-;S n-", "", ""},
    {"pt_BR", "d/m/yyyy", "d/mmm/yy", "hh:mm", "0%", "R$", "S n_);(S n)", "", ""},
    {"ru_RU", "dd/mm/yyyy", "dd/mmm/yy", "h:mm", "0%", "р.", "nS;-nS", "dddd, dd mmmm, yyyy", ""},
    {"tr_TR", "dd/mm/yyyy", "dd/mmm/yy", "hh:mm", "%0", "TL", "n S;-n S", "dddd d\\.mmmm\\.yyyy", ""},
    {"ja_JP", "yyyy/mm/dd", "dd-mmm-yy", "h:mm", "0%", "¥", "Sn;-Sn", "yyyy\"年\"mm\"月\"dd\"日（\"dddd\"）\"", ""},
    {"zh_CN", "yyyy\\-m\\-d", "d-mmm-yy", "h:mm", "0%", "￥", "Sn;S-n", "yyyy\"年\"m\"月\"d\"日\u3000\"dddd", ""},
    {"zh_TW", "yyyy/m/d", "d-mmm-yy", "hh:mm", "0%", "$", "Sn;-Sn", "", "hh:mm:ss"},
    {"ko_KR", "yyyy\\-mm\\-dd", "dd-mmm-yy", "h:mm", "0%", "₩", "Sn;-Sn", "", "h\"시\" m\"분\" s\"초\""},
};

// The East Asian date and time ids 27 to 36 and 50 to 58, '|' between them, and the dollar of ids 23 to 26.
constexpr struct {
    const char* name;
    const char* dollar;
    const char* codes;
} kEastAsianIds[] = {
    {"ja_JP", "$", "[$-1030411]ge.mm.dd|[$-1030411]ggge\"年\"mm\"月\"dd\"日\"|[$-1030411]ggge\"年\"mm\"月\"dd\"日\"|mm/dd/yy|"
              "yyyy\"年\"mm\"月\"dd\"日\"|h\"時\"mm\"分\"|h\"時\"mm\"分\"ss\"秒\"|yyyy\"年\"mm\"月\"|mm\"月\"dd\"日\"|"
              "[$-1030411]ge.mm.dd|[$-1030411]ge.mm.dd|[$-1030411]ggge\"年\"mm\"月\"dd\"日\"|yyyy\"年\"mm\"月\"|"
              "mm\"月\"dd\"日\"|[$-1030411]ggge\"年\"mm\"月\"dd\"日\"|yyyy\"年\"mm\"月\"|mm\"月\"dd\"日\"|"
              "[$-1030411]ge.mm.dd|[$-1030411]ggge\"年\"mm\"月\"dd\"日\""},
    {"zh_CN", "$", "yyyy\"年\"m\"月\"|m\"月\"d\"日\"|m\"月\"d\"日\"|m-d-yy|yyyy\"年\"m\"月\"d\"日\"|h\"时\"mm\"分\"|"
              "h\"时\"mm\"分\"ss\"秒\"|AM/PMh\"时\"mm\"分\"|AM/PMh\"时\"mm\"分\"ss\"秒\"|yyyy\"年\"m\"月\"|"
              "yyyy\"年\"m\"月\"|m\"月\"d\"日\"|yyyy\"年\"m\"月\"|m\"月\"d\"日\"|m\"月\"d\"日\"|AM/PMh\"时\"mm\"分\"|"
              "AM/PMh\"时\"mm\"分\"ss\"秒\"|yyyy\"年\"m\"月\"|m\"月\"d\"日\""},
    {"zh_TW", "US$", "[$-404]e/m/d|[$-404]e\"年\"m\"月\"d\"日\"|[$-404]e\"年\"m\"月\"d\"日\"|m/d/yy|yyyy\"年\"m\"月\"d\"日\"|"
              "hh\"時\"mm\"分\"|hh\"時\"mm\"分\"ss\"秒\"|AM/PMhh\"時\"mm\"分\"|AM/PMhh\"時\"mm\"分\"ss\"秒\"|[$-404]e/m/d|"
              "[$-404]e/m/d|[$-404]e\"年\"m\"月\"d\"日\"|AM/PMhh\"時\"mm\"分\"|AM/PMhh\"時\"mm\"分\"ss\"秒\"|"
              "[$-404]e\"年\"m\"月\"d\"日\"|AM/PMhh\"時\"mm\"分\"|AM/PMhh\"時\"mm\"分\"ss\"秒\"|[$-404]e/m/d|"
              "[$-404]e\"年\"m\"月\"d\"日\""},
    {"ko_KR", "$", "yyyy\"年 \"mm\"月 \"dd\"日\"|mm-dd|mm-dd|mm-dd-yy|yyyy\"년 \"mm\"월 \"dd\"일\"|h\"시\"mm\"분\"|"
              "h\"시\"mm\"분\"ss\"초\"|yyyy\\/mm\\/dd|yyyy-mm-dd|yyyy\"年 \"mm\"月 \"dd\"日\"|yyyy\"年 \"mm\"月 \"dd\"日\"|"
              "mm-dd|yyyy\\/mm\\/dd|yyyy-mm-dd|mm-dd|yyyy\\/mm\\/dd|yyyy-mm-dd|yyyy\"年 \"mm\"月 \"dd\"日\"|mm-dd"},
};

const LocaleForms* formsOf(const QLocale& locale)
{
    const QString name = locale.name();
    for (const LocaleForms& f : kForms) {
        if (name == QLatin1String(f.name))
            return &f;
    }
    return nullptr;
}

// The locale's short date with four-digit years (ISO order in the C locale), from Qt's data.
QString qtShortDateCode(const QLocale& locale)
{
    if (locale.language() == QLocale::C)
        return QStringLiteral("yyyy\\-mm\\-dd");
    return codeOfQtFormat(locale.dateFormat(QLocale::ShortFormat), true, false);
}

// " h:mm" or " hh:mm", as the locale's short time writes its hours.
QString qtShortTimeCode(const QLocale& locale)
{
    if (locale.language() == QLocale::C)
        return QStringLiteral(" hh:mm");
    return locale.timeFormat(QLocale::ShortFormat).startsWith(QStringLiteral("HH")) ? QStringLiteral(" hh:mm")
                                                                                     : QStringLiteral(" h:mm");
}

// Built-in formats 15 (day, month name, year), 16 (day, month name) and 17 (month name, year) as spreadsheet
// programs of the locale's language show them; Excel's English forms for languages not known here.
QString dayMonthCode(int id, const QLocale& locale)
{
    const int k = std::clamp(id - 15, 0, 2);
    QString full;
    if (const LocaleForms* f = formsOf(locale)) {
        full = QString::fromUtf8(f->dayMonthYear);
    } else {
        struct Form {
            QLocale::Language language;
            const char* code;
        };
        static const Form forms[] = {
            {QLocale::German, "dd. mmm yy"}, {QLocale::Russian, "dd.mmm.yy"},  {QLocale::Turkish, "dd.mmm.yy"},
            {QLocale::French, "dd-mmm-yy"},  {QLocale::Spanish, "dd-mmm-yy"},  {QLocale::Italian, "dd-mmm-yy"},
            {QLocale::Polish, "dd-mmm-yy"},  {QLocale::Swedish, "dd-mmm-yy"},  {QLocale::Japanese, "dd-mmm-yy"},
        };
        full = QStringLiteral("d-mmm-yy");
        if (locale.language() == QLocale::Portuguese && locale.territory() == QLocale::Brazil)
            full = QStringLiteral("d\\/mmm\\/yy");
        for (const Form& f : forms) {
            if (f.language == locale.language())
                full = QString::fromLatin1(f.code);
        }
    }
    if (k == 0)
        return full;
    // the day and the month, or the month and the year, with the separator between them
    const qsizetype first = full.indexOf(QStringLiteral("mmm"));
    return k == 1 ? full.left(first + 3) : full.mid(first);
}

// The currency's pattern: from the table, Excel's English form in English and the C locale, else the
// locale's own amounts as Qt writes them.
struct CurrencyPattern {
    QString symbol, positive, negative;
};

CurrencyPattern currencyPattern(const QLocale& locale, int id)
{
    if (id >= 23 && id <= 26) {
        for (const auto& e : kEastAsianIds) {
            if (locale.name() == QLatin1String(e.name))
                return {QString::fromUtf8(e.dollar), QStringLiteral("Sn_)"), QStringLiteral("(Sn)")};
        }
    }
    if (const LocaleForms* f = formsOf(locale)) {
        const QString pattern = QString::fromUtf8(f->currency);
        return {QString::fromUtf8(f->symbol), pattern.section(u';', 0, 0), pattern.section(u';', 1)};
    }
    if (locale.language() == QLocale::C || locale.language() == QLocale::English) {
        const QString symbol =
            locale.language() == QLocale::C ? QStringLiteral("$") : locale.currencySymbol();
        return {symbol, QStringLiteral("Sn_)"), QStringLiteral("(Sn)")};
    }
    QString symbol = locale.currencySymbol();
    if (symbol.isEmpty())
        symbol = locale.currencySymbol(QLocale::CurrencyIsoCode);
    const QString shown = locale.toCurrencyString(1.0, symbol, 0);
    QString positive;
    for (qsizetype i = 0; i < shown.size(); ++i) {
        if (!symbol.isEmpty() && QStringView(shown).mid(i).startsWith(symbol)) {
            positive += u'S';
            i += symbol.size() - 1;
        } else if (shown[i] == u'1') {
            positive += u'n';
        } else if (shown[i].isSpace()) {
            positive += u' ';
        } else if (shown[i].category() != QChar::Other_Format) { // not a direction mark
            positive += u'"' + shown[i] + u'"';
        }
    }
    if (symbol == QStringLiteral("\uFFE5"))
        symbol = QStringLiteral("\u00A5"); // the yen sign spreadsheet programs show
    return {symbol, positive, u'-' + positive};
}

QString quoted(const QString& text) { return u'"' + text + u'"'; }

// One section of a currency pattern as a format code: `number` for n, the symbol quoted, or (without it) a
// symbol written after the amount as spaces as wide as its characters and one written before it dropped with
// the space after it.
QString currencySection(const QString& pattern, const QString& symbol, const QString& number, bool withSymbol)
{
    QString code;
    const qsizetype amount = pattern.indexOf(u'n');
    for (qsizetype i = 0; i < pattern.size(); ++i) {
        const QChar c = pattern[i];
        if (c == u'n') {
            code += number;
        } else if (c == u'S' && withSymbol) {
            code += quoted(symbol);
        } else if (c == u'S' && i > amount) {
            for (QChar s : symbol)
                code += u'_' + s;
        } else if (c == u'S') {
            if (i + 1 < pattern.size() && pattern[i + 1] == u' ')
                ++i;
        } else if (c == u'"') {
            const qsizetype close = pattern.indexOf(u'"', i + 1);
            code += pattern.mid(i, close - i + 1);
            i = close;
        } else if (c == u'_' && i + 1 < pattern.size()) {
            code += pattern.mid(i++, 2);
        } else {
            code += c == u' ' ? QStringLiteral("\\ ") : QString(c);
        }
    }
    return code;
}

// Built-in formats 5 to 8 (currency), 37 to 40 (the same without the symbol) and 41 to 44 (accounting,
// the symbol and the amount apart, a dash for zero) from the locale's currency pattern, as LibreOffice
// builds them; 23 to 26 are dollars in East Asian locales.
QString currencyCode(int id, const QLocale& locale)
{
    const CurrencyPattern p = currencyPattern(locale, id);
    static const QList<int> withDecimals{7, 8, 25, 26, 39, 40, 43, 44}, inRed{6, 8, 24, 26, 38, 40};
    const bool decimals = withDecimals.contains(id);
    const QString number = decimals ? QStringLiteral("#,##0.00") : QStringLiteral("#,##0");
    const QString red = inRed.contains(id) ? QStringLiteral("[Red]") : QString();
    if (id >= 37 && id <= 40 && !formsOf(locale)) {
        // Elsewhere the standard's codes, with a minus where spreadsheet programs of the language write one
        static const QLocale::Language minus[] = {QLocale::German,   QLocale::French,  QLocale::Spanish,
                                                  QLocale::Italian,  QLocale::Japanese, QLocale::Polish,
                                                  QLocale::Russian,  QLocale::Swedish, QLocale::Turkish};
        if (std::find(std::begin(minus), std::end(minus), locale.language()) != std::end(minus))
            return number + u';' + red + u'-' + number;
        return number + (id <= 38 ? QStringLiteral(" ;") : QStringLiteral(";")) + red + u'(' + number + u')';
    }
    if (id <= 40) {
        const bool withSymbol = id <= 26;
        return currencySection(p.positive, p.symbol, number, withSymbol) + u';' + red +
               currencySection(p.negative, p.symbol, number, withSymbol);
    }
    const bool withSymbol = id == 42 || id == 44;
    const QString& neg = p.negative;
    const qsizetype amount = neg.indexOf(u'n'), sign = neg.indexOf(u'-'), mark = neg.indexOf(u'S');
    const bool parens = neg.contains(u'(');
    const bool minusFirst = neg.startsWith(u'-');
    const bool minusAfterSymbol = mark >= 0 && sign > mark && sign < amount;
    const bool minusAfter = sign > amount;
    const QChar pad = parens ? u'(' : minusAfterSymbol ? u' ' : u'-';
    const QChar close = parens ? u')' : pad;
    const qsizetype at = p.positive.indexOf(u'S');
    const bool before = at >= 0 && at < p.positive.indexOf(u'n');
    const bool spaced = before ? p.positive.mid(at + 1, 1) == u" " : p.positive.mid(at - 1, 1) == u" ";
    QString symbolBefore, symbolAfter;
    if (before && withSymbol) {
        symbolBefore = quoted(p.symbol + (spaced ? QStringLiteral(" ") : QString()));
    } else if (!before && at >= 0) {
        symbolAfter = spaced ? QStringLiteral("\\ ") : QString();
        if (withSymbol)
            symbolAfter += quoted(p.symbol);
        else
            for (QChar s : p.symbol)
                symbolAfter += u'_' + s;
    }
    const QString zero = decimals ? QStringLiteral("\\-??") : QStringLiteral("\\-");
    const QString lead = QStringLiteral("_") + pad, trail = QStringLiteral("_") + close;
    const QString positive = lead + symbolBefore + QStringLiteral("* ") + number + symbolAfter + trail;
    const QString open = parens             ? QStringLiteral("\\(")
                         : minusAfterSymbol ? QStringLiteral("\\-")
                                            : QString();
    const QString shut = parens ? QStringLiteral("\\)") : QString();
    const QString end = minusAfter ? QStringLiteral("\\-") : parens ? QString() : trail;
    const QString negative = (minusFirst ? QStringLiteral("\\-") : lead) + symbolBefore + QStringLiteral("* ") +
                             open + number + shut + symbolAfter + end;
    const QString nothing = lead + symbolBefore + QStringLiteral("* ") + zero + symbolAfter + trail;
    return positive + u';' + negative + u';' + nothing + u';' + lead + u'@' + trail;
}
} // namespace

QString builtInFormatCode(int id, const QLocale& locale)
{
    const bool c = locale.language() == QLocale::C;
    const LocaleForms* forms = formsOf(locale);
    switch (id) {
    case 0: return QStringLiteral("General");
    case 1: return QStringLiteral("0");
    case 2: return QStringLiteral("0.00");
    case 3: return QStringLiteral("#,##0");
    case 4: return QStringLiteral("#,##0.00");
    case 9: case 10: {
        QString percent = forms ? QString::fromUtf8(forms->percent) : QStringLiteral("0%");
        return id == 9 ? percent : percent.replace(u'0', QStringLiteral("0.00"));
    }
    case 11: return QStringLiteral("0.00E+00");
    case 12: return QStringLiteral("# ?/?");
    case 13: return QStringLiteral("# ?\?/?\?");
    case 15: case 16: case 17: return dayMonthCode(id, locale);
    case 45: return QStringLiteral("mm:ss");
    case 46: return QStringLiteral("[h]:mm:ss");
    case 47: return QStringLiteral("mm:ss.0");
    case 48: return QStringLiteral("##0.0E+0");
    case 49: return QStringLiteral("@");
    default: break;
    }
    if ((id >= 5 && id <= 8) || (id >= 37 && id <= 44))
        return currencyCode(id, locale);
    // times, 12 hours
    const bool twoDigitHours12 = locale.name() == QStringLiteral("zh_TW");
    if (id == 18 || id == 19)
        return (twoDigitHours12 ? QStringLiteral("hh:mm") : QStringLiteral("h:mm")) +
               (id == 19 ? QStringLiteral(":ss AM/PM") : QStringLiteral(" AM/PM"));
    // the East Asian ids where the locale gives them
    for (const auto& e : kEastAsianIds) {
        if (locale.name() != QLatin1String(e.name))
            continue;
        if (id >= 23 && id <= 26)
            return currencyCode(id, locale);
        if ((id >= 27 && id <= 36) || (id >= 50 && id <= 58)) {
            const int k = id <= 36 ? id - 27 : id - 40;
            return QString::fromUtf8(e.codes).section(u'|', k, k);
        }
    }
    const QString shortDate = forms ? QString::fromUtf8(forms->shortDate) : qtShortDateCode(locale);
    const QString time = forms ? QString::fromLatin1(forms->time)
                         : c   ? QStringLiteral("h:mm")
                               : qtShortTimeCode(locale).mid(1);
    if (id == 20)
        return time;
    // seconds: 21, and elsewhere the East Asian times 32 to 35
    if (id == 21 || (id >= 32 && id <= 35))
        return time + QStringLiteral(":ss");
    if (id == 22)
        return shortDate + (forms ? u' ' + time : qtShortTimeCode(locale));
    // the short date: 14, and elsewhere the East Asian dates
    if (id == 14 || (id >= 27 && id <= 36) || (id >= 50 && id <= 58))
        return shortDate;
    return QStringLiteral("General");
}

QString longDateCode(const QLocale& locale)
{
    if (const LocaleForms* f = formsOf(locale); f && *f->longDate)
        return QString::fromUtf8(f->longDate);
    const QLocale l = locale.language() == QLocale::C ? QLocale(QLocale::English, QLocale::UnitedStates) : locale;
    return codeOfQtFormat(l.dateFormat(QLocale::LongFormat), true, false);
}

QString longTimeCode(const QLocale& locale)
{
    if (locale.language() == QLocale::C)
        return QStringLiteral("hh:mm:ss");
    if (const LocaleForms* f = formsOf(locale); f && *f->longTime)
        return QString::fromUtf8(f->longTime);
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
