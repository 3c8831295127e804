"""What `rfc batch` gives back for workbooks, checked as the programs that
open it would see it.

For each workbook made by make_workbooks.py:
- the output is the same bytes on a second run;
- it holds the input's parts, in the input's order with the input's times,
  and every part but the sheet of people is the same once inflated;
- every XML part is well formed (xmllint);
- what Excel requires of a sheet holds (the checklist below);
- openpyxl reads it, and the two added cells of every row are what
  `rfc batch` adds to the same table saved as CSV (the table as openpyxl
  reads the input);
- LibreOffice opens it and shows the same added cells.

For each OpenDocument spreadsheet (.ods), which openpyxl cannot read, the
same as far as it makes sense: the same bytes on a second run, the same
parts in order with their times, mimetype first and stored, the other parts
unchanged, every XML part well formed, and the added cells, as LibreOffice
shows the output, what `rfc batch` adds to the table as LibreOffice saves
the input as CSV.

Usage: check_workbooks.py RFC WORKDIR   (run with Debian's /usr/bin/python3)
"""
import csv
import datetime
import io
import json
import os
import re
import shutil
import subprocess
import sys
import zipfile
import xml.etree.ElementTree as ET

import openpyxl

MAIN = "{http://schemas.openxmlformats.org/spreadsheetml/2006/main}"
failures = []



def profile_option(folder):
    """A LibreOffice profile of the run's own: a conversion waits for any
    other LibreOffice that uses the same profile, as a test run beside a
    person's LibreOffice, or another test, would."""
    return "-env:UserInstallation=file://" + os.path.abspath(os.path.join(folder, "lo-profile"))

def fail(case, text):
    failures.append("%s: %s" % (case["file"], text))


def run_rfc(rfc, args, path):
    with open(path, "rb") as f:
        done = subprocess.run([rfc, "batch"] + args, stdin=f, capture_output=True, timeout=120)
    return done.returncode, done.stdout, done.stderr.decode("utf-8", "replace")


ESCAPE = re.compile(r"_x([0-9A-Fa-f]{4})_")


def text_of(value):
    """A cell's value as the text a CSV saved from it would hold: Office's
    _xHHHH_ escapes undone, which openpyxl leaves as they are."""
    if value is None:
        return ""
    if isinstance(value, bool):
        return "TRUE" if value else "FALSE"
    if isinstance(value, datetime.datetime):
        return value.strftime("%Y-%m-%d")
    if isinstance(value, float) and value.is_integer():
        return str(int(value))
    if isinstance(value, str):
        return ESCAPE.sub(lambda m: chr(int(m.group(1), 16)), value)
    return str(value)


def column_index(ref):
    letters = re.match(r"[A-Z]+", ref).group(0)
    n = 0
    for c in letters:
        n = n * 26 + ord(c) - 64
    return n


def row_index(ref):
    return int(re.search(r"\d+", ref).group(0))


# What Excel requires of a package it opens without offering a repair, as far
# as a workbook written here goes; each is asserted on every output:
#  1. every XML part well formed, no character XML 1.0 cannot hold (controls
#     are written as _xHHHH_ escapes): xmllint, in check_case;
#  2. every part has a content type, by its own Override or its extension's
#     Default, and every relationship's internal target is a part;
#  3. rows in ascending order, each cell in its row (its reference's row is
#     the row's), cells in ascending column order, no reference twice;
#  4. an inline string cell has its <is>; no cell longer than 32,767
#     characters;
#  5. a row's spans, when it has them, cover its cells;
#  6. the dimension covers every cell;
#  7. column widths (cols) before sheetData, each min <= max, in order and
#     not overlapping;
#  8. an autofilter within the dimension, and a table's columns counted and
#     named once each, the added ones named as their header cells (check_case).
def relationships_resolve(case, zf):
    names = set(zf.namelist())
    for name in zf.namelist():
        if not name.endswith(".rels"):
            continue
        folder = name.rsplit("_rels/", 1)[0]
        for rel in ET.fromstring(zf.read(name)):
            target = rel.get("Target")
            if rel.get("TargetMode") == "External" or not target:
                continue
            path = target.lstrip("/") if target.startswith("/") else os.path.normpath(folder + target)
            if path not in names:
                fail(case, "%s names %s, which the package lacks" % (name, path))


