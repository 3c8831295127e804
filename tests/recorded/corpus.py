"""The inputs and command lines whose outputs are recorded in outputs.txt.

Everything here is generated from fixed tables, so the same files come out on
every run: a payroll table written in every encoding, line end, separator and
layout `rfc batch` reads, the office files and fuzz inputs kept in the tree,
and command lines for `rfc key`, `rfc check`, the options and their mistakes.
"""
import os
import random
import struct

# Surname, surname, given names, date as written, CURP, held key: the rows
# every generated file carries, written in whichever layout it has.
PEOPLE = [
    ("PEREZ", "LOPEZ", "JUAN", "1980-01-15", "PELJ800115HDFRPN09", "PELJ8001152A0"),
    ("perez", "lopez", "juan", "15/01/1980", "", "pelj-800115-2a0"),
    ("Pérez", "López", "Juan", "15-ene-1980", "", "PELJ800115XY8"),
    ("GONZÁLEZ", "PÉREZ", "JOSÉ", "5/1/1980", "", "GOPJ800105T72"),
    ("Muñoz", "Ibáñez", "María José", "15 de enero de 1980", "", "MUIJ800115AB1"),
    ("NU\u00a5EZ", "RUIZ", "PEDRO", "1970-07-07", "", ""),
    ("DE LA ROSA", "MARTINEZ", "LUIS", "30/06/1990", "", "ROML900630AAA"),
    ("ROBLES", "FARIAS", "MARIA DE LOS ANGELES", "1988-08-08 00:00:00", "", ""),
    ("LOPEZ", "GARCIA", "JOSE MARIA ANTONIO", "28.02.1985", "", "LOGA850228"),
    ("O'BRIEN", "RUIZ", "PEDRO", "1970-07-07", "", "OBRP700707"),
    ("PUENTE", "TAPIA", "OSCAR", "07/07/1970", "", "PUTO700707ZZ9"),
    ("LI", "WU", "J CARLOS", "2001-01-01", "", "ABC"),
    ("DE LOS ", "", "ANA", "1990-01-01", "", ""),
    ("PEREZ", "LOPEZ", "   ", "1990-01-01", "", ""),
    ("", "", "ANA", "1990-01-01", "", ""),
    ("MÜLLER", "SCHMIDT", "HANS", "1975-12-31", "", "MUSH751231"),
    ("GARCIA", "HERNANDEZ", "GUADALUPE", "29235", "", ""),
    ("MARTINEZ", "CRUZ", "ROSA", "31/02/1980", "", "MACR800231AA1"),
    ("SANCHEZ", "REYES", "LAURA", "1600-12-31", "", ""),
    ("RAMIREZ", "FLORES", "CARLOS", "", "RAFC850315HDFMLR01", ""),
    ("TORRES", "DIAZ", "ELENA", "15 ene. 1980", "", "TODE800115XA0"),
    ("MC GREGOR", "Y LOPEZ", "MA. DEL CARMEN", "1979-03-09T00:00:00-06:00", "", ""),
    ("D'ARTAGNAN", "VON DER HEIDE", "J. JESUS", "12/12/1950 12:00:00 a. m.", "", "XAXX010101000"),
    ("GÓMEZ", "CHÁVEZ", "SOFÍA", "00029235", "", ""),
    ("JIMÉNEZ\u00a0", "\u200bREYES", " MIGUEL ", " 1999-09-09 ", "", " jirm990909 "),
    ("ÑANDU", "ÑOÑO", "ÑOÑA", "2000-02-29", "", ""),
    ("BUEI", "ROJAS", "DANIEL", "1966-06-06", "", "BURD660606QQ1"),
    ("ABCDEFGHIJKLMNOPQRSTUVWXYZ" * 4, "X", "Y", "1999-12-31", "", ""),
    ("VAZQUEZ, JR.", "MORENO \"EL\"", "ANTONIO", "1981-11-11", "", ""),
    ("ORTIZ", "AGUILAR", "PATRICIA\nLINE", "1982-02-02", "", ""),
    ("中村", "RUIZ", "KENJI", "1983-03-03", "", ""),
    ("CASTRO", "VARGAS", "VERONICA", "fecha", "", "CAVV830303"),
]

# Each encoding as Python writes it, with or without a byte-order mark.
ENCODINGS = {
    "utf8": ("utf-8", b""),
    "utf8bom": ("utf-8", b"\xef\xbb\xbf"),
    "cp1252": ("cp1252", b""),
    "utf16le": ("utf-16-le", b"\xff\xfe"),
    "utf16be": ("utf-16-be", b"\xfe\xff"),
}
LINE_ENDS = {"lf": "\n", "crlf": "\r\n", "cr": "\r"}
SEPARATORS = {"comma": ",", "semi": ";", "tab": "\t", "pipe": "|"}


