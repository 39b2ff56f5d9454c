#!/usr/bin/env python3
"""Writes two-sheets.xlsx, the parameter-table workbook the .xlsx reader's tests read, as a
spreadsheet program saves one: numbers as cell values, texts as shared strings.

    tests/satfunc/data/make-workbook.py [OUT.xlsx]

With --seeds DIR it writes the seeds of the fuzz_xlsx target instead: the workbook and small
variants of it (inline strings, rich text, cells and rows without references, an error
cell), each also as the text of its parts separated by NUL bytes (the first sheet, the
shared strings, the second sheet), which the target packs into a zip itself.
"""
import sys
import zipfile
from pathlib import Path
from xml.sax.saxutils import escape

MAIN = "http://schemas.openxmlformats.org/spreadsheetml/2006/main"
RELS = "http://schemas.openxmlformats.org/officeDocument/2006/relationships"
PACKAGE_RELS = "http://schemas.openxmlformats.org/package/2006/relationships"
HEAD = '<?xml version="1.0" encoding="UTF-8" standalone="yes"?>\n'

PARAMETERS = [
    ["SATNUM", "comment", "sorw", "swl", "krwend", "Nw", "Now", "Nog", "Ng", "sorg", "sgcr",
     "krgend", "kroend", "swirr", "a", "b", "poro_ref", "perm_ref", "drho"],
    [1, "sand, PRT 1", 0.1, 0.12, 0.7, 3, 2, 1.5, 1.2, 0.07, 0.01, 0.8, 1, 0.01, 0.321, -1.283,
     0.25, 1000, 300],
    [2, "mud, PRT 2", 0.2, 0.5, 1, 4, 4, 2, 3, 0.1, 0.1, 0.4, 1, 0.1, 0.321, -1.283, 0.18, 300,
     300],
]

# A low case leaves more oil and water behind and bends its curves harder than the base, a
# high case less so.
RECOMMENDATION = [
    ["SATNUM", "CASE", "swl", "swcr", "sorw", "nw", "now", "krwend", "kroend", "sgcr", "sorg",
     "ng", "nog", "krgend"],
    [1, "pess", 0.14, 0.16, 0.15, 3.5, 2.5, 0.6, 0.9, 0.05, 0.12, 1.6, 2, 0.7],
    [1, "base", 0.12, 0.14, 0.1, 3, 2, 0.7, 1, 0.03, 0.07, 1.2, 1.5, 0.8],
    [1, "opt", 0.1, 0.12, 0.06, 2.5, 1.6, 0.8, 1, 0.01, 0.04, 1, 1.2, 0.9],
    [2, "pess", 0.55, 0.57, 0.28, 5, 5, 0.8, 0.9, 0.15, 0.15, 3.5, 2.5, 0.3],
    [2, "base", 0.5, 0.52, 0.2, 4, 4, 1, 1, 0.1, 0.1, 3, 2, 0.4],
    [2, "opt", 0.45, 0.47, 0.14, 3.2, 3.2, 1, 1, 0.06, 0.06, 2.4, 1.6, 0.5],
]


def column_name(index):
    name = ""
    index += 1
    while index:
        index, rest = divmod(index - 1, 26)
        name = chr(ord("A") + rest) + name
    return name


def number_text(value):
    # The shortest text that reads back as the value, as a spreadsheet program stores it.
    return str(value) if isinstance(value, int) else repr(value)


class Strings:
    """The shared strings, each kept as the XML inside its <si>."""

    def __init__(self):
        self.items = []
        self.index = {}

    def add(self, text):
        return self.add_xml(f"<t>{escape(text)}</t>")

    def add_xml(self, xml):
        if xml not in self.index:
            self.index[xml] = len(self.items)
            self.items.append(xml)
        return self.index[xml]

    def part(self):
        items = "".join(f"<si>{xml}</si>" for xml in self.items)
        return (f'{HEAD}<sst xmlns="{MAIN}" count="{len(self.items)}" '
                f'uniqueCount="{len(self.items)}">{items}</sst>')


def sheet_part(rows, strings):
    lines = []
    for r, row in enumerate(rows, start=1):
        cells = []
        for c, value in enumerate(row):
            ref = f"{column_name(c)}{r}"
            if isinstance(value, str):
                cells.append(f'<c r="{ref}" t="s"><v>{strings.add(value)}</v></c>')
            else:
                cells.append(f'<c r="{ref}"><v>{number_text(value)}</v></c>')
        lines.append(f'<row r="{r}" spans="1:{len(row)}">{"".join(cells)}</row>')
    rows_xml = "\n".join(lines)
    return f'{HEAD}<worksheet xmlns="{MAIN}" xmlns:r="{RELS}"><sheetData>\n{rows_xml}\n</sheetData></worksheet>'


