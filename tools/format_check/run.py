#!/usr/bin/env python3
"""Compares the xlsx reader's shown values with LibreOffice's, value for value, in many locales.

Makes workbooks of values x number formats (built-in ids 0-58 without definitions, as openpyxl and Excel
write them, and common codes), has LibreOffice save each as xlsx (its own serials and codes) and as CSV
"as shown" under each locale, reads both workbooks with format_check under the same locale and counts
the cells that agree.

    python3 tools/format_check/run.py FORMAT_CHECK WORKDIR [--locales a,b] [--sweep] [--reuse]
            [--fixtures DIR]

--reuse keeps LibreOffice's outputs from an earlier run (only our side is read again); --sweep adds every
second of a day in time formats, a sweep of milliseconds and fractions of a second on ties; --fixtures DIR
makes the smaller workbooks the committed test reads instead and copies them, LibreOffice's xlsx of the
times and what it shows per locale (tab-separated) into DIR.
Mismatches are listed in WORKDIR/mismatches.txt.
"""

import csv
import re
import io
import os
import shutil
import subprocess
import sys
import tempfile
import zipfile
from concurrent.futures import ThreadPoolExecutor
from xml.sax.saxutils import escape

LOCALES = ["fr_FR", "es_ES", "it_IT", "pl_PL", "sv_SE", "nl_NL", "pt_BR", "ru_RU", "ja_JP", "tr_TR", "de_AT",
           "en_GB", "de_DE", "de_CH", "en_US"]
CSV_FILTER = "csv:Text - txt - csv (StarCalc):44,34,76,1,,0,false,true,true"


def serial(days, seconds=0.0):
    return days + seconds / 86400.0


# Values: numbers, then dates and times (2024-09-03 17:05:52 is a Tuesday), then a text.
VALUES = [4321.5678, -1234.567, 0.0, 0.5, 1234567.891, -0.004, 12.3456, 7.0,
          serial(45538, 17 * 3600 + 5 * 60 + 52), serial(44031, 14 * 3600 + 22 * 60), serial(45909, 70230),
          serial(45852, 20 * 3600 + 38 * 60), 44935.0, 0.75, 45657.9999999, 1.5, serial(0, 86399.999),
          serial(45000, 43200.46), "abc"]

BUILT_IN = [i for i in range(0, 59)]
CODES = [
    "hh:mm", "hh:mm:ss", "h:mm AM/PM", "h:mm:ss AM/PM", "hh:mm:ss.00", "[h]:mm:ss", "mm:ss.0", "[mm]:ss",
    "yyyy-mm-dd hh:mm:ss", "dd.mm.yyyy", "dd/mm/yyyy", "mm/dd/yyyy", "d/m/yy", "d mmmm yyyy", "dddd, d mmmm yyyy",
    "ddd d mmm yy", "mmm", "mmmm", "mmmmm", "ddd", "dddd", "mmmm d, yyyy", "dd.mm.yyyy hh:mm",
    "[$-F800]dddd, mmmm dd, yyyy", "[$-F400]h:mm:ss AM/PM", "[$-409]mmmm d, yyyy", "[$-407]dddd, d. mmmm yyyy",
    "[$-419]d mmmm yyyy", "[$-411]yyyy\"年\"m\"月\"d\"日\"", "yyyy\"年\"m\"月\"d\"日\"", "h\"時\"mm\"分\"",
    '_-* #,##0.00\\ "€"_-;\\-* #,##0.00\\ "€"_-;_-* "-"??\\ "€"_-;_-@_-',
    '_("$"* #,##0.00_);_("$"* \\(#,##0.00\\);_("$"* "-"??_);_(@_)',
    '_(* #,##0_);_(* \\(#,##0\\);_(* "-"_);_(@_)',
    "#,##0.00\\ [$€-407]", "[$$-409]#,##0.00", "[$£-809]#,##0.00", "#,##0.00 \"zł\"", "0.00%", "# ?/?", "0.00E+00",
    "General", "@", "\"Text: \"@", "#,##0;[Red]-#,##0", "0.0;-0.0;\"zero\"", "[>=1000]#,##0,\"K\";0", "00000",
    "#,##0.000", "0.##",
]

