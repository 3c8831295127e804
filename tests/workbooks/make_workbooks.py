"""Workbooks as the programs people use write them, for the tests of
`rfc batch` over workbooks: openpyxl's, LibreOffice's (made from CSV, and
OpenDocument spreadsheets made from CSV and from the .xlsx files here), and
a few written by hand in Excel's and LibreOffice's own habits.

Each workbook comes with the table its sheet of people shows, as text, so
that a test can write the same table as CSV and compare what `rfc batch`
adds to both.

Usage: make_workbooks.py OUTDIR   (run with Debian's /usr/bin/python3)
"""
import csv
import datetime
import os
import shutil
import subprocess
import sys
import zipfile

sys.path.insert(0, os.path.join(os.path.dirname(__file__), "..", "recorded"))
from corpus import PEOPLE  # noqa: E402

import openpyxl  # noqa: E402
from openpyxl.styles import Font  # noqa: E402
from openpyxl.worksheet.table import Table  # noqa: E402

HEADER = ["paterno", "materno", "nombre", "fecha"]



def profile_option(folder):
    """A LibreOffice profile of the run's own: a conversion waits for any
    other LibreOffice that uses the same profile, as a test run beside a
    person's LibreOffice, or another test, would."""
    return "-env:UserInstallation=file://" + os.path.abspath(os.path.join(folder, "lo-profile"))

def shown(p):
    # What a cell shows: line breaks inside names stay.
    return [p[0], p[1], p[2], p[3]]


def as_date(text):
    """The date a spreadsheet would hold for `text`, when it is ISO."""
    try:
        return datetime.datetime.strptime(text, "%Y-%m-%d")
    except ValueError:
        return None


def write_table(path, header, rows):
    with open(path, "w", newline="", encoding="utf-8") as f:
        w = csv.writer(f)
        w.writerow(header)
        w.writerows(rows)


def plain(out):
    wb = openpyxl.Workbook()
    ws = wb.active
    ws.title = "Hoja1"
    ws.append(HEADER)
    rows = [shown(p) for p in PEOPLE]
    for r in rows:
        ws.append(r)
    wb.save(os.path.join(out, "plain.xlsx"))
    return {"file": "plain.xlsx", "sheet": "Hoja1", "header_row": 1}


def many(out):
    """Rows enough for a conversion to tell its progress as it goes."""
    wb = openpyxl.Workbook(write_only=True)
    ws = wb.create_sheet("Muchas")
    ws.append(HEADER)
    rows = [shown(p) for p in PEOPLE]
    for i in range(12000):
        ws.append(rows[i % len(rows)])
    wb.save(os.path.join(out, "many.xlsx"))
    return {"file": "many.xlsx", "sheet": "Muchas", "header_row": 1}


def office(out, epoch=None, name="office.xlsx"):
    """A cover sheet, then the people under titles, with real dates in a
    date style, a formula, held keys, an autofilter, widths and a table."""
    wb = openpyxl.Workbook()
    if epoch is not None:
        wb.epoch = epoch
    cover = wb.active
    cover.title = "Portada"
    cover["A1"] = "Nómina quincenal"
    cover["A2"] = "Empresa Ejemplo S.A. de C.V."
    ws = wb.create_sheet("Empleados")
    ws["A1"] = "Nómina quincenal 2026"
    ws["A1"].font = Font(bold=True)
    ws.merge_cells("A1:D1")
    header = ["No. Empleado", "Nombre(s)", "Apellido Paterno", "Apellido Materno",
              "Fecha de Nacimiento", "RFC Empleado", "Longitud"]
    ws.append([])
    ws.append(header)
    rows = []
    for i, p in enumerate(PEOPLE, start=1):
        date = as_date(p[3])
        row_number = ws.max_row + 1
        ws.append([i, p[2], p[0], p[1], date if date else p[3], p[5],
                   "=LEN(C%d)" % row_number])
        if date:
            ws.cell(row=row_number, column=5).number_format = "dd/mm/yyyy"
        rows.append([str(i), p[2], p[0], p[1], p[3], p[5]])
    ws.column_dimensions["B"].width = 30
    ws.column_dimensions["C"].width = 20
    ws.auto_filter.ref = "A3:G%d" % ws.max_row
    wb.create_sheet("Notas")["A1"] = "sin datos"
    wb.save(os.path.join(out, name))
    return {"file": name, "sheet": "Empleados", "header_row": 3}


