// The .xlsx reader on workbooks written here part by part, so each test holds exactly the
// XML it is about, and on a workbook kept as a file.
#include "satfunc/xlsx.h"

#include "support/temp_dir.h"

#include <gtest/gtest.h>
#include <zip.h>

#include <cstring>
#include <fstream>
#include <map>

namespace relperm {

// Found by argument lookup, so beside SheetRow rather than in the tests' own namespace.
bool operator==(const SheetRow& a, const SheetRow& b) {
    return a.number == b.number && a.cells == b.cells;
}

void PrintTo(const SheetRow& row, std::ostream* out) {
    *out << row.number << ":";
    for (const auto& cell : row.cells)
        *out << " [" << cell << "]";
}

namespace {

namespace fs = std::filesystem;
using Parts = std::map<std::string, std::string>;
using Rows = std::vector<SheetRow>;

constexpr const char* head = "<?xml version=\"1.0\" encoding=\"UTF-8\" standalone=\"yes\"?>\n";
constexpr const char* mainNs = "http://schemas.openxmlformats.org/spreadsheetml/2006/main";
constexpr const char* relNs = "http://schemas.openxmlformats.org/officeDocument/2006/relationships";

std::string worksheet(const std::string& rows) {
    return std::string(head) + "<worksheet xmlns=\"" + mainNs + "\"><sheetData>\n" + rows +
           "\n</sheetData></worksheet>";
}

std::string sharedStrings(const std::string& items) {
    return std::string(head) + "<sst xmlns=\"" + mainNs + "\">" + items + "</sst>";
}

// A workbook of the named sheets, each sheet N in xl/worksheets/sheetN.xml.
Parts workbook(const std::vector<std::pair<std::string, std::string>>& sheets,
               const std::string& strings = {}) {
    std::string list, rels;
    Parts parts;
    for (std::size_t i = 1; i <= sheets.size(); ++i) {
        const std::string n = std::to_string(i);
        list += "<sheet name=\"" + sheets[i - 1].first + "\" sheetId=\"" + n + "\" r:id=\"rId" + n +
                "\"/>";
        rels += "<Relationship Id=\"rId" + n + "\" Type=\"" + relNs +
                "/worksheet\" Target=\"worksheets/sheet" + n + ".xml\"/>";
        parts["xl/worksheets/sheet" + n + ".xml"] = worksheet(sheets[i - 1].second);
    }
    parts["[Content_Types].xml"] =
        std::string(head) +
        "<Types xmlns=\"http://schemas.openxmlformats.org/package/2006/content-types\">"
        "<Default Extension=\"xml\" ContentType=\"application/xml\"/></Types>";
    parts["xl/workbook.xml"] = std::string(head) + "<workbook xmlns=\"" + mainNs + "\" xmlns:r=\"" +
                               relNs + "\"><sheets>" + list + "</sheets></workbook>";
    parts["xl/_rels/workbook.xml.rels"] =
        std::string(head) +
        "<Relationships xmlns=\"http://schemas.openxmlformats.org/package/2006/relationships\">" +
        rels + "</Relationships>";
    if (!strings.empty())
        parts["xl/sharedStrings.xml"] = sharedStrings(strings);
    return parts;
}

Parts oneSheet(const std::string& rows, const std::string& strings = {}) {
    return workbook({{"Sheet1", rows}}, strings);
}

void writeZip(const fs::path& path, const Parts& parts) {
    int error = 0;
    zip_t* zip = zip_open(path.c_str(), ZIP_CREATE | ZIP_TRUNCATE, &error);
    ASSERT_NE(zip, nullptr) << error;
    for (const auto& [name, content] : parts) {
        zip_source_t* source = zip_source_buffer(zip, content.data(), content.size(), 0);
        ASSERT_GE(zip_file_add(zip, name.c_str(), source, ZIP_FL_ENC_UTF_8), 0) << name;
    }
    ASSERT_EQ(zip_close(zip), 0) << zip_strerror(zip);
}

void writeText(const fs::path& path, const std::string& text) {
    std::ofstream(path, std::ios::binary) << text;
}

class XlsxTest : public testing::TempDirTest {
  protected:
    fs::path write(const Parts& parts, const std::string& name = "table.xlsx") {
        const fs::path path = dir / name;
        writeZip(path, parts);
        return path;
    }