# the middle of each month of 2024, then a week from Monday 2024-08-05
NAME_VALUES = [45306.0 + int(30.4 * k) for k in range(12)] + [45509.0 + k for k in range(7)]
NAME_CODES = ["mmm", "mmmm", "mmmmm", "ddd", "dddd", "d mmmm", "d. mmmm yyyy", "dddd d mmmm yyyy",
              "[$-F800]dddd, mmmm dd, yyyy", "mmm yy", "ddd, d mmm", "dd-mmm-yy", 15, 16, 17, "d mmmm", "mmmm yyyy"]


# 34 and 35 are dates in Japanese and Korean
CALENDAR_IDS = set(range(14, 18)) | {22} | set(range(27, 32)) | set(range(34, 37)) | set(range(50, 59))


def shows_calendar(fmt):
    """True when the format shows a calendar date (days, months or years)."""
    if isinstance(fmt, int):
        return fmt in CALENDAR_IDS
    plain = re.sub(r'"[^"]*"|\\.|\[[^]]*\]', "", fmt).lower()
    plain = plain.replace("general", "").replace("am/pm", "")
    return bool(re.search(r"[dy]|mmm", plain)) or ("m" in plain and "h" not in plain and "s" not in plain)


def col_name(c):
    s = ""
    c += 1
    while c:
        c, r = divmod(c - 1, 26)
        s = chr(65 + r) + s
    return s


def number_text(v):
    return repr(float(v))  # the shortest text that reads back the same, as openpyxl writes