def excel_checklist(case, sheet_xml, content_types, names, added):
    root = ET.fromstring(sheet_xml)
    rows = root.findall(f"{MAIN}sheetData/{MAIN}row")
    last_row = 0
    max_col = 0
    for row in rows:
        r = int(row.get("r", last_row + 1))
        if r <= last_row:
            fail(case, "rows not in ascending order at %d" % r)
        last_row = r
        last_col = 0
        for c in row.findall(f"{MAIN}c"):
            ref = c.get("r")
            col = column_index(ref) if ref else last_col + 1
            if ref and row_index(ref) != r:
                fail(case, "cell %s in row %d" % (ref, r))
            if col <= last_col:
                fail(case, "cells not in column order in row %d" % r)
            last_col = col
            max_col = max(max_col, col)
            if col > added and c.get("t") == "inlineStr" and c.find(f"{MAIN}is") is None:
                fail(case, "inline string without <is> at %s" % ref)
            for t in c.iter(f"{MAIN}t"):
                if t.text and len(t.text) > 32767:
                    fail(case, "a cell longer than Excel holds at %s" % ref)
        spans = row.get("spans")
        if spans and last_col:
            low, high = (int(x) for x in spans.split(":"))
            if last_col > high:
                fail(case, "row %d spans %s but has a cell in column %d" % (r, spans, last_col))
    dimension = root.find(f"{MAIN}dimension")
    if dimension is not None and ":" in dimension.get("ref"):
        last = dimension.get("ref").split(":")[1]
        if column_index(last) < max_col or row_index(last) < last_row:
            fail(case, "dimension %s does not cover the cells" % dimension.get("ref"))
    previous = 0
    for col in root.findall(f"{MAIN}cols/{MAIN}col"):
        low, high = int(col.get("min")), int(col.get("max"))
        if low > high or low <= previous:
            fail(case, "column widths overlap or are out of order at %d:%d" % (low, high))
        previous = high
    children = [child.tag for child in root]
    if f"{MAIN}cols" in children and children.index(f"{MAIN}cols") > children.index(f"{MAIN}sheetData"):
        fail(case, "cols after sheetData")
    autofilter = root.find(f"{MAIN}autoFilter")
    if autofilter is not None and dimension is not None:
        if column_index(autofilter.get("ref").split(":")[-1]) > column_index(dimension.get("ref").split(":")[-1]):
            fail(case, "the autofilter reaches past the dimension")
    types = ET.fromstring(content_types)
    overrides = {o.get("PartName") for o in types if o.tag.endswith("Override")}
    defaults = {d.get("Extension") for d in types if d.tag.endswith("Default")}
    for name in names:
        if name.endswith("/"):
            continue
        if "/" + name not in overrides and name.rsplit(".", 1)[-1] not in defaults:
            fail(case, "part %s has no content type" % name)


def sheet_part(zf, sheet_name):
    wb = ET.fromstring(zf.read("xl/workbook.xml"))
    rels = ET.fromstring(zf.read("xl/_rels/workbook.xml.rels"))
    rid = None
    for s in wb.iter(f"{MAIN}sheet"):
        if s.get("name") == sheet_name:
            rid = s.get("{http://schemas.openxmlformats.org/officeDocument/2006/relationships}id")
    for r in rels:
        if r.get("Id") == rid:
            target = r.get("Target")
            return target.lstrip("/") if target.startswith("/") else "xl/" + target
    return None