def template(out):
    """A payroll service's template: names "of the worker", an empty styled
    "RFC Empleado" column to fill, all in a table with a style."""
    wb = openpyxl.Workbook()
    ws = wb.active
    ws.title = "Plantilla"
    header = ["Nombre del trabajador", "Apellido paterno del trabajador",
              "Apellido Materno Colaborador", "Fecha Nacimiento", "RFC Empleado"]
    ws.append(header)
    for p in PEOPLE:
        ws.append([p[2], p[0], p[1], p[3], p[5] or None])
        ws.cell(row=ws.max_row, column=5).font = Font(color="FF0000")
    table = Table(displayName="Trabajadores", ref="A1:E%d" % ws.max_row)
    ws.add_table(table)
    wb.save(os.path.join(out, "template.xlsx"))
    return {"file": "template.xlsx", "sheet": "Plantilla", "header_row": 1,
            "args": ["--fill-empty"], "fill_column": 5}


def libreoffice(out, cases):
    """LibreOffice's own .xlsx of CSV files: dates it recognises become date
    cells in its date styles."""
    made = []
    for case in cases:
        csv_path = os.path.join(out, case["file"].replace(".xlsx", ".csv"))
        write_table(csv_path, HEADER, [shown(p) for p in PEOPLE])
        made.append(csv_path)
    subprocess.run(["soffice", profile_option(out), "--headless", "--convert-to", "xlsx", "--outdir", out] + made,
                   check=True, stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL,
                   timeout=300)
    for path in made:
        os.remove(path)
    return cases


SHEET_HEAD = ('<?xml version="1.0" encoding="UTF-8" standalone="yes"?>\n'
              '<x:worksheet xmlns:x="http://schemas.openxmlformats.org/spreadsheetml/2006/main" '
              'xmlns:r="http://schemas.openxmlformats.org/officeDocument/2006/relationships">')