def write_xlsx(path, rows):
    """rows: lists of (value, format) with format an int id or a code; value a float or a str."""
    codes, xfs, strings = {}, {}, {}
    xml_rows = []
    for r, row in enumerate(rows, 1):
        cells = []
        for c, (value, fmt) in enumerate(row):
            if isinstance(fmt, str):
                fid = codes.setdefault(fmt, 164 + len(codes))
            else:
                fid = fmt
            s = xfs.setdefault(fid, len(xfs) + 1)
            ref = f"{col_name(c)}{r}"
            if isinstance(value, str):
                k = strings.setdefault(value, len(strings))
                cells.append(f'<c r="{ref}" s="{s}" t="s"><v>{k}</v></c>')
            else:
                cells.append(f'<c r="{ref}" s="{s}"><v>{number_text(value)}</v></c>')
        xml_rows.append(f'<row r="{r}">{"".join(cells)}</row>')
    ns = 'xmlns="http://schemas.openxmlformats.org/spreadsheetml/2006/main"'
    rel = "http://schemas.openxmlformats.org/officeDocument/2006/relationships"
    num_fmts = "".join(f'<numFmt numFmtId="{i}" formatCode="{escape(code, {chr(34): "&quot;"})}"/>'
                       for code, i in codes.items())
    cell_xfs = '<xf numFmtId="0" fontId="0" fillId="0" borderId="0" xfId="0"/>' + "".join(
        f'<xf numFmtId="{fid}" fontId="0" fillId="0" borderId="0" xfId="0" applyNumberFormat="1"/>' for fid in xfs)
    styles = (f'<?xml version="1.0" encoding="UTF-8" standalone="yes"?><styleSheet {ns}>'
              f'<numFmts count="{len(codes)}">{num_fmts}</numFmts>'
              '<fonts count="1"><font><sz val="11"/><name val="Calibri"/></font></fonts>'
              '<fills count="2"><fill><patternFill patternType="none"/></fill><fill><patternFill patternType="gray125"/></fill></fills>'
              '<borders count="1"><border><left/><right/><top/><bottom/><diagonal/></border></borders>'
              '<cellStyleXfs count="1"><xf numFmtId="0" fontId="0" fillId="0" borderId="0"/></cellStyleXfs>'
              f'<cellXfs count="{len(xfs) + 1}">{cell_xfs}</cellXfs></styleSheet>')
    shared = "".join(f"<si><t>{escape(s)}</t></si>" for s in strings)
    files = {
        "[Content_Types].xml": '<?xml version="1.0" encoding="UTF-8" standalone="yes"?>'
        '<Types xmlns="http://schemas.openxmlformats.org/package/2006/content-types">'
        '<Default Extension="rels" ContentType="application/vnd.openxmlformats-package.relationships+xml"/>'
        '<Default Extension="xml" ContentType="application/xml"/>'
        '<Override PartName="/xl/workbook.xml" ContentType="application/vnd.openxmlformats-officedocument.spreadsheetml.sheet.main+xml"/>'
        '<Override PartName="/xl/worksheets/sheet1.xml" ContentType="application/vnd.openxmlformats-officedocument.spreadsheetml.worksheet+xml"/>'
        '<Override PartName="/xl/styles.xml" ContentType="application/vnd.openxmlformats-officedocument.spreadsheetml.styles+xml"/>'
        '<Override PartName="/xl/sharedStrings.xml" ContentType="application/vnd.openxmlformats-officedocument.spreadsheetml.sharedStrings+xml"/>'
        '</Types>',
        "_rels/.rels": '<?xml version="1.0" encoding="UTF-8" standalone="yes"?>'
        '<Relationships xmlns="http://schemas.openxmlformats.org/package/2006/relationships">'
        f'<Relationship Id="rId1" Type="{rel}/officeDocument" Target="xl/workbook.xml"/></Relationships>',
        "xl/workbook.xml": f'<?xml version="1.0" encoding="UTF-8" standalone="yes"?><workbook {ns} xmlns:r="{rel}">'
        '<sheets><sheet name="Sheet1" sheetId="1" r:id="rId1"/></sheets></workbook>',
        "xl/_rels/workbook.xml.rels": '<?xml version="1.0" encoding="UTF-8" standalone="yes"?>'
        '<Relationships xmlns="http://schemas.openxmlformats.org/package/2006/relationships">'
        f'<Relationship Id="rId1" Type="{rel}/worksheet" Target="worksheets/sheet1.xml"/>'
        f'<Relationship Id="rId2" Type="{rel}/styles" Target="styles.xml"/>'
        f'<Relationship Id="rId3" Type="{rel}/sharedStrings" Target="sharedStrings.xml"/></Relationships>',
        "xl/styles.xml": styles,
        "xl/sharedStrings.xml": f'<?xml version="1.0" encoding="UTF-8" standalone="yes"?><sst {ns}>{shared}</sst>',
        "xl/worksheets/sheet1.xml": f'<?xml version="1.0" encoding="UTF-8" standalone="yes"?><worksheet {ns}>'
        f'<sheetData>{"".join(xml_rows)}</sheetData></worksheet>',
    }
    with zipfile.ZipFile(path, "w", zipfile.ZIP_DEFLATED) as z:
        for name, text in files.items():
            z.writestr(name, text)


def label(fmt, v):
    text = f"{'#' + str(fmt) if isinstance(fmt, int) else fmt} <- {v!r}"
    # Days before 1900-03-01 are counted as Excel counts them (LibreOffice shows them a day earlier).
    early = not isinstance(v, str) and 0 <= v < 61 and shows_calendar(fmt)
    return ("early " if early else "") + text


def grid(formats, values):
    return [[(v, f) for v in values] for f in formats], [[label(f, v) for v in values] for f in formats]


# The committed fixtures: fewer values, as LibreOffice writes them where it matters (15 significant digits).
FIXTURE_VALUES = [4321.5678, -1234.567, 0.0, 0.5, serial(45538, 61552), 44031.5986111111, 45909.8128472222,
                  45852.8597222222, 0.999999988425926, 45000.5000053241, "abc"]