def check_case(rfc, work, case):
    path = os.path.join(work, case["file"])
    rc, out, err = run_rfc(rfc, case.get("args", []), path)
    if rc not in (0, 1, 5, 6):
        fail(case, "rfc batch exited %d: %s" % (rc, err))
        return None
    again = run_rfc(rfc, case.get("args", []), path)
    if again[1] != out:
        fail(case, "a second run wrote other bytes")
    out_path = os.path.join(work, "out-" + case["file"])
    with open(out_path, "wb") as f:
        f.write(out)

    zin, zout = zipfile.ZipFile(path), zipfile.ZipFile(out_path)
    if zout.testzip() is not None:
        fail(case, "a part fails its CRC")
    part = sheet_part(zin, case["sheet"])
    ins, outs = zin.infolist(), zout.infolist()
    if [i.filename for i in ins] != [o.filename for o in outs]:
        fail(case, "parts differ: %s" % [o.filename for o in outs])
    for i, o in zip(ins, outs):
        if i.date_time != o.date_time:
            fail(case, "%s changed its time" % i.filename)
        changed = zin.read(i) != zout.read(o)
        if i.filename == "xl/workbook.xml" and changed:
            # Only the hidden name of the autofilter's range, grown with it.
            name = re.compile(rb"(_xlnm\._FilterDatabase[^>]*>[^<]*!)[^<]*<")
            changed = name.sub(rb"\1<", zin.read(i)) != name.sub(rb"\1<", zout.read(o))
        if i.filename != part and not i.filename.startswith("xl/tables/") and changed:
            fail(case, "%s changed" % i.filename)
        if i.filename.endswith((".xml", ".rels")):
            lint = subprocess.run(["xmllint", "--noout", "-"], input=zout.read(o),
                                  capture_output=True)
            if lint.returncode != 0:
                fail(case, "%s is no well-formed XML: %s" % (o.filename, lint.stderr[:300]))
    # The table as openpyxl reads the input, as CSV, through rfc batch.
    workbook_in = openpyxl.load_workbook(path, data_only=True)
    book_in = workbook_in[case["sheet"]]
    book_out = openpyxl.load_workbook(out_path, data_only=True)[case["sheet"]]
    header_row = case["header_row"]
    header_out = [text_of(c.value) for c in book_out[header_row]]
    added = next(i for i, v in enumerate(header_out) if v in ("rfc", "rfc_calculado"))
    excel_checklist(case, zout.read(part), zout.read("[Content_Types].xml"), zout.namelist(),
                    added)
    relationships_resolve(case, zout)
    # A table over the header takes in the added columns, named as their cells.
    for name in zout.namelist():
        if name.startswith("xl/tables/"):
            table = ET.fromstring(zout.read(name))
            columns = table.find(f"{MAIN}tableColumns")
            names = [c.get("name") for c in columns]
            if int(columns.get("count")) != len(names) or len(set(names)) != len(names):
                fail(case, "%s: its columns are miscounted or named twice" % name)
            if column_index(table.get("ref").split(":")[1]) != added + 2 or names[-2:] != header_out[added:added + 2]:
                fail(case, "%s does not take in the added columns: %s" % (name, table.get("ref")))
    # A plain day number in the date column counts from 1904 in a workbook
    # of that date system; the CSV's counts from 1900.
    date_column = case.get("date_column")
    shift = 1462 if workbook_in.epoch.year == 1904 else 0
    width = max(i + 1 for i, v in enumerate(header_out[:added]) if v) if added else 0
    table = io.StringIO()
    writer = csv.writer(table, lineterminator="\n")
    rows = list(book_in.iter_rows(min_row=header_row, max_col=width, values_only=True))
    for row in rows:
        cells = [text_of(v) for v in row]
        if shift and date_column and isinstance(row[date_column - 1], (int, float)) \
                and not isinstance(row[date_column - 1], bool):
            cells[date_column - 1] = text_of(row[date_column - 1] + shift)
        writer.writerow(cells)
    csv_path = os.path.join(work, case["file"] + ".csv")
    with open(csv_path, "w", encoding="utf-8", newline="") as f:
        f.write(table.getvalue())
    rc_csv, out_csv, err_csv = run_rfc(rfc, [], csv_path)
    expected = list(csv.reader(io.StringIO(out_csv.decode("utf-8"))))
    got = [[text_of(v) for v in row]
           for row in book_out.iter_rows(min_row=header_row, min_col=added + 1,
                                         max_col=added + 2, values_only=True)]
    unreadable = set(case.get("unreadable", []))
    for offset, want in enumerate(expected):
        number = header_row + offset
        have = got[offset] if offset < len(got) else None
        if number in unreadable:
            if not have or not have[1].startswith("fila ilegible"):
                fail(case, "row %d should be unreadable: %s" % (number, have))
            continue
        if not any(want[:width]):
            continue
        if have != want[width:width + 2]:
            fail(case, "row %d: %s, from CSV %s" % (number, have, want[width:width + 2]))
    # --fill-empty: the key column's empty cells hold the computed key, and
    # every other cell of it stays as it was.
    fill = case.get("fill_column")
    if fill:
        held_in = [row[0] for row in book_in.iter_rows(min_row=header_row + 1, min_col=fill,
                                                       max_col=fill, values_only=True)]
        held_out = [row[0] for row in book_out.iter_rows(min_row=header_row + 1, min_col=fill,
                                                         max_col=fill, values_only=True)]
        for offset, (before, after) in enumerate(zip(held_in, held_out)):
            computed = got[offset + 1][0] if offset + 1 < len(got) else ""
            want = before if before not in (None, "") else (computed or None)
            if after != want:
                fail(case, "key cell of row %d: %r, not %r" % (header_row + 1 + offset, after, want))
    return out_path, added, got


