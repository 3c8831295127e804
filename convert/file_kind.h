// What a file given to the conversion looks like when it is plainly not
// text: a workbook, an archive, a document or an image, told by its first
// bytes (never by its name), so that it is refused before anything is
// written.
//
//     "PK\x03\x04" ... "xl/workbook.xml" ...                    ->  FileKind::Xlsx
//     "\xD0\xCF\x11\xE0\xA1\xB1\x1A\xE1" ...                    ->  FileKind::OleCompound
//     "<html xmlns:o=\"urn:schemas-microsoft-com:office:office\"" ->  FileKind::Html
//     "PK,LOPEZ,JUAN,1980-01-15\n"                               ->  FileKind::Text
#pragma once

#include <string_view>

namespace convert {

enum class FileKind {
    Text,         // anything not recognised below: read as delimited text
    Xlsx,         // Office Open XML workbook (.xlsx, .xlsm): a zip with xl/ parts
    Xlsb,         // Excel binary workbook: a zip with xl/workbook.bin
    Ods,          // OpenDocument spreadsheet: a zip whose first entry is its mimetype
    OleCompound,  // Excel 97-2003 .xls, or a workbook encrypted with a password
    Zip,          // any other zip archive
    Pdf,
    Png,
    Jpeg,
    Gif,
    Gzip,
    Html,           // a web page or table, as Excel and others save "xls" files
    SpreadsheetMl,  // Excel 2003 XML: root Workbook in the office:spreadsheet namespace
    FlatOds,        // a flat OpenDocument spreadsheet (.fods): one XML document
};

// The kind of the file whose first bytes are `head`. Only whole signatures
// count, so text that merely starts like one ("PK,LOPEZ,...") stays Text;
// UTF-16 text, with or without its mark, is always Text. The entries of a zip
// are named in their local headers: those in `head` are the ones looked at.
FileKind file_kind(std::string_view head);

}  // namespace convert