def workbooks(sweep, fixtures=False):
    """name -> (rows, labels): labels[r][c] says what cell (r, c) holds."""
    books = {}
    if fixtures:
        books["shown"] = grid(BUILT_IN + CODES, FIXTURE_VALUES)
        books["names"] = grid(NAME_CODES, NAME_VALUES)
        # every minute of a day, each with another second, on a date and alone
        rows, labels = [], []
        for m in range(1440):
            s = m * 60 + m * 7 % 60
            row = [(serial(44031, s), f) for f in ("hh:mm", "hh:mm:ss", "h:mm:ss AM/PM", "yyyy-mm-dd hh:mm:ss")]
            row.append((serial(0, s), "hh:mm:ss"))
            rows.append(row)
            labels.append([f"{f} <- {s}s" for _, f in row])
        books["times"] = (rows, labels)
        return books
    books["formats"] = grid(BUILT_IN + CODES, VALUES)
    books["names"] = grid(NAME_CODES, NAME_VALUES)
    if sweep:
        # every second of a day, alone and on a date, in time formats; then times with milliseconds
        time_formats = ["hh:mm:ss", "hh:mm", "h:mm AM/PM", "h:mm:ss AM/PM", "[h]:mm:ss", "yyyy-mm-dd hh:mm:ss"]
        rows, labels = [], []
        for s in range(86400):
            row, lab = [], []
            for base in (0, 45000, 44031):
                for fmt in time_formats:
                    row.append((serial(base, s), fmt))
                    lab.append(("early " if base == 0 and shows_calendar(fmt) else "") + f"{fmt} <- {base}+{s}s")
            rows.append(row)
            labels.append(lab)
        books["sweep"] = (rows, labels)
        rows, labels = [], []
        for k in range(0, 86400000, 8641):  # milliseconds
            row, lab = [], []
            for base in (0, 45000):
                for fmt in ("hh:mm:ss", "hh:mm:ss.0", "hh:mm:ss.00", "hh:mm:ss.000", "mm:ss.00"):
                    row.append((serial(base, k / 1000.0), fmt))
                    lab.append(f"{fmt} <- {base}+{k}ms")
            rows.append(row)
            labels.append(lab)
        books["fractions"] = (rows, labels)
        # fractions of a second on a tie (21.665 s), a half second and its neighbours, alone, elapsed and beside
        # dates whose distance from 1970 leaves them more or fewer places
        rows, labels = [], []
        formats = ("hh:mm:ss.00", "mm:ss.0", "[h]:mm:ss", "[h]:mm:ss.00", "[mm]:ss.0", "yyyy-mm-dd hh:mm:ss.00",
                   "dd hh:mm:ss.000", "yyyy-mm-dd hh:mm:ss")
        for base in (0, 1, 20000, 25000, 45000, 100000, 1157407):
            for k in range(400):
                tail = (k % 100) / 100 + 0.005
                if k % 7 == 0:
                    tail = (k % 10) / 10 + 0.05
                if k % 11 == 0:
                    tail = (0.5, 0.9995, 0.0005, 0.4995)[k % 4]
                s = (k * 7919) % 86400 + tail
                row = [(serial(base, s), fmt) for fmt in formats]
                rows.append(row)
                labels.append([("early " if base < 61 and shows_calendar(f) else "") + f"{f} <- {base}+{s!r}s"
                               for f in formats])
        books["ties"] = (rows, labels)
    return books


def libreoffice(locale, args, log):
    env = dict(os.environ, LC_ALL=f"{locale}.UTF-8", LANG=f"{locale}.UTF-8", LANGUAGE="")
    with tempfile.TemporaryDirectory() as profile:
        p = subprocess.run(["soffice", f"-env:UserInstallation=file://{profile}", "--headless", "--norestore"] + args,
                           env=env, capture_output=True, text=True, timeout=1800)
        log.write(p.stdout + p.stderr)


def convert_locale(locale, work, names):
    """LibreOffice's own xlsx of each workbook, and the CSV of both, under `locale`."""
    d = os.path.join(work, locale)
    os.makedirs(d, exist_ok=True)
    with open(os.path.join(d, "soffice.log"), "w") as log:
        made = [os.path.join(work, "made", n + ".xlsx") for n in names]
        libreoffice(locale, ["--convert-to", "xlsx", "--outdir", os.path.join(d, "lo")] + made, log)
        libreoffice(locale, ["--convert-to", CSV_FILTER, "--outdir", os.path.join(d, "csv_made")] + made, log)
        lo = [os.path.join(d, "lo", n + ".xlsx") for n in names]
        libreoffice(locale, ["--convert-to", CSV_FILTER, "--outdir", os.path.join(d, "csv_lo")] + lo, log)
    return locale


