// How fast the XML reader goes through a worksheet part: 100,000 rows of
// four cells as a spreadsheet program writes them (about 20 MB), read in the
// 64 KB pieces an inflating zip entry hands over. The conversion reads a
// sheet twice (once to find where its data starts, once to convert it).
//   build/bench/xml_reader_bench --benchmark_repetitions=5
#include <benchmark/benchmark.h>

#include <string>

#include "xml_reader.h"

namespace {

const std::string& sheet() {
    static const std::string text = [] {
        std::string s =
            "<?xml version=\"1.0\" encoding=\"UTF-8\" standalone=\"yes\"?>\r\n"
            "<worksheet xmlns=\"http://schemas.openxmlformats.org/spreadsheetml/2006/main\" "
            "xmlns:r=\"http://schemas.openxmlformats.org/officeDocument/2006/relationships\" "
            "xmlns:x14ac=\"http://schemas.microsoft.com/office/spreadsheetml/2009/9/ac\">"
            "<sheetData>";
        for (int row = 1; row <= 100000; ++row) {
            const std::string r = std::to_string(row);
            s += "<row r=\"" + r + "\" spans=\"1:4\" x14ac:dyDescent=\"0.25\">";
            s += "<c r=\"A" + r + "\" t=\"s\"><v>" + std::to_string(row * 3 % 50000) + "</v></c>";
            s += "<c r=\"B" + r + "\" t=\"s\"><v>" + std::to_string(row * 7 % 50000) + "</v></c>";
            s += "<c r=\"C" + r +
                 "\" t=\"inlineStr\"><is><t>JUAN &amp; MAR\xC3\x8D"
                 "A</t></is></c>";
            s += "<c r=\"D" + r + "\" s=\"1\"><v>" + std::to_string(20000 + row % 20000) +
                 "</v></c>";
            s += "</row>";
        }
        return s + "</sheetData></worksheet>";
    }();
    return text;
}

// Every event taken, as a copy-through writer takes them.
void SheetEvents(benchmark::State& state) {
    const std::string& text = sheet();
    for (auto _ : state) {
        convert::StringXmlInput input(text, std::size_t{64} << 10);
        convert::XmlReader reader(input);
        std::size_t events = 0;
        while (reader.next() != convert::XmlEvent::Done) ++events;
        benchmark::DoNotOptimize(events);
    }
    state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations() * text.size()));
}
BENCHMARK(SheetEvents)->Unit(benchmark::kMillisecond);

// What a sheet's reader asks besides: each cell's reference and type, and
// the values' text.
void SheetCells(benchmark::State& state) {
    const std::string& text = sheet();
    for (auto _ : state) {
        convert::StringXmlInput input(text, std::size_t{64} << 10);
        convert::XmlReader reader(input);
        std::size_t bytes = 0;
        for (convert::XmlEvent e; (e = reader.next()) != convert::XmlEvent::Done;) {
            if (e == convert::XmlEvent::Start && reader.name().local == "c") {
                if (const auto* r = reader.attribute({}, "r")) bytes += r->value.size();
                if (const auto* t = reader.attribute({}, "t")) bytes += t->value.size();
            } else if (e == convert::XmlEvent::Text) {
                bytes += reader.text().size();
            }
        }
        benchmark::DoNotOptimize(bytes);
    }
    state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations() * text.size()));
}
BENCHMARK(SheetCells)->Unit(benchmark::kMillisecond);

}  // namespace
