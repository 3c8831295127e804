#include "workbook_words.h"

#include "column_words.h"
#include "escaped.h"
#include "sheet_cells.h"

namespace words {
namespace {

using convert::WorkbookFault;
using convert::XmlFault;
using convert::ZipFault;

std::string_view zip_fault_text(ZipFault fault) {
    switch (fault) {
        case ZipFault::None:
            break;
        case ZipFault::NotZip:
            return "no es un archivo ZIP";
        case ZipFault::Cut:
            return "el archivo está cortado";
        case ZipFault::BadDirectory:
            return "su índice de partes está dañado";
        case ZipFault::TwoEntriesOneName:
            return "tiene dos partes con el mismo nombre";
        case ZipFault::Encrypted:
            return "está cifrado";
        case ZipFault::UnknownMethod:
            return "está comprimido de un modo que no se conoce";
        case ZipFault::BadData:
            return "sus datos comprimidos están dañados";
        case ZipFault::BadCrc:
            return "sus datos no coinciden con su suma de comprobación";
        case ZipFault::BadSize:
            return "sus datos no tienen el tamaño que dice su índice";
        case ZipFault::TooLarge:
            return "se descomprime en más de lo que se admite";
        case ZipFault::Unreadable:
            return "no se pudo leer donde su índice lo indica";
    }
    return "está dañado";
}

std::string_view xml_fault_text(XmlFault fault) {
    switch (fault) {
        case XmlFault::Doctype:
            return "declara un DOCTYPE, que un libro no lleva";
        case XmlFault::UnknownEntity:
            return "usa una entidad que no es de XML";
        case XmlFault::TooLong:
            return "tiene una etiqueta o un texto demasiado largos";
        default:
            return "no es XML bien formado";
    }
}

}  // namespace

std::string sheet_found_text(const convert::SheetFound& found) {
    std::string text = "hoja " + echoed(found.sheet) + ", ";
    append_layout_text(text, found.columns, true);
    text.append("; la clave y el resultado van en las columnas ");
    convert::append_column_letters(found.added_column, text);
    text.append(" y ");
    convert::append_column_letters(found.added_column + 1, text);
    return text;
}

std::string workbook_problem_text(const convert::WorkbookProblem& problem) {
    // The input failed, which says nothing of the workbook.
    const bool unreadable = problem.zip == ZipFault::Unreadable;
    std::string text = unreadable ? "no se pudo leer el libro (" : "el libro está dañado (";
    if (!problem.part.empty()) text.append(escaped(problem.part)).append(": ");
    switch (problem.fault) {
        case WorkbookFault::None:
        case WorkbookFault::Zip:
            text.append(zip_fault_text(problem.zip));
            break;
        case WorkbookFault::MissingPart:
            text.append("el libro la nombra y no la tiene");
            break;
        case WorkbookFault::BadXml:
            text.append(xml_fault_text(problem.xml));
            break;
        case WorkbookFault::TooLarge:
            text.append(zip_fault_text(ZipFault::TooLarge));
            break;
        case WorkbookFault::NoSheet:
            text.append("no tiene ninguna hoja");
            break;
        case WorkbookFault::TooManyStrings:
            text.append("sus textos pasan de lo que se admite");
            break;
        case WorkbookFault::CellsOutOfOrder:
            text.append(
                "sus filas o sus celdas no están en orden, o una celda está fuera de su fila");
            break;
        case WorkbookFault::PastSheetBounds:
            text.append("tiene una celda más allá de la columna XFD o de la fila 1048576");
            break;
    }
    text.append("); no se escribió un libro completo");
    return text;
}

std::string sheet_not_found_text(std::string_view asked,
                                 const std::vector<convert::SheetEntry>& sheets) {
    std::string text = "el libro no tiene una hoja de datos " + echoed(asked) + "; sus hojas son: ";
    for (std::size_t i = 0; i < sheets.size(); ++i) {
        if (i > 0) text.append(", ");
        text.append(std::to_string(i + 1)).append(" ").append(echoed(sheets[i].name));
    }
    return text;
}

std::string no_room_text(std::string_view sheet) {
    return "la hoja " + echoed(sheet) +
           " no tiene dos columnas libres a la derecha de sus datos para la clave y el resultado";
}

std::string not_for_workbook_text(convert::Setting setting, Naming naming) {
    return setting_text(setting, naming) +
           " no se aplica a un libro de cálculo: el libro dice cómo están escritas sus celdas";
}

std::string workbook_to_terminal_text() {
    return "la salida sería un libro de cálculo, que no se muestra en la terminal; "
           "diríjala a un archivo: rfc batch nomina.xlsx > nomina-rfc.xlsx";
}

std::string key_cells_filled_text(std::size_t count, std::size_t column) {
    std::string text = count == 1 ? "se llenó 1 celda vacía"
                                  : "se llenaron " + std::to_string(count) + " celdas vacías";
    text.append(" de la columna ");
    convert::append_column_letters(column, text);
    text.append(" con la clave calculada");
    return text;
}

}  // namespace words