def read_csv(path):
    with open(path, encoding="utf-8", newline="") as f:
        return list(csv.reader(f))


def cell(rows, r, c):
    return rows[r][c] if r < len(rows) and c < len(rows[r]) else ""


def main():
    args = sys.argv[1:]
    if len(args) < 2:
        print(__doc__)
        return 2
    tool, work = os.path.abspath(args[0]), os.path.abspath(args[1])
    locales = LOCALES
    if "--locales" in args:
        locales = args[args.index("--locales") + 1].split(",")
    sweep, reuse = "--sweep" in args, "--reuse" in args
    fixtures = args[args.index("--fixtures") + 1] if "--fixtures" in args else None
    books = workbooks(sweep, fixtures is not None)
    os.makedirs(os.path.join(work, "made"), exist_ok=True)
    for name, (rows, _) in books.items():
        write_xlsx(os.path.join(work, "made", name + ".xlsx"), rows)
    names = list(books)
    if not reuse:
        with ThreadPoolExecutor(max_workers=3) as pool:
            for done in pool.map(lambda l: convert_locale(l, work, names), locales):
                print("LibreOffice done:", done, flush=True)
    mismatches = open(os.path.join(work, "mismatches.txt"), "w", encoding="utf-8")
    total_match = total = 0
    early = [0, 0]
    for locale in locales:
        d = os.path.join(work, locale)
        line = [f"{locale}:"]
        for kind in ("made", "lo"):
            ours_dir = os.path.join(d, "ours_" + kind)
            os.makedirs(ours_dir, exist_ok=True)
            pairs = []
            for n in names:
                book = os.path.join(work, "made", n + ".xlsx") if kind == "made" else os.path.join(d, "lo", n + ".xlsx")
                pairs += [book, os.path.join(ours_dir, n + ".csv")]
            subprocess.run([tool, locale] + pairs, check=False)
            for n in names:
                theirs = read_csv(os.path.join(d, "csv_" + kind, n + ".csv"))
                ours = read_csv(os.path.join(ours_dir, n + ".csv"))
                labels = books[n][1]
                match = count = 0
                for r, lab_row in enumerate(labels):
                    for c, lab in enumerate(lab_row):
                        a, b = cell(theirs, r, c), cell(ours, r, c)
                        if lab.startswith("early "):
                            early[0] += 1
                            early[1] += a == b
                            continue
                        count += 1
                        if a == b:
                            match += 1
                        else:
                            mismatches.write(f"{locale} {kind} {n}: {lab}: LibreOffice {a!r}, ours {b!r}\n")
                line.append(f"{n}/{kind} {match}/{count}")
                total_match += match
                total += count
        print(" ".join(line), flush=True)
    print(f"all: {total_match}/{total}")
    print(f"left out: {early[0]} cells of days before 1900-03-01 in date formats ({early[1]} agree)")
    if fixtures:
        # the workbooks as made, LibreOffice's own of the times, and what LibreOffice shows in each locale
        os.makedirs(fixtures, exist_ok=True)
        for n in ("shown", "names"):
            shutil.copy(os.path.join(work, "made", n + ".xlsx"), os.path.join(fixtures, n + ".xlsx"))
            labels = books[n][1]
            for locale in locales:
                # one row a line, tabs between cells; cells of days LibreOffice counts otherwise are left empty
                shown = read_csv(os.path.join(work, locale, "csv_made", n + ".csv"))
                with open(os.path.join(fixtures, f"{n}-{locale}.tsv"), "w", encoding="utf-8", newline="\n") as f:
                    for r, lab_row in enumerate(labels):
                        f.write("\t".join("" if lab.startswith("early ") else cell(shown, r, c)
                                          for c, lab in enumerate(lab_row)) + "\n")
        shutil.copy(os.path.join(work, locales[-1], "lo", "times.xlsx"), os.path.join(fixtures, "times.xlsx"))
    return 0


if __name__ == "__main__":
    sys.exit(main())