    Sheet read(const Parts& parts, const std::string& sheetName = {},
               const XlsxLimits& limits = {}) {
        auto result = readXlsxSheet(write(parts), sheetName, limits);
        if (auto* refusal = std::get_if<Refusal>(&result)) {
            ADD_FAILURE() << refusal->message;
            return {};
        }
        return std::get<Sheet>(result);
    }

    // The refusal's message, after checking that it names the file as its input.
    std::string refusal(const fs::path& path, const std::string& sheetName = {},
                        const XlsxLimits& limits = {}) {
        auto result = readXlsxSheet(path, sheetName, limits);
        if (!std::holds_alternative<Refusal>(result)) {
            ADD_FAILURE() << "read " << path;
            return {};
        }
        const Refusal& refused = std::get<Refusal>(result);
        EXPECT_EQ(refused.input, path.string());
        return refused.message;
    }
    std::string refusal(const Parts& parts, const XlsxLimits& limits = {}) {
        return refusal(write(parts), {}, limits);
    }

    std::string quoted(const std::string& name = "table.xlsx") const {
        return "\"" + (dir / name).string() + "\"";
    }
};

TEST_F(XlsxTest, CellsReadAsTheSpreadsheetShowsThem) {
    const Sheet sheet = read(oneSheet(
        "<row r=\"1\"><c r=\"A1\" t=\"s\"><v>0</v></c>"
        "<c r=\"B1\" t=\"inlineStr\"><is><t>swl</t></is></c>"
        "<c r=\"C1\" t=\"inlineStr\"><is><r><t>so</t></r><r><rPr><b/></rPr><t>rw</t></r>"
        "<rPh><t>ignored</t></rPh></is></c>"
        "<c r=\"D1\" t=\"s\"><v> 1 </v></c><c r=\"E1\" t=\"s\"><v>2</v></c></row>\n"
        "<row r=\"2\"><c r=\"A2\"><v>0.020560098943989</v></c><c r=\"B2\" t=\"n\"><v>1E-3</v></c>"
        "<c r=\"C2\"><f>1/3</f><v>0.33333333333333331</v></c>"
        "<c r=\"D2\" t=\"str\"><f>A1&amp;\"!\"</f><v>SATNUM!</v></c>"
        "<c r=\"E2\" t=\"b\"><v>1</v></c><c r=\"F2\" t=\"b\"><v>0</v></c></row>",
        "<si><t>SATNUM</t></si>"
        "<si><r><t>sand, </t></r><r><rPr><i/></rPr><t>PRT 1</t></r>"
        "<rPh sb=\"0\" eb=\"4\"><t>sando</t></rPh></si>"
        "<si><t xml:space=\"preserve\"> Sw &lt; 0.2 &amp; k in \xC2\xB5m\xC2\xB2_x000D_</t></si>"));
    EXPECT_EQ(sheet.name, "Sheet1");
    EXPECT_EQ(
        sheet.rows,
        (Rows{{1, {"SATNUM", "swl", "sorw", "sand, PRT 1", " Sw < 0.2 & k in \xC2\xB5m\xC2\xB2\r"}},
              {2,
               {"0.020560098943989", "1E-3", "0.33333333333333331", "SATNUM!", "TRUE", "FALSE"}}}));
}

TEST_F(XlsxTest, CellsAndRowsTakeTheirPlaces) {
    const Sheet sheet = read(oneSheet(
        // Gaps, a cell without a reference after the last one, and an empty last cell.
        "<row r=\"2\"><c r=\"B2\"><v>1</v></c><c r=\"D2\"><v>2</v></c><c><v>3</v></c>"
        "<c r=\"G2\" s=\"1\"/><c r=\"H2\" t=\"inlineStr\"><is><t></t></is></c></row>\n"
        // Without a number: the row after, or the one its first cell names.
        "<row><c><v>4</v></c></row>\n"
        "<row r=\"5\"><c r=\"A5\" s=\"1\"/></row>\n"
        "<row><c r=\"C7\"><v>5</v></c></row>\n"
        "<row><c><v>6</v></c></row>\n"
        "<row r=\"10\"><c r=\"AA10\"><v>7</v></c></row>\n"
        "<row r=\"1048576\"><c r=\"XFD1048576\"><v>8</v></c></row>"));
    ASSERT_EQ(sheet.rows.size(), 6u);
    EXPECT_EQ(sheet.rows[0], (SheetRow{2, {"", "1", "", "2", "3"}}));
    EXPECT_EQ(sheet.rows[1], (SheetRow{3, {"4"}}));
    EXPECT_EQ(sheet.rows[2], (SheetRow{7, {"", "", "5"}}));
    EXPECT_EQ(sheet.rows[3], (SheetRow{8, {"6"}}));
    EXPECT_EQ(sheet.rows[4].number, 10);
    EXPECT_EQ(sheet.rows[4].cells.size(), 27u);
    EXPECT_EQ(sheet.rows[4].cells[26], "7");
    EXPECT_EQ(sheet.rows[5].number, 1048576);
    EXPECT_EQ(sheet.rows[5].cells.size(), 16384u);
    EXPECT_EQ(sheet.rows[5].cells.back(), "8");
}

TEST_F(XlsxTest, SheetsAreFoundByNameOrTheFirstInTheWorkbook) {
    Parts parts = workbook({{"Corey", "<row><c><v>1</v></c></row>"},
                            {"SCAL recommendation", "<row><c><v>2</v></c></row>"}});
    // The workbook's order decides which sheet is first, not the parts' names; a target may
    // name its part from the package's root.
    parts["xl/workbook.xml"] = std::string(head) + "<x:workbook xmlns:x=\"" + mainNs +
                               "\" xmlns:rel=\"" + relNs +
                               "\"><x:sheets><x:sheet name=\"SCAL recommendation\" "
                               "sheetId=\"2\" rel:id=\"rId2\"/><x:sheet name=\"Corey\" "
                               "sheetId=\"1\" rel:id=\"rId1\"/></x:sheets></x:workbook>";
    std::string& rels = parts["xl/_rels/workbook.xml.rels"];
    rels.replace(rels.find("worksheets/sheet2.xml"), 21, "/xl/worksheets/sheet2.xml");
    const fs::path path = write(parts);

    for (const std::string name : {"", "SCAL recommendation", "scal RECOMMENDATION"}) {
        auto first = readXlsxSheet(path, name);
        ASSERT_TRUE(std::holds_alternative<Sheet>(first)) << std::get<Refusal>(first).message;
        EXPECT_EQ(std::get<Sheet>(first).name, "SCAL recommendation");
        EXPECT_EQ(std::get<Sheet>(first).rows, (Rows{{1, {"2"}}}));
    }
    auto corey = readXlsxSheet(path, "Corey");
    ASSERT_TRUE(std::holds_alternative<Sheet>(corey));
    EXPECT_EQ(std::get<Sheet>(corey).rows, (Rows{{1, {"1"}}}));

    auto missing = readXlsxSheet(path, "LET");
    ASSERT_TRUE(std::holds_alternative<Refusal>(missing));
    EXPECT_EQ(std::get<Refusal>(missing).input, "sheet");
    EXPECT_EQ(std::get<Refusal>(missing).message,
              quoted() + " has no sheet named \"LET\"; its sheets are \"SCAL recommendation\" "
                         "and \"Corey\".");
}

TEST_F(XlsxTest, SheetNamesAreListedInTheWorkbooksOrder) {
    // Not sorted, and unescaped as the tabs show them.
    Parts parts = workbook({{"Sand &amp; silt", ""}, {"Corey", ""}, {"A", ""}});
    auto names = xlsxSheetNames(write(parts));
    ASSERT_TRUE(std::holds_alternative<std::vector<std::string>>(names))
        << std::get<Refusal>(names).message;
    EXPECT_EQ(std::get<std::vector<std::string>>(names),
              (std::vector<std::string>{"Sand & silt", "Corey", "A"}));

    // Refused as reading a sheet is, naming the file.
    const auto refused = [](const fs::path& path) {
        auto listed = xlsxSheetNames(path);
        if (!std::holds_alternative<Refusal>(listed))
            return std::string("listed");
        EXPECT_EQ(std::get<Refusal>(listed).input, path.string());
        return std::get<Refusal>(listed).message;
    };
    writeText(dir / "table.xlsx", "SATNUM,swl\n1,0.1\n");
    EXPECT_EQ(refused(dir / "table.xlsx"), refusal(dir / "table.xlsx"));
    EXPECT_EQ(refused(dir / "absent.xlsx"),
              "Could not read " + quoted("absent.xlsx") + ": No such file or directory.");
    EXPECT_EQ(refused(write(workbook({}))), quoted() + " holds no sheet.");
    Parts badXml = oneSheet("");
    badXml["xl/workbook.xml"] = "<workbook><sheets>";
    EXPECT_EQ(refused(write(badXml)),
              quoted() + " is damaged: its part \"xl/workbook.xml\" is not well-formed XML "
                         "(line 1: no element found).");
}

TEST_F(XlsxTest, CellsThatHoldNoUsableValueAreRefusedByPlace) {
    const std::string in = "In " + quoted() + ", ";
    const std::vector<std::pair<std::string, std::string>> cases = {
        {"<row r=\"4\"><c r=\"C4\" t=\"e\"><f>VLOOKUP(A4,B:B,2)</f><v>#N/A</v></c></row>",
         "cell C4 of sheet \"Sheet1\" holds the error #N/A."},
        {"<row r=\"3\"><c r=\"B3\" t=\"s\"><v>2</v></c></row>",
         "cell B3 of sheet \"Sheet1\" refers to shared string 2, and the workbook has only 2."},
        {"<row r=\"3\"><c r=\"B3\" t=\"s\"><v>-1</v></c></row>",
         "cell B3 of sheet \"Sheet1\" refers to shared string \"-1\", which is no index."},
        {"<row r=\"3\"><c r=\"XFE3\"><v>1</v></c></row>",
         "sheet \"Sheet1\" has a cell beyond column XFD: \"XFE3\"."},
        {"<row r=\"3\"><c r=\"XFD3\"><v>1</v></c><c><v>2</v></c></row>",
         "sheet \"Sheet1\" has a cell after XFD3."},
        {"<row r=\"3\"><c r=\"3B\"><v>1</v></c></row>",
         "sheet \"Sheet1\" has a cell reference that names no cell: \"3B\"."},
        {"<row r=\"3\"><c r=\"B4\"><v>1</v></c></row>", "sheet \"Sheet1\" has cell B4 in row 3."},
        {"<row r=\"3\"><c r=\"C3\"><v>1</v></c><c r=\"A3\"><v>1</v></c></row>",
         "sheet \"Sheet1\" has cell A3 after cell C3."},
        {"<row r=\"5\"/><row r=\"4\"/>", "sheet \"Sheet1\" has row 4 after row 5."},
        {"<row r=\"1048577\"/>", "sheet \"Sheet1\" has a row number that names no row: "
                                 "\"1048577\"."},
        {"<row r=\"1048576\"/><row/>", "sheet \"Sheet1\" has a row after row 1048576."},
        {"<row r=\"2\"><c r=\"D2\" t=\"b\"><v>yes</v></c></row>",
         "cell D2 of sheet \"Sheet1\" holds the boolean \"yes\", which is neither 0 nor 1."},
        {"<row r=\"2\"><c r=\"D2\" t=\"date\"><v>1</v></c></row>",
         "cell D2 of sheet \"Sheet1\" has the unknown type \"date\"."},
        {"<row r=\"2\"><c r=\"D2\"><f>B2*2</f></c></row>",
         "cell D2 of sheet \"Sheet1\" holds a formula that was never computed: open the "
         "workbook in a spreadsheet program and save it again."},
    };
    for (const auto& [rows, message] : cases)
        EXPECT_EQ(refusal(oneSheet(rows, "<si><t>a</t></si><si><t>b</t></si>")), in + message)
            << rows;
    EXPECT_EQ(refusal(oneSheet("<row r=\"3\"><c r=\"B3\" t=\"s\"><v>0</v></c></row>")),
              in + "cell B3 of sheet \"Sheet1\" refers to shared string 0, and the workbook "
                   "has none.");
}

TEST_F(XlsxTest, FilesThatAreNoWorkbookAreRefused) {
    const std::string file = quoted("table.xlsx");
    writeText(dir / "table.xlsx", "SATNUM,swl\n1,0.1\n");
    EXPECT_EQ(refusal(dir / "table.xlsx"),
              file + " is not an .xlsx workbook: it is no zip archive (Not a zip archive).");
    writeText(dir / "table.xlsx", "");
    EXPECT_EQ(refusal(dir / "table.xlsx"), file + " is not an .xlsx workbook: it is empty.");
    writeText(dir / "table.xlsx",
              std::string("\xD0\xCF\x11\xE0\xA1\xB1\x1A\xE1", 8) + std::string(600, '\0'));
    EXPECT_EQ(refusal(dir / "table.xlsx"),
              file + " is not an .xlsx workbook: it is an Excel 97-2003 workbook or one locked "
                     "with a password; save it as an .xlsx workbook without a password.");
    EXPECT_EQ(refusal(dir / "absent.xlsx"),
              "Could not read " + quoted("absent.xlsx") + ": No such file or directory.");

    // A zip of something else, or one whose parts are cut or not XML.
    EXPECT_EQ(refusal(Parts{{"word/document.xml", "<w:document/>"}}),
              file + " is not an .xlsx workbook: it holds no xl/workbook.xml.");
    Parts noRels = oneSheet("");
    noRels.erase("xl/_rels/workbook.xml.rels");
    EXPECT_EQ(refusal(noRels), file + " is damaged: it holds no xl/_rels/workbook.xml.rels, "
                                      "which tells where its sheets are.");
    Parts noSheet = oneSheet("");
    noSheet.erase("xl/worksheets/sheet1.xml");
    EXPECT_EQ(refusal(noSheet), file + " is damaged: the cells of sheet \"Sheet1\" are missing.");
    Parts badXml = oneSheet("<row r=\"1\"><c r=\"A1\"><v>1</v></row>");
    EXPECT_EQ(refusal(badXml),
              file + " is damaged: its part \"xl/worksheets/sheet1.xml\" is not well-formed XML "
                     "(line 3: mismatched tag).");
    Parts badStrings = oneSheet("", "<si><t>a</si>");
    EXPECT_EQ(refusal(badStrings),
              file + " is damaged: its part \"xl/sharedStrings.xml\" is not well-formed XML "
                     "(line 2: mismatched tag).");
}

TEST_F(XlsxTest, WorkbooksBeyondTheBoundsAreRefusedBeforeTheyAreRead) {
    const std::string file = quoted();
    XlsxLimits limits;
    limits.partBytes = 4096;
    limits.cells = 30;
    std::string row;
    for (int i = 0; i < 400; ++i)
        row += "<c><v>1</v></c>";
    EXPECT_EQ(refusal(oneSheet("<row>" + row + "</row>"), limits),
              file + " is too large to be a parameter table: its part "
                     "\"xl/worksheets/sheet1.xml\" unpacks to more than 4 KiB.");

    // Cells count from column A: one in AA and three more make 30, a fourth is too many.
    const std::string thirty = "<row><c r=\"AA1\"><v>1</v></c></row>"
                               "<row><c><v>1</v></c><c><v>1</v></c><c><v>1</v></c></row>";
    EXPECT_EQ(read(oneSheet(thirty), {}, limits).rows.size(), 2u);
    EXPECT_EQ(refusal(oneSheet(thirty + "<row><c><v>1</v></c></row>"), limits),
              "In " + file +
                  ", sheet \"Sheet1\" holds more than 30 cells, too many for a "
                  "parameter table.");
    // One long shared string in many cells.
    std::string cells;
    for (int i = 0; i < 25; ++i)
        cells += "<c t=\"s\"><v>0</v></c>";
    EXPECT_EQ(refusal(oneSheet("<row>" + cells + "</row>",
                               "<si><t>" + std::string(200, 'x') + "</t></si>"),
                      limits),
              "In " + file +
                  ", the cells of sheet \"Sheet1\" hold more than 4 KiB of text, "
                  "too much for a parameter table.");

    limits.fileBytes = 512;
    EXPECT_EQ(refusal(oneSheet(""), limits),
              file + " is too large to be a parameter table: a workbook is read up to 512 bytes.");

    // Entities that would expand into gigabytes, and elements nested without end.
    const std::string laughs =
        std::string(head) +
        "<!DOCTYPE sst [<!ENTITY a \"aaaaaaaaaa\"><!ENTITY b \"&a;&a;&a;&a;&a;&a;&a;&a;\">]>"
        "<sst><si><t>&b;</t></si></sst>";
    Parts entities = oneSheet("");
    entities["xl/sharedStrings.xml"] = laughs;
    EXPECT_EQ(refusal(entities), file + " is damaged: its part \"xl/sharedStrings.xml\" declares "
                                        "a document type, which no workbook part does.");
    Parts deep = oneSheet("");
    std::string nested;
    for (int i = 0; i < 300; ++i)
        nested += "<r>";
    deep["xl/sharedStrings.xml"] = sharedStrings(nested);
    EXPECT_EQ(refusal(deep), file + " is damaged: its part \"xl/sharedStrings.xml\" nests its "
                                    "elements more than 256 deep.");
}

// Zip entries whose header claims a size smaller than the data they unpack to.
std::string withForgedSizes(std::string zip, const std::string& name, std::uint32_t size) {
    const auto patch = [&](const char* signature, std::size_t sizeAt, std::size_t nameAt) {
        for (std::size_t at = 0; (at = zip.find(signature, at, 4)) != std::string::npos; ++at)
            if (zip.compare(at + nameAt, name.size(), name) == 0)
                std::memcpy(&zip[at + sizeAt], &size, 4); // little-endian, as zip is
    };
    patch("PK\x03\x04", 22, 30);
    patch("PK\x01\x02", 24, 46);
    return zip;
}

TEST_F(XlsxTest, APartIsReadNoFurtherThanTheBoundWhateverSizeItClaims) {
    std::string row;
    for (int i = 0; i < 400; ++i)
        row += "<c><v>1</v></c>";
    const fs::path path = write(oneSheet("<row>" + row + "</row>"));
    writeText(path, withForgedSizes(readFile(path), "xl/worksheets/sheet1.xml", 100));
    int error = 0;
    zip_t* zip = zip_open(path.c_str(), ZIP_RDONLY, &error);
    ASSERT_NE(zip, nullptr) << error;
    zip_stat_t stat;
    ASSERT_EQ(zip_stat(zip, "xl/worksheets/sheet1.xml", 0, &stat), 0);
    EXPECT_EQ(stat.size, 100u);
    zip_discard(zip);
    XlsxLimits limits;
    limits.partBytes = 4096;
    EXPECT_EQ(refusal(path, {}, limits),
              quoted() + " is too large to be a parameter table: its part "
                         "\"xl/worksheets/sheet1.xml\" unpacks to more than 4 KiB.");
}

TEST_F(XlsxTest, AWorkbookInMemoryReadsAsItsFile) {
    const fs::path path = write(oneSheet("<row><c><v>0.25</v></c></row>"));
    auto result = readXlsxSheetFromMemory(readFile(path), "pasted.xlsx");
    ASSERT_TRUE(std::holds_alternative<Sheet>(result)) << std::get<Refusal>(result).message;
    EXPECT_EQ(std::get<Sheet>(result).rows, (Rows{{1, {"0.25"}}}));

    auto missing = readXlsxSheetFromMemory(readFile(path), "pasted.xlsx", "Corey");
    ASSERT_TRUE(std::holds_alternative<Refusal>(missing));
    EXPECT_EQ(std::get<Refusal>(missing).message,
              "\"pasted.xlsx\" has no sheet named \"Corey\"; its only sheet is \"Sheet1\".");

    auto refused = readXlsxSheetFromMemory("not a zip", "pasted.xlsx");
    ASSERT_TRUE(std::holds_alternative<Refusal>(refused));
    EXPECT_EQ(std::get<Refusal>(refused).input, "pasted.xlsx");
    EXPECT_EQ(std::get<Refusal>(refused).message,
              "\"pasted.xlsx\" is not an .xlsx workbook: it is no zip archive (Not a zip "
              "archive).");
}

// The workbook an engineer keeps: numbers as values, texts shared, as a spreadsheet program
// saves them (tests/satfunc/data/make-workbook.py writes it).
TEST(XlsxWorkbookFile, BothSheetsOfAParameterWorkbookRead) {
    const fs::path path = fs::path(RELPERM_SATFUNC_DATA) / "two-sheets.xlsx";
    auto first = readXlsxSheet(path);
    ASSERT_TRUE(std::holds_alternative<Sheet>(first)) << std::get<Refusal>(first).message;
    const Sheet& parameters = std::get<Sheet>(first);
    EXPECT_EQ(parameters.name, "Sheet1");
    EXPECT_EQ(
        parameters.rows,
        (Rows{{1,
               {"SATNUM", "comment", "sorw", "swl", "krwend", "Nw", "Now", "Nog", "Ng", "sorg",
                "sgcr", "krgend", "kroend", "swirr", "a", "b", "poro_ref", "perm_ref", "drho"}},
              {2,
               {"1", "sand, PRT 1", "0.1", "0.12", "0.7", "3", "2", "1.5", "1.2", "0.07", "0.01",
                "0.8", "1", "0.01", "0.321", "-1.283", "0.25", "1000", "300"}},
              {3,
               {"2", "mud, PRT 2", "0.2", "0.5", "1", "4", "4", "2", "3", "0.1", "0.1", "0.4", "1",
                "0.1", "0.321", "-1.283", "0.18", "300", "300"}}}));

    auto second = readXlsxSheet(path, "SCAL recommendation");
    ASSERT_TRUE(std::holds_alternative<Sheet>(second)) << std::get<Refusal>(second).message;
    const Sheet& scal = std::get<Sheet>(second);
    EXPECT_EQ(scal.name, "SCAL recommendation");
    ASSERT_EQ(scal.rows.size(), 7u);
    EXPECT_EQ(scal.rows[0].cells, (std::vector<std::string>{"SATNUM", "CASE", "swl", "swcr", "sorw",
                                                            "nw", "now", "krwend", "kroend", "sgcr",
                                                            "sorg", "ng", "nog", "krgend"}));
    EXPECT_EQ(scal.rows[1], (SheetRow{2,
                                      {"1", "pess", "0.14", "0.16", "0.15", "3.5", "2.5", "0.6",
                                       "0.9", "0.05", "0.12", "1.6", "2", "0.7"}}));
    std::vector<std::string> cases;
    for (const SheetRow& row : scal.rows)
        cases.push_back(row.cells.at(0) + " " + row.cells.at(1));
    EXPECT_EQ(cases, (std::vector<std::string>{"SATNUM CASE", "1 pess", "1 base", "1 opt", "2 pess",
                                               "2 base", "2 opt"}));
}

TEST(XlsxWorkbookFile, ItsSheetsAreListed) {
    auto names = xlsxSheetNames(fs::path(RELPERM_SATFUNC_DATA) / "two-sheets.xlsx");
    ASSERT_TRUE(std::holds_alternative<std::vector<std::string>>(names))
        << std::get<Refusal>(names).message;
    EXPECT_EQ(std::get<std::vector<std::string>>(names),
              (std::vector<std::string>{"Sheet1", "SCAL recommendation"}));
}

} // namespace
} // namespace relperm