def by_hand(out):
    """Excel's habits: shared strings with rich text and phonetic runs,
    inline strings, escapes, rows and cells without references, a prefix
    on every element, t="d", booleans, an error and a formula without its
    value, the 1904 date system."""
    strings = ["paterno", "materno", "nombre", "fecha",
               '<r><t>PE</t></r><r><rPr><b/></rPr><t>REZ</t></r><rPh sb="0" eb="1"><t>ペ</t></rPh>',
               "LOPEZ", "JUAN", "GARC_x00CD_A"]
    sst = ('<?xml version="1.0" encoding="UTF-8"?>'
           '<sst xmlns="http://schemas.openxmlformats.org/spreadsheetml/2006/main" count="8" '
           'uniqueCount="8">' + "".join(
               "<si>%s</si>" % (s if s.startswith("<r>") else "<t>%s</t>" % s) for s in strings)
           + "</sst>")
    styles = ('<?xml version="1.0" encoding="UTF-8"?>'
              '<styleSheet xmlns="http://schemas.openxmlformats.org/spreadsheetml/2006/main">'
              '<numFmts count="1"><numFmt numFmtId="164" formatCode="DD/MM/AAAA"/></numFmts>'
              '<fonts count="1"><font><sz val="11"/><name val="Calibri"/></font></fonts>'
              '<fills count="1"><fill><patternFill patternType="none"/></fill></fills>'
              '<borders count="1"><border/></borders>'
              '<cellStyleXfs count="1"><xf numFmtId="0" fontId="0" fillId="0" borderId="0"/></cellStyleXfs>'
              '<cellXfs count="3"><xf numFmtId="0" fontId="0" fillId="0" borderId="0" xfId="0"/>'
              '<xf numFmtId="14" fontId="0" fillId="0" borderId="0" xfId="0" applyNumberFormat="1"/>'
              '<xf numFmtId="164" fontId="0" fillId="0" borderId="0" xfId="0" applyNumberFormat="1"/>'
              '</cellXfs></styleSheet>')
    sheet = (SHEET_HEAD +
             '<x:dimension ref="A1:D9"/><x:sheetData>'
             '<x:row><x:c t="s"><x:v>0</x:v></x:c><x:c t="s"><x:v>1</x:v></x:c>'
             '<x:c t="s"><x:v>2</x:v></x:c><x:c t="s"><x:v>3</x:v></x:c></x:row>'
             # rich text and a built-in date style, 1904 days
             '<x:row><x:c t="s"><x:v>4</x:v></x:c><x:c t="s"><x:v>5</x:v></x:c>'
             '<x:c t="s"><x:v>6</x:v></x:c><x:c s="1"><x:v>27773</x:v></x:c></x:row>'
             # inline strings with an escape, a custom date style
             '<x:row r="4"><x:c r="A4" t="inlineStr"><x:is><x:t>Mu_x00F1_oz</x:t></x:is></x:c>'
             '<x:c r="B4" t="inlineStr"><x:is><x:t xml:space="preserve"> RUIZ </x:t></x:is></x:c>'
             '<x:c r="C4" t="inlineStr"><x:is><x:t>ANA</x:t></x:is></x:c>'
             '<x:c r="D4" s="2"><x:v>31000.75</x:v></x:c></x:row>'
             # t="d", a cell skipped before it, a shared string with an escape
             '<x:row r="5"><x:c r="A5" t="s"><x:v>7</x:v></x:c><x:c r="C5" t="str"><x:f>"LUIS"</x:f>'
             '<x:v>LUIS</x:v></x:c><x:c r="D5" t="d"><x:v>1985-05-05T00:00:00</x:v></x:c></x:row>'
             # an error in the date, formulas without their values
             '<x:row r="6"><x:c r="A6" t="inlineStr"><x:is><x:t>SOTO</x:t></x:is></x:c>'
             '<x:c r="B6" t="inlineStr"><x:is><x:t>VEGA</x:t></x:is></x:c>'
             '<x:c r="C6" t="inlineStr"><x:is><x:t>EVA</x:t></x:is></x:c>'
             '<x:c r="D6" t="e"><x:v>#N/A</x:v></x:c></x:row>'
             '<x:row r="7"><x:c r="A7" t="inlineStr"><x:is><x:t>SOTO</x:t></x:is></x:c>'
             '<x:c r="B7" t="inlineStr"><x:is><x:t>VEGA</x:t></x:is></x:c>'
             '<x:c r="C7" t="inlineStr"><x:is><x:t>EVA</x:t></x:is></x:c>'
             '<x:c r="D7"><x:f>DATE(1990,1,1)</x:f></x:c></x:row>'
             '<x:row r="8"><x:c r="A8" t="str"><x:f>A7</x:f></x:c>'
             '<x:c r="B8" t="inlineStr"><x:is><x:t>VEGA</x:t></x:is></x:c>'
             '<x:c r="C8" t="inlineStr"><x:is><x:t>EVA</x:t></x:is></x:c>'
             '<x:c r="D8" t="b"><x:v>1</x:v></x:c></x:row>'
             # a plain day number in the date column, 1904 days; a style alone past it
             '<x:row r="9" spans="1:6"><x:c r="A9" t="inlineStr"><x:is><x:t>RIOS</x:t></x:is></x:c>'
             '<x:c r="B9" t="inlineStr"><x:is><x:t>PAZ</x:t></x:is></x:c>'
             '<x:c r="C9" t="inlineStr"><x:is><x:t>OMAR</x:t></x:is></x:c>'
             '<x:c r="D9"><x:v>27773</x:v></x:c><x:c r="F9" s="1"/></x:row>'
             '</x:sheetData></x:worksheet>')
    parts = [
        ("[Content_Types].xml",
         '<?xml version="1.0" encoding="UTF-8"?>'
         '<Types xmlns="http://schemas.openxmlformats.org/package/2006/content-types">'
         '<Default Extension="rels" ContentType="application/vnd.openxmlformats-package.relationships+xml"/>'
         '<Default Extension="xml" ContentType="application/xml"/>'
         '<Override PartName="/xl/workbook.xml" ContentType="application/vnd.openxmlformats-officedocument.spreadsheetml.sheet.main+xml"/>'
         '<Override PartName="/xl/worksheets/sheet1.xml" ContentType="application/vnd.openxmlformats-officedocument.spreadsheetml.worksheet+xml"/>'
         '<Override PartName="/xl/sharedStrings.xml" ContentType="application/vnd.openxmlformats-officedocument.spreadsheetml.sharedStrings+xml"/>'
         '<Override PartName="/xl/styles.xml" ContentType="application/vnd.openxmlformats-officedocument.spreadsheetml.styles+xml"/>'
         '</Types>'),
        ("_rels/.rels",
         '<?xml version="1.0" encoding="UTF-8"?>'
         '<Relationships xmlns="http://schemas.openxmlformats.org/package/2006/relationships">'
         '<Relationship Id="rId1" Type="http://schemas.openxmlformats.org/officeDocument/2006/relationships/officeDocument" Target="xl/workbook.xml"/>'
         '</Relationships>'),
        ("xl/workbook.xml",
         '<?xml version="1.0" encoding="UTF-8"?>'
         '<workbook xmlns="http://schemas.openxmlformats.org/spreadsheetml/2006/main" '
         'xmlns:r="http://schemas.openxmlformats.org/officeDocument/2006/relationships">'
         '<workbookPr date1904="1"/><sheets><sheet name="Personal" sheetId="1" r:id="rId1"/></sheets>'
         '</workbook>'),
        ("xl/_rels/workbook.xml.rels",
         '<?xml version="1.0" encoding="UTF-8"?>'
         '<Relationships xmlns="http://schemas.openxmlformats.org/package/2006/relationships">'
         '<Relationship Id="rId1" Type="http://schemas.openxmlformats.org/officeDocument/2006/relationships/worksheet" Target="/xl/worksheets/sheet1.xml"/>'
         '<Relationship Id="rId2" Type="http://schemas.openxmlformats.org/officeDocument/2006/relationships/sharedStrings" Target="sharedStrings.xml"/>'
         '<Relationship Id="rId3" Type="http://schemas.openxmlformats.org/officeDocument/2006/relationships/styles" Target="styles.xml"/>'
         '</Relationships>'),
        ("xl/worksheets/sheet1.xml", sheet),
        ("xl/sharedStrings.xml", sst),
        ("xl/styles.xml", styles),
    ]
    path = os.path.join(out, "by-hand.xlsx")
    with zipfile.ZipFile(path, "w", zipfile.ZIP_DEFLATED) as z:
        for name, text in parts:
            z.writestr(zipfile.ZipInfo(name, (2024, 5, 6, 7, 8, 10)), text.encode("utf-8"),
                       zipfile.ZIP_DEFLATED)
    # Rows 6 to 8 hold an error and formulas without their values where the
    # people are read.
    return {"file": "by-hand.xlsx", "sheet": "Personal", "header_row": 1, "unreadable": [6, 7, 8],
            "date_column": 4}