def quoted(cell, sep):
    if any(c in cell for c in (sep, '"', "\n", "\r")):
        return '"' + cell.replace('"', '""') + '"'
    return cell


def joined(cells, sep):
    return sep.join(quoted(c, sep) for c in cells)


def plain(p):
    return [p[0], p[1], p[2], p[3]]


# Each layout: its header rows (already as rows of cells, or raw lines) and
# the row each person gives.
def layout_rows(name, sep):
    rows = []
    if name == "plain":
        rows.append(["paterno", "materno", "nombre", "fecha"])
        rows += [plain(p) for p in PEOPLE]
    elif name == "office":
        rows.append(["No.", "Nombre(s)", "Apellido Paterno", "Apellido Materno", "Puesto",
                     "Fecha de Nacimiento", "Salario"])
        for i, p in enumerate(PEOPLE):
            rows.append([str(i + 1), p[2], p[0], p[1], "Auxiliar", p[3], "12,345.67"])
    elif name == "titles":
        rows.append(["Nómina quincenal"])
        rows.append(["Empresa S.A. de C.V.", "2026"])
        rows.append([])
        rows.append(["Primer apellido", "Segundo apellido", "Nombres", "Nacimiento"])
        rows += [plain(p) for p in PEOPLE]
    elif name == "sepline":
        rows.append("sep=" + sep)
        rows.append(["PATERNO", "MATERNO", "NOMBRE", "FECHA_NACIMIENTO"])
        rows += [plain(p) for p in PEOPLE]
    elif name == "held":
        rows.append(["Paterno", "Materno", "Nombre", "Fecha", "R.F.C."])
        rows += [plain(p) + [p[5]] for p in PEOPLE]
    elif name == "curp":
        rows.append(["paterno", "materno", "nombre", "CURP", "Fecha de ingreso"])
        rows += [[p[0], p[1], p[2], p[4] or "PELJ800115HDFRPN09", "01/02/2020"]
                 for p in PEOPLE]
    elif name == "noheader":
        rows += [plain(p) for p in PEOPLE]
    elif name == "ragged":
        rows.append(["paterno", "materno", "nombre", "fecha", "extra"])
        for i, p in enumerate(PEOPLE):
            cells = plain(p) + ["x"] * (i % 4)
            rows.append(cells[: 2 + i % 5])
            if i % 7 == 0:
                rows.append(["", "", "", ""])
            if i % 9 == 0:
                rows.append([])
        rows.append('"BAD"QUOTE' + sep + "LOPEZ" + sep + "JUAN" + sep + "1980-01-15")
        rows.append('"OPEN' + sep + "LOPEZ")
    elif name == "duplicate":
        rows.append(["paterno", "paterno", "nombre", "fecha"])
        rows += [plain(p) for p in PEOPLE[:3]]
    elif name == "missing":
        rows.append(["apellidos", "nombre", "fecha"])
        rows += [[p[0] + " " + p[1], p[2], p[3]] for p in PEOPLE[:3]]
    return rows


LAYOUTS = ["plain", "office", "titles", "sepline", "held", "curp", "noheader", "ragged",
           "duplicate", "missing"]


def file_text(layout, sep, line_end):
    lines = []
    for row in layout_rows(layout, sep):
        lines.append(row if isinstance(row, str) else joined(row, sep))
    return line_end.join(lines) + line_end


def encoded(text, encoding):
    codec, mark = ENCODINGS[encoding]
    return mark + text.encode(codec, errors="replace")


def people_rows(count, seed):
    """A larger file: rows of common names, as payroll files have them."""
    rng = random.Random(seed)
    surnames = ["HERNANDEZ", "GARCIA", "MARTINEZ", "LÓPEZ", "GONZÁLEZ", "PEREZ", "RODRÍGUEZ",
                "SANCHEZ", "RAMIREZ", "CRUZ", "FLORES", "GÓMEZ", "MUÑOZ", "DE LA CRUZ", "DEL VALLE"]
    given = ["JUAN", "MARIA", "JOSE", "LUIS", "ANA", "CARLOS", "JESÚS", "MA. GUADALUPE",
             "JOSE MARIA", "ROSA", "ÁNGEL"]
    rows = ["paterno,materno,nombre,fecha"]
    for _ in range(count):
        rows.append("%s,%s,%s,%04d-%02d-%02d" % (
            rng.choice(surnames), rng.choice(surnames), rng.choice(given),
            rng.randint(1930, 2010), rng.randint(1, 12), rng.randint(1, 28)))
    return "\n".join(rows) + "\n"