def workbook_parts(sheets, strings, sheet_xml=None):
    """The parts of a workbook with `sheets` ([(name, rows)]); `sheet_xml` replaces the
    worksheet parts' text when given."""
    count = len(sheets)
    overrides = "".join(
        f'<Override PartName="/xl/worksheets/sheet{i}.xml" ContentType="application/'
        f'vnd.openxmlformats-officedocument.spreadsheetml.worksheet+xml"/>'
        for i in range(1, count + 1))
    parts = {
        "[Content_Types].xml":
            f'{HEAD}<Types xmlns="http://schemas.openxmlformats.org/package/2006/content-types">'
            '<Default Extension="rels" ContentType="application/vnd.openxmlformats-package.'
            'relationships+xml"/><Default Extension="xml" ContentType="application/xml"/>'
            '<Override PartName="/xl/workbook.xml" ContentType="application/vnd.openxmlformats-'
            'officedocument.spreadsheetml.sheet.main+xml"/>' + overrides +
            '<Override PartName="/xl/sharedStrings.xml" ContentType="application/vnd.'
            'openxmlformats-officedocument.spreadsheetml.sharedStrings+xml"/>'
            '<Override PartName="/xl/styles.xml" ContentType="application/vnd.openxmlformats-'
            'officedocument.spreadsheetml.styles+xml"/></Types>',
        "_rels/.rels":
            f'{HEAD}<Relationships xmlns="{PACKAGE_RELS}"><Relationship Id="rId1" '
            f'Type="{RELS}/officeDocument" Target="xl/workbook.xml"/></Relationships>',
        "xl/workbook.xml":
            f'{HEAD}<workbook xmlns="{MAIN}" xmlns:r="{RELS}"><sheets>' + "".join(
                f'<sheet name="{escape(name, {chr(34): "&quot;"})}" sheetId="{i}" r:id="rId{i}"/>'
                for i, (name, _) in enumerate(sheets, start=1)) + '</sheets></workbook>',
        "xl/_rels/workbook.xml.rels":
            f'{HEAD}<Relationships xmlns="{PACKAGE_RELS}">' + "".join(
                f'<Relationship Id="rId{i}" Type="{RELS}/worksheet" '
                f'Target="worksheets/sheet{i}.xml"/>' for i in range(1, count + 1)) +
            f'<Relationship Id="rId{count + 1}" Type="{RELS}/sharedStrings" '
            f'Target="sharedStrings.xml"/><Relationship Id="rId{count + 2}" '
            f'Type="{RELS}/styles" Target="styles.xml"/></Relationships>',
        "xl/styles.xml":
            f'{HEAD}<styleSheet xmlns="{MAIN}"><fonts count="1"><font><sz val="11"/>'
            '<name val="Calibri"/></font></fonts><fills count="1"><fill><patternFill '
            'patternType="none"/></fill></fills><borders count="1"><border/></borders>'
            '<cellStyleXfs count="1"><xf/></cellStyleXfs><cellXfs count="1"><xf xfId="0"/>'
            '</cellXfs></styleSheet>',
    }
    for i, (_, rows) in enumerate(sheets, start=1):
        parts[f"xl/worksheets/sheet{i}.xml"] = (
            sheet_xml[i - 1] if sheet_xml else sheet_part(rows, strings))
    parts["xl/sharedStrings.xml"] = strings.part()
    return parts


def write(path, parts):
    with zipfile.ZipFile(path, "w", zipfile.ZIP_DEFLATED) as z:
        for name, text in parts.items():
            # A fixed time keeps the file's bytes the same from run to run.
            info = zipfile.ZipInfo(name, date_time=(2024, 1, 1, 0, 0, 0))
            info.compress_type = zipfile.ZIP_DEFLATED
            z.writestr(info, text.encode("utf-8"))


def write_parts(path, parts):
    names = ["xl/worksheets/sheet1.xml", "xl/sharedStrings.xml", "xl/worksheets/sheet2.xml"]
    path.write_bytes(b"\0".join(parts[n].encode("utf-8") for n in names if n in parts))


def seeds(folder):
    folder.mkdir(parents=True, exist_ok=True)
    parts = workbook_parts([("Sheet1", PARAMETERS), ("SCAL recommendation", RECOMMENDATION)],
                           Strings())
    write(folder / "two-sheets.xlsx", parts)
    write_parts(folder / "two-sheets.parts", parts)
    strings = Strings()
    strings.add("SATNUM")
    strings.add_xml('<r><rPr><b/></rPr><t>so</t></r><r><t>rw</t></r><rPh sb="0" eb="1">'
                    '<t>x</t></rPh>')
    variants = {
        "inline-and-gaps.xlsx":
            '<row r="2"><c r="B2" t="inlineStr"><is><t>swl</t></is></c><c><v>1E-3</v></c>'
            '<c r="F2" t="b"><v>1</v></c></row><row><c t="str"><f>A1</f><v>x_x000D_y</v></c>'
            '</row><row><c r="AA9"><v>0.020560098943989</v></c></row>',
        "shared-rich.xlsx":
            '<row r="1"><c r="A1" t="s"><v>0</v></c><c r="B1" t="s"><v>1</v></c></row>',
        "error-cell.xlsx":
            '<row r="4"><c r="C4" t="e"><f>NA()</f><v>#N/A</v></c></row>',
    }
    for name, rows in variants.items():
        xml = f'{HEAD}<worksheet xmlns="{MAIN}"><sheetData>{rows}</sheetData></worksheet>'
        parts = workbook_parts([("Sheet1", [])], strings, [xml])
        write(folder / name, parts)
        write_parts(folder / name.replace(".xlsx", ".parts"), parts)


def main():
    args = sys.argv[1:]
    if args[:1] == ["--seeds"]:
        seeds(Path(args[1]))
        return
    out = Path(args[0]) if args else Path(__file__).with_name("two-sheets.xlsx")
    write(out, workbook_parts(
        [("Sheet1", PARAMETERS), ("SCAL recommendation", RECOMMENDATION)], Strings()))


if __name__ == "__main__":
    main()