def libreoffice_csv(work, path, sheet_number, shown):
    """The table `sheet_number` (from 1) of `path` as LibreOffice saves it
    as CSV: the cells' text as shown, or their values."""
    out_dir = os.path.join(work, "lo-%s-%d-%s" % (os.path.basename(path), sheet_number, shown))
    os.makedirs(out_dir, exist_ok=True)
    options = "csv:Text - txt - csv (StarCalc):44,34,76,1,,0,false,true,%s,false,false,%d" % (
        "true" if shown else "false", sheet_number)
    subprocess.run(["soffice", "--headless", "--convert-to", options, "--outdir", out_dir, path],
                   check=True, capture_output=True, timeout=300)
    produced = [f for f in os.listdir(out_dir) if f.endswith(".csv")]
    if not produced:
        return None
    with open(os.path.join(out_dir, produced[0]), encoding="utf-8", newline="") as f:
        return f.read()


def check_ods_case(rfc, work, case):
    path = os.path.join(work, case["file"])
    rc, out, err = run_rfc(rfc, case.get("args", []), path)
    if rc not in (0, 1, 5, 6):
        fail(case, "rfc batch exited %d: %s" % (rc, err))
        return
    if run_rfc(rfc, case.get("args", []), path)[1] != out:
        fail(case, "a second run wrote other bytes")
    out_path = os.path.join(work, "out-" + case["file"])
    with open(out_path, "wb") as f:
        f.write(out)
    zin, zout = zipfile.ZipFile(path), zipfile.ZipFile(out_path)
    if zout.testzip() is not None:
        fail(case, "a part fails its CRC")
    ins, outs = zin.infolist(), zout.infolist()
    if [i.filename for i in ins] != [o.filename for o in outs]:
        fail(case, "parts differ: %s" % [o.filename for o in outs])
    if outs[0].filename != "mimetype" or outs[0].compress_type != zipfile.ZIP_STORED:
        fail(case, "mimetype is not the first part, stored")
    for i, o in zip(ins, outs):
        if i.date_time != o.date_time:
            fail(case, "%s changed its time" % i.filename)
        if i.filename != "content.xml" and zin.read(i) != zout.read(o):
            fail(case, "%s changed" % i.filename)
        if i.filename.endswith((".xml", ".rdf")):
            lint = subprocess.run(["xmllint", "--noout", "-"], input=zout.read(o),
                                  capture_output=True)
            if lint.returncode != 0:
                fail(case, "%s is no well-formed XML: %s" % (o.filename, lint.stderr[:300]))
    # The added columns cover column declarations of their own.
    content = ET.fromstring(zout.read("content.xml"))
    table_ns = "{urn:oasis:names:tc:opendocument:xmlns:table:1.0}"
    sheet = [t for t in content.iter(table_ns + "table")][case["sheet_number"] - 1]
    declared = sum(int(c.get(table_ns + "number-columns-repeated", "1"))
                   for c in sheet.iter(table_ns + "table-column"))
    # The table as LibreOffice shows the input, through rfc batch as CSV;
    # the output as LibreOffice shows it.
    table_in = libreoffice_csv(work, path, case["sheet_number"], True)
    table_out = libreoffice_csv(work, out_path, case["sheet_number"], False)
    if table_in is None or table_out is None:
        fail(case, "LibreOffice did not open the input or the output")
        return
    csv_path = os.path.join(work, case["file"] + ".csv")
    with open(csv_path, "w", encoding="utf-8", newline="") as f:
        f.write(table_in)
    rc_csv, out_csv, err_csv = run_rfc(rfc, case.get("args", []), csv_path)
    expected = list(csv.reader(io.StringIO(out_csv.decode("utf-8"))))
    shown = list(csv.reader(io.StringIO(table_out)))
    header_row = case["header_row"]
    header_out = shown[header_row - 1]
    added = next((i for i, v in enumerate(header_out) if v in ("rfc", "rfc_calculado")), None)
    if added is None:
        fail(case, "LibreOffice shows no added header: %s" % header_out)
        return
    if declared < added + 2:
        fail(case, "%d columns declared, the added ones not among them" % declared)
    # An autofilter over the header takes in the added columns.
    for ranges in content.iter(table_ns + "database-range"):
        address = ranges.get(table_ns + "target-range-address")
        first, last = address.split(":")
        if row_index(first.rsplit(".", 1)[1]) == header_row and \
                column_index(last.rsplit(".", 1)[1].replace("$", "")) not in (added + 2, added):
            fail(case, "the database range %s stops short of the added columns" % address)
    unreadable = set(case.get("unreadable", []))
    for offset, want in enumerate(expected[header_row - 1:]):
        number = header_row + offset
        row = shown[number - 1] if number - 1 < len(shown) else []
        have = [c.replace("\r\n", "\n") for c in (row + ["", ""])[added:added + 2]]
        if number in unreadable:
            if not have[1].startswith("fila ilegible"):
                fail(case, "row %d should be unreadable: %s" % (number, have))
            continue
        if not any(want[:-2]):
            continue
        if have != [c.replace("\r\n", "\n") for c in want[-2:]]:
            fail(case, "row %d: %s, from CSV %s" % (number, have, want[-2:]))