KEY_PEOPLE = [
    ["perez", "lopez", "juan", "1980-01-15"],
    ["pérez", "lopez", "juan", "1980-01-15"],
    ["gonzález", "pérez", "josé", "5/1/1980"],
    ["", "lopez", "juan", "1980-01-15"],
    ["perez", "", "juan", "1980-01-15"],
    ["perez", "lopez", "", "1980-01-15"],
    ["de la rosa", "martinez", "luis", "30/06/1990"],
    ["maria", "de los angeles", "maria de los angeles", "15 de enero de 1980"],
    ["o'brien", "ruiz", "pedro", "1970-07-07"],
    ["nu\u00a5ez", "ruiz", "pedro", "1970-07-07"],
    ["puente", "tapia", "oscar", "1970-07-07"],
    ["perez", "lopez", "juan", "31/02/1980"],
    ["perez", "lopez", "juan", "29235"],
    ["perez", "lopez", "juan", "1600-01-01"],
    ["perez", "lopez", "juan", "15-ene-1980"],
    ["perez", "lopez", "juan", "15/01/1980 12:00:00 a. m."],
    ["perez", "lopez", "juan", "hoy"],
    ["-perez", "lopez", "juan", "1980-01-15"],
    ["müller", "schmidt", "hans", "1975-12-31"],
    ["ñandu", "lopez", "juan", "2000-02-29"],
    ["perez\u00a0", "\u200blopez", " juan ", " 1980-01-15 "],
    ["中村", "ruiz", "kenji", "1983-03-03"],
]

HELD_KEYS = ["PELJ8001152A0", "pelj-800115-2a0", "PELJ800115XY8", "PELJ8001152A1",
             "PELJ801315AA1", "ABC", "", "XAXX010101000", "XEXX010101000", "ABC800115AB1",
             "PELJ 800115 2A0", "PELJ8001152A0X", "PEL\u00d1800115AA1", "pelj800115"]


def zip_entry(name, data=b"x", stored=False):
    """A zip entry's local header and data, `data` stored as it is or said to
    be deflated."""
    name = name.encode("ascii")
    return b"PK\x03\x04" + struct.pack("<HHHHHIIIHH", 20, 0, 0 if stored else 8, 0, 0, 0,
                                        len(data), len(data), len(name), 0) + name + data


# Files that are no text, as their first bytes show them, and text that comes
# near: each a name and its bytes.
SPREADSHEET_NS = b"urn:schemas-microsoft-com:office:spreadsheet"
NOT_TEXT = [
    ("book.xlsx", zip_entry("[Content_Types].xml") + zip_entry("_rels/.rels") +
     zip_entry("xl/workbook.xml")),
    ("late-workbook.xlsx", zip_entry("docProps/app.xml") + zip_entry("xl/theme/theme1.xml")),
    ("book.xlsb", zip_entry("xl/theme/theme1.xml") + zip_entry("xl/workbook.bin")),
    ("book.ods", zip_entry("mimetype", b"application/vnd.oasis.opendocument.spreadsheet", True) +
     zip_entry("content.xml")),
    ("letter.odt", zip_entry("mimetype", b"application/vnd.oasis.opendocument.text", True)),
    ("nomina.zip", zip_entry("nomina.csv", b"paterno,materno,nombre,fecha\n", True)),
    ("old.xls", b"\xd0\xcf\x11\xe0\xa1\xb1\x1a\xe1" + bytes(504)),
    ("nomina.pdf", b"%PDF-1.4\n%\xe2\xe3\xcf\xd3\n1 0 obj\n"),
    ("scan.png", b"\x89PNG\r\n\x1a\n\x00\x00\x00\rIHDR"),
    ("scan.jpg", b"\xff\xd8\xff\xe0\x00\x10JFIF\x00"),
    ("scan.gif", b"GIF89a\x01\x00\x01\x00"),
    ("nomina.csv.gz", b"\x1f\x8b\x08\x08\x00\x00\x00\x00\x00\x03nomina.csv\x00"),
    ("table.xls", b"\xef\xbb\xbf\r\n<html xmlns:o=\"urn:schemas-microsoft-com:office:office\">"
     b"<body><table><tr><td>paterno</td>"),
    ("doctype.xls", b"<!DOCTYPE HTML PUBLIC>\n<HTML><TABLE>"),
    ("sheet2003.xml", b'<?xml version="1.0"?>\r\n<?mso-application progid="Excel.Sheet"?>\r\n'
     b'<Workbook xmlns="' + SPREADSHEET_NS + b'" xmlns:ss="' + SPREADSHEET_NS + b'">'),
    # Text: a surname that starts like a zip, in UTF-8 and in UTF-16 without a mark.
    ("pk-surname.csv", b"PK,LOPEZ,JUAN,1980-01-15\n"),
    ("pk-surname-utf16.csv", "PK,LOPEZ,JUAN,1980-01-15\r\n".encode("utf-16-le")),
]