def ods_from(out, sources, cases):
    """LibreOffice's .ods of CSV files and of workbooks made here: its own
    repeated rows and cells, date cells, merged titles, several tables."""
    subprocess.run(["soffice", "--headless", "--convert-to", "ods", "--outdir", out] + sources,
                   check=True, stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL,
                   timeout=300)
    return cases


ODS_HEAD = ('<?xml version="1.0" encoding="UTF-8"?>'
            '<office:document-content '
            'xmlns:office="urn:oasis:names:tc:opendocument:xmlns:office:1.0" '
            'xmlns:style="urn:oasis:names:tc:opendocument:xmlns:style:1.0" '
            'xmlns:fo="urn:oasis:names:tc:opendocument:xmlns:xsl-fo-compatible:1.0" '
            'xmlns:t="urn:oasis:names:tc:opendocument:xmlns:table:1.0" '
            'xmlns:x="urn:oasis:names:tc:opendocument:xmlns:text:1.0" '
            'xmlns:of="urn:oasis:names:tc:opendocument:xmlns:of:1.2" '
            'xmlns:number="urn:oasis:names:tc:opendocument:xmlns:datastyle:1.0" '
            'office:version="1.3">')


def ods_cell(text, extra=""):
    return ('<t:table-cell office:value-type="string"%s><x:p>%s</x:p></t:table-cell>'
            % (extra, text))