def check_libreoffice(work, results):
    """LibreOffice opens every output and shows the added cells."""
    for case, (out_path, added, got) in results:
        sheet_number = case.get("sheet_number")
        if sheet_number is None:
            names = openpyxl.load_workbook(out_path, read_only=True).sheetnames
            sheet_number = names.index(case["sheet"]) + 1
        lo_dir = os.path.join(work, "lo-" + case["file"])
        os.makedirs(lo_dir, exist_ok=True)
        filter_options = "csv:Text - txt - csv (StarCalc):44,34,76,1,,0,false,true,false,false,false,%d" % sheet_number
        subprocess.run(["soffice", profile_option(work), "--headless", "--convert-to", filter_options,
                        "--outdir", lo_dir,
                        out_path], check=True, capture_output=True, timeout=300)
        produced = [f for f in os.listdir(lo_dir) if f.endswith(".csv")]
        if not produced:
            fail(case, "LibreOffice did not open the output")
            continue
        with open(os.path.join(lo_dir, produced[0]), encoding="utf-8") as f:
            shown = list(csv.reader(f))
        header_row = case["header_row"]
        for offset, have in enumerate(got):
            row = shown[header_row - 1 + offset] if header_row - 1 + offset < len(shown) else []
            cells = (row + ["", ""])[added:added + 2]
            want = [v.replace("\r\n", "\n") for v in have]
            if [c.replace("\r\n", "\n") for c in cells] != want:
                fail(case, "LibreOffice shows row %d as %s, not %s" % (header_row + offset, cells, want))


def main():
    rfc, work = sys.argv[1], sys.argv[2]
    with open(os.path.join(work, "cases.json"), encoding="utf-8") as f:
        cases = json.load(f)
    results = []
    for case in cases:
        if case["file"].endswith(".ods"):
            if shutil.which("soffice"):
                check_ods_case(rfc, work, case)
            continue
        result = check_case(rfc, work, case)
        if result:
            results.append((case, result))
    # LibreOffice is the full test run's; the quick one may not have it.
    if shutil.which("soffice"):
        check_libreoffice(work, results)
    else:
        print("LibreOffice is not installed: the outputs were not opened in it")
    for text in failures:
        print("FAIL", text)
    print("%d workbooks, %d failures" % (len(cases), len(failures)))
    sys.exit(1 if failures else 0)


if __name__ == "__main__":
    main()