def write_corpus(directory, here, tree):
    """Writes the input files into `directory` and returns the cases: (name,
    arguments, standard input file or None, whether standard output is
    recorded as text as well as by its digest)."""
    cases = []

    def put(name, data):
        with open(os.path.join(directory, name), "wb") as f:
            f.write(data)

    # Generated files in every encoding, line end, separator and layout.
    for layout in LAYOUTS:
        for enc in ENCODINGS:
            for le_name, le in LINE_ENDS.items():
                for sep_name, sep in SEPARATORS.items():
                    name = "%s-%s-%s-%s.csv" % (layout, enc, le_name, sep_name)
                    put(name, encoded(file_text(layout, sep, le), enc))
                    # The other variants' outputs are told apart by their digests.
                    shown = enc == "utf8" and le_name == "lf" and sep_name == "comma"
                    cases.append((name, ["batch", name], None, shown))
                    if sep_name == "comma" or le_name == "crlf":
                        cases.append((name + " folded", ["batch", "--fold-accents", name], None,
                                      shown))

    # Options over a few of them.
    option_cases = [
        ["batch", "--columns", "paterno=3,materno=4,nombre=2,fecha=6", "office-utf8-lf-comma.csv"],
        ["batch", "--columns", "paterno=Apellido Paterno,materno=4,nombre=2,fecha=6",
         "office-utf8-lf-comma.csv"],
        ["batch", "--columns", "paterno=1,materno=2,nombre=3,fecha=4", "noheader-utf8-lf-comma.csv"],
        ["batch", "--columns", "paterno=1,materno=2,nombre=3,fecha=4,rfc=5",
         "held-utf8-crlf-semi.csv"],
        ["batch", "--columns", "paterno=1,materno=2,nombre=3,curp=4", "curp-cp1252-crlf-comma.csv"],
        ["batch", "--columns", "", "plain-utf8-lf-comma.csv"],
        ["batch", "--columns", "paterno=1,paterno=2", "plain-utf8-lf-comma.csv"],
        ["batch", "--columns", "sexo=1", "plain-utf8-lf-comma.csv"],
        ["batch", "--columns", "paterno=0,materno=2,nombre=3,fecha=4", "plain-utf8-lf-comma.csv"],
        ["batch", "--delimiter", ";", "plain-utf8-lf-comma.csv"],
        ["batch", "--delimiter", "tab", "plain-utf8-lf-tab.csv"],
        ["batch", "--delimiter", "\t", "plain-utf8-lf-tab.csv"],
        ["batch", "--delimiter", "ab", "plain-utf8-lf-comma.csv"],
        ["batch", "--delimiter", "a", "plain-utf8-lf-comma.csv"],
        ["batch", "--delimiter", " ", "plain-utf8-lf-comma.csv"],
        ["batch", "--delimiter=|", "plain-utf8-lf-pipe.csv"],
        ["batch", "--encoding", "windows-1252", "plain-utf8-lf-comma.csv"],
        ["batch", "--encoding", "windows-1252", "plain-utf8bom-lf-comma.csv"],
        ["batch", "--encoding", "utf-8", "plain-cp1252-lf-comma.csv"],
        ["batch", "--encoding", "utf-16", "plain-utf16le-lf-comma.csv"],
        ["batch", "--encoding", "utf-16", "plain-utf8-lf-comma.csv"],
        ["batch", "--encoding", "latin9", "plain-utf8-lf-comma.csv"],
        ["batch", "--encoding=UTF-8", "plain-utf8-lf-comma.csv"],
        ["batch", "--fold-accents", "--", "plain-utf8-lf-comma.csv"],
        ["batch", "--unknown", "plain-utf8-lf-comma.csv"],
        ["batch", "plain-utf8-lf-comma.csv", "plain-utf8-lf-semi.csv"],
        ["batch", "no-such-file.csv"],
        ["batch", "."],
        ["batch", "--columns"],
        ["batch", "--delimiter"],
        ["batch", "--encoding"],
    ]
    for args in option_cases:
        cases.append((" ".join(args), args, None, True))
    for name in ["plain-utf8-crlf-semi.csv", "ragged-utf16le-crlf-tab.csv", "held-cp1252-lf-comma.csv"]:
        cases.append(("stdin " + name, ["batch"], name, True))
        cases.append(("stdin - " + name, ["batch", "-"], name, True))

    # Larger files: many rows, a row past the length limit, an odd UTF-16 byte.
    put("many.csv", people_rows(3000, 7).encode("utf-8"))
    cases.append(("many.csv", ["batch", "many.csv"], None, True))
    cases.append(("many.csv folded", ["batch", "--fold-accents", "many.csv"], None, True))
    put("many-cp1252.csv", people_rows(3000, 8).encode("cp1252"))
    cases.append(("many-cp1252.csv", ["batch", "--fold-accents", "many-cp1252.csv"], None, True))
    long_row = "paterno,materno,nombre,fecha\nPEREZ,LOPEZ,JUAN,1980-01-15\n" + \
        "A" * 70000 + ",B,C,1980-01-15\n" + "PEREZ,LOPEZ," + "J" * 100000 + ",1980-01-15,x,y\n" + \
        'PEREZ,"' + "Q" * 80000 + "\nLOPEZ,JUAN\n" + "GARCIA,LOPEZ,ANA,1990-01-01\n"
    put("long-rows.csv", long_row.encode("utf-8"))
    cases.append(("long-rows.csv", ["batch", "long-rows.csv"], None, True))
    put("odd-utf16.csv", encoded(file_text("plain", ",", "\r\n"), "utf16le") + b"A")
    cases.append(("odd-utf16.csv", ["batch", "odd-utf16.csv"], None, True))
    put("empty.csv", b"")
    cases.append(("empty.csv", ["batch", "empty.csv"], None, True))
    put("header-only.csv", b"paterno,materno,nombre,fecha\r\n")
    cases.append(("header-only.csv", ["batch", "header-only.csv"], None, True))
    put("blank-lines.csv", b"\n\n\r\n")
    cases.append(("blank-lines.csv", ["batch", "blank-lines.csv"], None, True))

    # Files that are no text are refused whatever encoding is asked, from a
    # file or from standard input.
    for name, data in NOT_TEXT:
        put(name, data)
        cases.append((name, ["batch", name], None, True))
    cases.append(("book.xlsx --encoding utf-16", ["batch", "--encoding", "utf-16", "book.xlsx"],
                  None, True))
    cases.append(("stdin old.xls", ["batch"], "old.xls", True))

    # Files kept in the tree: office samples and fuzz inputs.
    for sub in ["tests/data", "fuzz/corpus/csv_reader"]:
        folder = os.path.join(tree, sub)
        for entry in sorted(os.listdir(folder)):
            if entry.endswith(".keys"):
                continue
            with open(os.path.join(folder, entry), "rb") as f:
                data = f.read()
            name = sub.replace("/", "_") + "_" + entry
            put(name, data)
            cases.append((name, ["batch", name], None, True))
            cases.append((name + " folded", ["batch", "--fold-accents", name], None, True))

    # One person's key and a held key's check.
    for person in KEY_PEOPLE:
        cases.append(("key " + " ".join(person), ["key"] + ["--"] + person, None, True))
        cases.append(("key --mask --fold-accents " + " ".join(person),
                      ["key", "--mask", "--fold-accents", "--"] + person, None, True))
    for held in HELD_KEYS:
        cases.append(("check " + held, ["check", held], None, True))
        for person in KEY_PEOPLE[:8] + KEY_PEOPLE[11:13]:
            cases.append(("check %s %s" % (held, " ".join(person)),
                          ["check", "--fold-accents", "--", held] + person, None, True))

    # The program's own words and its usage errors.
    for args in [[], ["--help"], ["-h"], ["--version"], ["help"], ["frobnicate"], ["key"],
                 ["key", "perez"], ["key", "a", "b", "c", "d", "e"], ["key", "--bogus", "a", "b", "c", "d"],
                 ["key", "--help"], ["check"], ["check", "--help"], ["check", "a", "b"],
                 ["batch", "--help"], ["key", "--mask"], ["--version", "extra"]]:
        cases.append(("args " + " ".join(args), args, None, True))
    return cases