def ods_by_hand(out):
    """LibreOffice's habits written by hand, with `t:` and `x:` for its
    prefixes: a title merged over the table, a header cell merged over two
    columns, rows and cells repeated, runs of spaces, a note, a date cell, a
    formula without its value and an error, and a million empty rows."""
    rows = [
        # a title merged over six columns
        '<t:table-row><t:table-cell t:number-columns-spanned="6" office:value-type="string">'
        '<x:p>Nómina</x:p></t:table-cell><t:covered-table-cell t:number-columns-repeated="5"/>'
        '<t:table-cell t:number-columns-repeated="1018"/></t:table-row>',
        '<t:table-row>' + "".join(ods_cell(h) for h in HEADER) +
        '<t:table-cell t:number-columns-repeated="1020"/></t:table-row>',
        # the same person three times, trailing cells repeated
        '<t:table-row t:number-rows-repeated="3">' + ods_cell("PEREZ") + ods_cell("LOPEZ") +
        ods_cell("JUAN") + '<t:table-cell t:style-name="ce1" office:value-type="date" '
        'office:date-value="1980-01-15"><x:p>15/01/80</x:p></t:table-cell>'
        '<t:table-cell t:number-columns-repeated="1020"/></t:table-row>',
        # spaces, a span, a note
        '<t:table-row>' + ods_cell("DE LA<x:s/> CRUZ") +
        '<t:table-cell office:value-type="string"><office:annotation><x:p>revisar</x:p>'
        '</office:annotation><x:p>MU<x:span>ÑOZ</x:span></x:p></t:table-cell>' +
        ods_cell("ANA") + '<t:table-cell office:value-type="float" office:value="31000">'
        '<x:p>31000</x:p></t:table-cell><t:table-cell t:number-columns-repeated="1020"/>'
        '</t:table-row>',
        # a formula without its value, an error
        '<t:table-row>' + ods_cell("SOTO") + ods_cell("VEGA") + ods_cell("EVA") +
        '<t:table-cell t:formula="of:=DATE(1990;1;1)"/></t:table-row>',
        '<t:table-row>' + ods_cell("SOTO") + ods_cell("VEGA") + ods_cell("EVA") +
        '<t:table-cell t:formula="of:=NA()" office:value-type="string" office:string-value=""'
        '><x:p>#N/A</x:p></t:table-cell></t:table-row>',
        '<t:table-row t:number-rows-repeated="1048568"><t:table-cell '
        't:number-columns-repeated="1024"/></t:table-row>',
    ]
    content = (ODS_HEAD + '<office:automatic-styles><style:style style:name="co1" '
               'style:family="table-column"><style:table-column-properties '
               'style:column-width="2.5cm"/></style:style><number:date-style style:name="N1">'
               '<number:year number:style="long"/><number:text>-</number:text>'
               '<number:month number:style="long"/><number:text>-</number:text>'
               '<number:day number:style="long"/></number:date-style><style:style '
               'style:name="ce1" style:family="table-cell" style:data-style-name="N1"/>'
               '</office:automatic-styles>'
               '<office:body><office:spreadsheet><t:table t:name="Portada"><t:table-row>' +
               ods_cell("Empresa") + '</t:table-row></t:table><t:table t:name="Personal">'
               '<t:table-column t:style-name="co1" t:number-columns-repeated="1024"/>' +
               "".join(rows) + '</t:table></office:spreadsheet></office:body>'
               '</office:document-content>')
    manifest = ('<?xml version="1.0" encoding="UTF-8"?><manifest:manifest '
                'xmlns:manifest="urn:oasis:names:tc:opendocument:xmlns:manifest:1.0" '
                'manifest:version="1.3"><manifest:file-entry manifest:full-path="/" '
                'manifest:media-type="application/vnd.oasis.opendocument.spreadsheet"/>'
                '<manifest:file-entry manifest:full-path="content.xml" '
                'manifest:media-type="text/xml"/></manifest:manifest>')
    path = os.path.join(out, "by-hand.ods")
    with zipfile.ZipFile(path, "w") as z:
        when = (2024, 5, 6, 7, 8, 10)
        z.writestr(zipfile.ZipInfo("mimetype", when),
                   b"application/vnd.oasis.opendocument.spreadsheet", zipfile.ZIP_STORED)
        z.writestr(zipfile.ZipInfo("content.xml", when), content.encode("utf-8"),
                   zipfile.ZIP_DEFLATED)
        z.writestr(zipfile.ZipInfo("META-INF/manifest.xml", when), manifest.encode("utf-8"),
                   zipfile.ZIP_DEFLATED)
    # Rows 7 and 8 hold a formula without its value and an error where the
    # people are read.
    return {"file": "by-hand.ods", "sheet": "Personal", "sheet_number": 2, "header_row": 2,
            "unreadable": [7, 8]}


def main():
    out = sys.argv[1]
    os.makedirs(out, exist_ok=True)
    cases = [plain(out), office(out), template(out), many(out)]
    from openpyxl.utils.datetime import CALENDAR_MAC_1904
    cases.append(office(out, CALENDAR_MAC_1904, "office-1904.xlsx"))
    lo = [{"file": "libreoffice.xlsx", "sheet": "libreoffice", "header_row": 1}]
    if shutil.which("soffice"):
        cases += libreoffice(out, lo)
    cases.append(by_hand(out))
    if shutil.which("soffice"):
        csv_path = os.path.join(out, "libreoffice-ods.csv")
        write_table(csv_path, HEADER, [shown(p) for p in PEOPLE])
        cases += ods_from(out, [csv_path, os.path.join(out, "office.xlsx"),
                                os.path.join(out, "plain.xlsx")], [
            {"file": "libreoffice-ods.ods", "sheet": "libreoffice-ods", "sheet_number": 1,
             "header_row": 1},
            {"file": "office.ods", "sheet": "Empleados", "sheet_number": 2, "header_row": 3},
            {"file": "plain.ods", "sheet": "Hoja1", "sheet_number": 1, "header_row": 1},
        ])
        os.remove(csv_path)
    cases.append(ods_by_hand(out))
    import json
    with open(os.path.join(out, "cases.json"), "w", encoding="utf-8") as f:
        json.dump(cases, f, ensure_ascii=False, indent=1)


if __name__ == "__main__":
    main()
